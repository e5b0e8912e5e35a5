// Pen textures (kind 4): a small black-and-white picture repeated across the canvas. The group
// addressing of the span primitives reads textures in steps of four pixels and the tone masks
// are 32 wide, so a texture is widened by repetition to a multiple of 32 pixels: a file w
// pixels wide becomes lcm(w, 32) wide, w * 2^(5 - t) with t the trailing zero bits of w (at
// most 5). So 24 gives 96, 33 gives 1056, 64 stays 64.
//
// The files themselves are read by the file layer; this is the part that does not need the
// system's image loader.
#pragma once

#include <cstdint>

#include "canvas/dib_bitmap.h"

// lcm(fileWidth, 32); -1 when fileWidth < 1 or the result would not fit a bitmap width (31 bits).
int64_t WidenedTextureWidth(int fileWidth);

// A new pen texture from a decoded file: 8-bit, WidenedTextureWidth(source width) wide and as
// high as the source, with copies of the source side by side at x = 0, w, 2w, ... Texels are 1
// where the file is black and 0 where it is white; colour table entry 0 white, every other
// entry black.
//   source 1-bit: a pixel is black when its colour-table entry is nearer black than white
//                 (sum of red, green and blue below 383), whichever index that is;
//   source 8-bit: bytes are taken as texels already (0 or 1) and copied as they are.
// Returns null for another depth or a width WidenedTextureWidth refuses, and null with
// gStatusCode 41 when the bitmap cannot be allocated.
DibBitmap* WidenTexture(const DibBitmap& source);
