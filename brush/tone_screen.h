// Tone screens: how a pen that cannot paint grey paints a lighter tone by painting fewer
// pixels. A screen matrix orders the 1024 cells of a 32 x 32 tile; thresholding it at a
// density level gives a ToneMask that a stroke paints through (as its texture, see
// primitives.h), so the tile of dots is anchored to the canvas and overlapping dabs agree.
//
// Placement on the canvas, through the primitives' texture addressing with the pen's
// TextureOffsetX/Y (OX, OY): canvas row y reads top-down mask row (y + OY) mod 32, which holds
// matrix row 31 - ((y + OY) mod 32) because MakeToneMask writes matrix row r into stored row r
// of the bottom-up bitmap (the tile lies upside down on the canvas, which a screen does not
// show). Plots read matrix column (x + OX) mod 32, spans column 4 * ((x / 4 + OX) mod 8) + x mod 4.
#pragma once

#include <cstdint>

#include "canvas/dib_bitmap.h"

inline constexpr int kScreenSide = 32;
inline constexpr int kScreenCells = kScreenSide * kScreenSide;  // thresholds run 1..1024

// Thresholds of a 32 x 32 tile, a permutation of 1..kScreenCells. at[r][c]: row r from the top,
// column c from the left. A cell is set at every level >= its threshold.
struct ScreenMatrix {
  int32_t at[kScreenSide][kScreenSide];
};

// Clustered-dot screen of the halftone pen: four dots per tile. Ink grows from (7, 7) and
// (23, 23); the paper gaps at (7, 23) and (23, 7) close last.
extern const ScreenMatrix ClusteredScreen;

// Dispersed-dot (blue noise) screen of the grain tone pens: every level is an evenly spread,
// structureless set of cells.
extern const ScreenMatrix DispersedScreen;

// A new 32 x 32 8-bit ToneMask (colour table: 0 black, 1 white): the byte at stored row r,
// column c is 1 when level >= screen.at[r][c], else 0, so exactly clamp(level, 0, 1024) bytes
// are 1. Returns null, with gStatusCode set to 41, when the bitmap cannot be allocated. The
// caller frees it with FreeDibBitmap.
DibBitmap* MakeToneMask(const ScreenMatrix& screen, int level);

// Density level of a pressure p (0..1) shaped by PressureGamma g: floor(p^g * 1024 + 0.5) in
// double precision, so 0 gives 0 and 1 gives 1024. A pressure that is not a number or is below
// 0 gives 0; one above 1 gives 1024.
int DensityLevel(float pressure, float gamma);
