// The printed page: one 8-bit page bitmap of the printer's printable area, with the canvas's
// colour table, holding the canvas either fitted to the page or at one printer pixel per canvas
// pixel. The page is made in layer values, not colours, so a reduction can AND the merged
// source pixels: a painted layer bit is 0, so every painted bit of the pixels that fall
// together survives and a one-pixel line still prints at a large reduction. The shell hands the
// finished page to the printer's device context.
#pragma once

#include <cstdint>

#include "canvas/dib_bitmap.h"

inline constexpr int32_t kPrintFitToPage = 0;
inline constexpr int32_t kPrintActualSize = 1;

// Where the canvas lands on the page, in page pixels; at actual size it may start left of or
// above the page and run past it (the page shows the canvas's centre part).
struct PrintPlacement {
  int32_t x, y, width, height;
};

// The canvas placed on a page of pageWidth x pageHeight device pixels. Fitted, it fills the
// page's height or width, keeping the canvas's proportions (a = width / height in single
// precision; the other side is rounded to the nearest pixel, at least 1) and is centred the
// other way. printSetting kPrintActualSize centres it unscaled; any other value fits it (only a
// hand-edited settings file holds one, and a page of the canvas beats a page of ink).
PrintPlacement PlaceCanvasOnPage(int32_t canvasWidth, int32_t canvasHeight, int32_t pageWidth, int32_t pageHeight,
                                 int32_t printSetting);

// Stretches the 8-bit source into the rectangle of the 8-bit destination, clipped to the
// destination. Each destination pixel is the AND of the source pixels that map onto it:
// column x takes source columns [x * W / w, (x + 1) * W / w), at least one (rows alike), so a
// reduction merges every source pixel into exactly one destination pixel and an enlargement
// repeats pixels. Does nothing unless both are 8-bit and the rectangle is not empty.
void StretchIndicesAnd(DibBitmap& destination, const PrintPlacement& where, const DibBitmap& source);

// The page for the canvas: paper (0xFF) everywhere and the canvas placed by PlaceCanvasOnPage,
// the canvas's colour table copied. Null when the canvas is not 8-bit, the page size is not
// positive, or the page's memory cannot be had (the caller ends the print job and says so).
DibBitmap* MakePrintPage(const DibBitmap& canvas, int32_t pageWidth, int32_t pageHeight, int32_t printSetting);
