#include "app/palette_ring.h"

#include <algorithm>

namespace {

constexpr float kSwatchFraction[8][2] = {
    {0.40625f, 0.03125f},   {0.671875f, 0.140625f}, {0.78125f, 0.40625f},  {0.671875f, 0.671875f},
    {0.40625f, 0.78125f},   {0.140625f, 0.671875f}, {0.03125f, 0.40625f},  {0.140625f, 0.140625f},
};

}  // namespace

int32_t PaletteRingSide(float s) { return Scaled(96, s); }

float PaletteRingScale(int32_t width) {
  if (width >= 288) return 3.0f;
  if (width >= 192) return 2.0f;
  if (width >= 144) return 1.5f;
  return 1.0f;
}

WindowBox RingSwatchBox(int i, int32_t width, int32_t height, float s) {
  const int k = std::clamp(i, 0, 7);
  const int32_t side = Scaled(16, s);
  return {static_cast<int32_t>(kSwatchFraction[k][0] * width), static_cast<int32_t>(kSwatchFraction[k][1] * height),
          side, side};
}

int32_t RingHoleInset(float s) { return Scaled(24, s); }

WindowBox PaletteRingPlacement(int32_t x, int32_t y, int32_t side, int32_t clientWidth, int32_t clientHeight) {
  const int32_t left = std::max(std::min(x - side / 2, clientWidth - side), 0);
  const int32_t top = std::max(std::min(y - side / 2, clientHeight - side), 0);
  return {left, top, side, side};
}

int32_t SwatchCornerDiameter(int32_t width, int32_t height) { return (std::min(width, height) + 2) / 4; }

int32_t SwatchOutlineWidth(int32_t height) {
  if (height <= 24) return 1;
  if (height <= 32) return 3;
  return 5;
}
