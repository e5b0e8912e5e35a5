#include "canvas/hue_chroma.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr float kPi = 3.14159265f;
constexpr double kGamma = 2.2;

float Linearise(uint32_t byte) { return static_cast<float>(std::pow(static_cast<double>(byte) / 255.0, kGamma)); }

float Clamp01(float v) { return v > 0.0f ? (v < 1.0f ? v : 1.0f) : 0.0f; }

}  // namespace

HueChroma HueChromaOfColour(uint32_t colour) {
  const float r = Linearise(colour & 0xFF), g = Linearise((colour >> 8) & 0xFF), b = Linearise((colour >> 16) & 0xFF);
  const float max = std::max({r, g, b}), min = std::min({r, g, b});
  float hue = 0.0f;
  if (max != min) {
    if (r == max)
      hue = 60.0f * (g - b) / (max - min);
    else if (g == max)
      hue = 60.0f * (b - r) / (max - min) + 120.0f;
    else
      hue = 60.0f * (r - g) / (max - min) + 240.0f;
    if (hue < 0.0f) hue += 360.0f;
  }
  return {-((hue - 180.0f) / 180.0f) * kPi, Clamp01(max - min), Clamp01((max + min) / 2.0f)};
}

LinearRgb LinearOfHueChroma(float theta, float chroma, float lightness) {
  const float max = lightness + chroma / 2.0f, min = lightness - chroma / 2.0f, span = max - min;
  const float degrees = theta * 180.0f / kPi + 60.0f;
  int h = std::isfinite(degrees) ? static_cast<int>(std::clamp(degrees, -1.0e6f, 1.0e6f)) % 360 : 0;
  if (h < 0) h += 360;
  float r, g, b;
  if (h < 60) {
    b = max, r = min, g = min + span * h / 60.0f;
  } else if (h < 120) {
    g = max, r = min, b = min + span * (120 - h) / 60.0f;
  } else if (h < 180) {
    g = max, b = min, r = min + span * (h - 120) / 60.0f;
  } else if (h < 240) {
    r = max, b = min, g = min + span * (240 - h) / 60.0f;
  } else if (h < 300) {
    r = max, g = min, b = min + span * (h - 240) / 60.0f;
  } else {
    b = max, g = min, r = min + span * (360 - h) / 60.0f;
  }
  return {Clamp01(r), Clamp01(g), Clamp01(b)};
}

uint8_t EncodeLinear(float c) {
  const double v = std::pow(static_cast<double>(Clamp01(c)), 1.0 / kGamma) * 255.0 + 0.5;
  return static_cast<uint8_t>(std::min(v, 255.0));
}

uint32_t HueChromaPixel(float theta, float chroma, float lightness) {
  const LinearRgb c = LinearOfHueChroma(theta, chroma, lightness);
  return static_cast<uint32_t>(EncodeLinear(c.red)) << 16 | static_cast<uint32_t>(EncodeLinear(c.green)) << 8 |
         EncodeLinear(c.blue);
}
