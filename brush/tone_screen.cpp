#include "brush/tone_screen.h"

#include <cmath>

DibBitmap* MakeToneMask(const ScreenMatrix& screen, int level) {
  static constexpr DibColour kBlackWhite[2] = {{0, 0, 0, 0}, {255, 255, 255, 0}};
  DibBitmap* mask = CreateDibBitmap(8, kBlackWhite, 2, kScreenSide, kScreenSide);
  if (!mask) return nullptr;
  // Matrix row r goes to stored row r (bits + r * stride), not to top-down row r.
  for (int r = 0; r < kScreenSide; ++r) {
    uint8_t* row = mask->bits + static_cast<ptrdiff_t>(r) * mask->stride;
    for (int c = 0; c < kScreenSide; ++c) row[c] = level >= screen.at[r][c] ? 1 : 0;
  }
  return mask;
}

int DensityLevel(float pressure, float gamma) {
  if (!(pressure > 0)) return 0;  // also a NaN
  const double level =
      std::floor(std::pow(static_cast<double>(pressure), static_cast<double>(gamma)) * kScreenCells + 0.5);
  if (!(level > 0)) return 0;
  if (level >= kScreenCells) return kScreenCells;
  return static_cast<int>(level);
}
