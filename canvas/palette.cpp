#include "canvas/palette.h"

#include <cmath>

namespace {

// Single-precision constants; the powers themselves run in double precision on these values.
constexpr float kByteScale = 0.003921569f;  // 1 / 255
constexpr double kGamma = 2.2;
constexpr float kInverseGamma = 0.45454544f;

struct Linear {
  float c[3];  // red, green, blue in linear light, 0..1
};

Linear Linearise(uint32_t colour) {
  Linear l;
  for (int ch = 0; ch < 3; ++ch) {
    float byte = static_cast<float>((colour >> (8 * ch)) & 0xFF);
    l.c[ch] = static_cast<float>(std::pow(static_cast<double>(byte * kByteScale), kGamma));
  }
  return l;
}

uint8_t ToByte(float linear) {
  float v = static_cast<float>(std::pow(static_cast<double>(linear), static_cast<double>(kInverseGamma)));
  float scaled = v * 255.0f + 0.5f;
  if (!(scaled > 0.0f)) return 0;  // also catches NaN
  if (scaled >= 255.0f) return 255;
  return static_cast<uint8_t>(scaled);  // truncation
}

}  // namespace

void ComputePalette(const LayerTable& layers, DibColour palette[kDibColourCount]) {
  // position[k] is the layer at stack position k, 0 at the bottom. A corrupt table with two
  // layers on one position leaves the other slot at its default (the identity order) rather
  // than reading out of range.
  int position[kLayerCount];
  for (int k = 0; k < kLayerCount; ++k) position[k] = k;
  for (int i = 0; i < kLayerCount; ++i) {
    int order = layers.rows[i].order;
    if (order >= 0 && order < kLayerCount) position[order] = i;
  }

  // The base of each position: itself when unclipped; otherwise the nearest unclipped layer
  // below, or whatever layer stands at the bottom when the walk gets there. A clipped layer at
  // the very bottom has nothing below it and counts as its own base.
  int base[kLayerCount];
  for (int k = 0; k < kLayerCount; ++k) {
    int i = position[k];
    if (layers.rows[i].clipped == 0 || k == 0) {
      base[k] = i;
      continue;
    }
    int j = k - 1;
    while (j > 0 && layers.rows[position[j]].clipped != 0) --j;
    base[k] = position[j];
  }

  Linear colour[kLayerCount];
  for (int i = 0; i < kLayerCount; ++i) colour[i] = Linearise(layers.rows[i].colour);

  const uint32_t paperColour = layers.rows[kPaperRow].colour;
  palette[255].red = static_cast<uint8_t>(paperColour & 0xFF);
  palette[255].green = static_cast<uint8_t>((paperColour >> 8) & 0xFF);
  palette[255].blue = static_cast<uint8_t>((paperColour >> 16) & 0xFF);
  const Linear paper = Linearise(paperColour);

  for (int v = 0; v < 255; ++v) {
    float cur[3] = {paper.c[0], paper.c[1], paper.c[2]};
    for (int k = 0; k < kLayerCount; ++k) {
      const int i = position[k];
      const int b = base[k];
      const LayerEntry& layer = layers.rows[i];
      const LayerEntry& baseLayer = layers.rows[b];
      if ((v >> i) & 1) continue;  // layer not painted here
      if ((v >> b) & 1) continue;  // its base not painted here
      if (layer.visible == 0 || baseLayer.visible == 0) continue;

      const float alpha = static_cast<float>(layer.opacity) * kByteScale;
      const float beta = (b == i) ? 1.0f : static_cast<float>(baseLayer.opacity) * kByteScale;
      for (int ch = 0; ch < 3; ++ch) {
        // A clipped layer is itself faded by its base's opacity.
        const float e = colour[i].c[ch] * beta + (1.0f - beta) * cur[ch];
        switch (layer.blendMode) {
          case kBlendNormal: cur[ch] = (1.0f - alpha) * cur[ch] + alpha * e; break;
          case kBlendMultiply: cur[ch] = (1.0f - alpha) * cur[ch] + alpha * e * cur[ch]; break;
          case kBlendAdd: {
            float sum = e + cur[ch];
            cur[ch] = (1.0f - alpha) * cur[ch] + alpha * (sum < 1.0f ? sum : 1.0f);
            break;
          }
          default: break;
        }
      }
    }
    palette[v].red = ToByte(cur[0]);
    palette[v].green = ToByte(cur[1]);
    palette[v].blue = ToByte(cur[2]);
  }
}
