// The fill tool, kind 11: on pen-down it paints the current layer over the connected area of
// the canvas that shows the same colour as the pixel under the pen, as the user sees it (the
// display colours of all layers together, so two palette entries of one colour are one area).
// Gaps in the area's outline narrower than the pen's size allows are closed before filling
// (GrowClosed on the same-colour mask), and the filled area is grown back by the same stages
// so that it still meets the outline.
#pragma once

#include "canvas/dib_bitmap.h"
#include "canvas/pixel_rect.h"
#include "tools/app_context.h"

// A canvas-sized 1-bit mask, 1 where the 8-bit canvas pixel's palette entry has the red,
// green and blue of `colour`. Null when the canvas is not 8-bit or memory cannot be had.
DibBitmap* SameColourMask(const DibBitmap& canvas, DibColour colour);

// The stroke handler of kind 11. Acts on the pen-down sample only (raw samples), at the
// canvas point (trunc x, trunc y). Returns 0 without changing anything when the current layer
// is hidden or locked, the point lies off the canvas, or memory runs out. Otherwise the
// current layer becomes painted over the grown area and it returns 1 with dirty = the box of
// the pixels that changed, one more column and row on the left and top and two more on the
// right and bottom (the input step clips it), or the single pixel at the fill point when
// nothing changed.
int FillHandler(AppContext& app, PixelRect& dirty);
