// Whole-mask operations of the fill tool on 1-bit masks (pixel x of a row is bit 7 - x % 8 of
// byte x / 8; the bits past the width in a row's last byte are padding and never read).
#pragma once

#include "canvas/dib_bitmap.h"

// Surface flood fill: clears to 0 the 4-connected area of 1-bits that contains (x, y). Works
// span by span with an explicit stack of seeds on the heap, so its stack depth does not grow
// with the area. Returns false, changing nothing, when the mask is not 1-bit, (x, y) lies
// outside it or its bit is already 0.
bool FloodFillMask(DibBitmap& mask, int x, int y);

// Closes small gaps: shrinks the 1-bits of the mask in place through up to eleven stages of
// AND-ing one copy of the mask with the other shifted by fixed offsets; size picks how many
// stages run (3: one, 5: two, 7: three, 13, 17, 23, 27, 33, 39, 45, 53: four to eleven; below 3
// nothing happens). "dst &= src at (dx, dy)" ANDs every pixel (x, y) of dst with pixel
// (x + dx, y + dy) of src and leaves pixels whose source lies outside the mask unchanged; the
// offsets of a stage apply one after another. Stage 1 ANDs the mask with itself; every further
// stage writes the copy that the previous stage did not write, reading the one it did. Returns
// false, leaving the mask unchanged, when the second copy cannot be allocated (only sizes of 5
// and above need it) or the mask is not 1-bit.
bool GrowClosed(DibBitmap& mask, int size);

// mask = NOT mask over every stored byte.
void InvertMask(DibBitmap& mask);

// dst = dst XOR src over every stored byte; nothing unless both are 1-bit of one size.
void XorMask(DibBitmap& dst, const DibBitmap& src);
