// The canvas the benchmarks draw on: A4 at 600 DPI that looks drawn. Mostly paper, 50 halftone
// patches, 2500 wandering strokes of discs, mostly on a few layers like a real drawing; the
// same seed gives the same picture.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>

#include "canvas/dib_bitmap.h"

namespace bench {

constexpr int kA4Width = 4961;
constexpr int kA4Height = 7016;

// Deterministic numbers for the drawing (xorshift32).
struct Random {
  uint32_t state;
  uint32_t Next() {
    state ^= state << 13;
    state ^= state >> 17;
    state ^= state << 5;
    return state;
  }
  int Below(int n) { return static_cast<int>(Next() % static_cast<uint32_t>(n)); }
  float Unit() { return static_cast<float>(Next() >> 8) / 16777216.0f; }
};

// Clears bit `layer` over the disc of radius r around (cx, cy), one span per row.
inline void PaintDisc(DibBitmap& b, float cx, float cy, float r, int layer) {
  const uint8_t keep = static_cast<uint8_t>(~(1u << layer));
  const int top = std::max(0, static_cast<int>(std::floor(cy - r)));
  const int bottom = std::min(DibHeight(b) - 1, static_cast<int>(std::ceil(cy + r)));
  for (int y = top; y <= bottom; ++y) {
    const float dy = static_cast<float>(y) + 0.5f - cy;
    const float half2 = r * r - dy * dy;
    if (half2 < 0) continue;
    const float half = std::sqrt(half2);
    const int left = std::max(0, static_cast<int>(std::ceil(cx - half - 0.5f)));
    const int right = std::min(DibWidth(b) - 1, static_cast<int>(std::floor(cx + half - 0.5f)));
    uint8_t* row = DibRow(b, y);
    for (int x = left; x <= right; ++x) row[x] &= keep;
  }
}

// A halftone patch: clustered dots on a 6-pixel grid, growing towards the patch's centre.
inline void PaintHalftone(DibBitmap& b, int x0, int y0, int w, int h, int layer) {
  const uint8_t keep = static_cast<uint8_t>(~(1u << layer));
  for (int y = std::max(0, y0); y < std::min(DibHeight(b), y0 + h); ++y) {
    uint8_t* row = DibRow(b, y);
    for (int x = std::max(0, x0); x < std::min(DibWidth(b), x0 + w); ++x) {
      const float u = static_cast<float>(x - x0) / static_cast<float>(w) - 0.5f;
      const float v = static_cast<float>(y - y0) / static_cast<float>(h) - 0.5f;
      const float tone = 1.0f - 2.0f * std::sqrt(u * u + v * v);  // 1 at the centre, 0 at the rim
      const int dx = x % 6 - 3, dy = y % 6 - 3;
      if (tone > 0 && static_cast<float>(dx * dx + dy * dy) < tone * 12.0f) row[x] &= keep;
    }
  }
}

// Paints the drawing into an 8-bit canvas of any size filled with 0xFF (bare paper).
inline void DrawTestDrawing(DibBitmap& canvas, uint32_t seed) {
  const int width = DibWidth(canvas), height = DibHeight(canvas);
  Random random{seed};
  // Halftone areas first, strokes over them.
  for (int i = 0; i < 50; ++i)
    PaintHalftone(canvas, random.Below(width), random.Below(height), 200 + random.Below(700),
                  200 + random.Below(700), random.Below(8));
  // Strokes: wandering polylines of 10 to 40 segments, discs of radius 2 to 8 every 1.5
  // pixels, mostly on a few layers like a real drawing.
  for (int s = 0; s < 2500; ++s) {
    float x = static_cast<float>(random.Below(width));
    float y = static_cast<float>(random.Below(height));
    float angle = random.Unit() * 6.2831853f;
    const float radius = 2.0f + random.Unit() * 6.0f;
    const int layer = random.Below(4) == 0 ? random.Below(8) : random.Below(2);
    const int segments = 10 + random.Below(31);
    for (int g = 0; g < segments; ++g) {
      angle += (random.Unit() - 0.5f) * 0.8f;
      const float length = 8.0f + random.Unit() * 22.0f;
      for (float t = 0; t < length; t += 1.5f)
        PaintDisc(canvas, x + std::cos(angle) * t, y + std::sin(angle) * t, radius, layer);
      x += std::cos(angle) * length;
      y += std::sin(angle) * length;
    }
  }
}

}  // namespace bench
