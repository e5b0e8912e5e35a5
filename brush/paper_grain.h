// The paper grain: an 8-bit grey 512 x 512 material bitmap (Canvas::material) tiled over the
// whole canvas. Value m = 0 is a deep pit of the paper, 255 a high point that takes ink first.
//
// The grain pens read it straight from pixel memory: the value at canvas (x, y) is byte
// x mod 512 of stored row y mod 512 (stored rows are bottom-up, so the material image lies
// upside down on the canvas, which a grain does not show). Both moduli are mathematical: -1
// reads 511.
#pragma once

#include <cstdint>

#include "canvas/dib_bitmap.h"

inline constexpr int kPaperGrainSide = 512;

// True when grain is a bitmap the accessors below may read: 8-bit, exactly 512 x 512. The
// grain pens treat anything else like no material at all.
inline bool IsPaperGrain(const DibBitmap* grain) {
  return grain && grain->bits && DibDepth(*grain) == 8 && DibWidth(*grain) == kPaperGrainSide &&
         DibHeight(*grain) == kPaperGrainSide && grain->stride == kPaperGrainSide;
}

// Stored row y mod 512 of a grain that IsPaperGrain accepts. Index it with PaperGrainColumn.
inline const uint8_t* PaperGrainRow(const DibBitmap& grain, int y) {
  return grain.bits + static_cast<ptrdiff_t>(y & (kPaperGrainSide - 1)) * kPaperGrainSide;
}

// x mod 512, mathematical (the mask keeps the low bits of the two's complement value).
inline int PaperGrainColumn(int x) { return x & (kPaperGrainSide - 1); }

// The grain value m at canvas (x, y), any integers.
inline uint8_t PaperGrainValue(const DibBitmap& grain, int x, int y) {
  return PaperGrainRow(grain, y)[PaperGrainColumn(x)];
}
