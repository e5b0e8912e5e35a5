// The small pictures the texture panels show beside each file name: the top-left corner of a
// texture or material at one pixel per screen pixel, repeated when the file is smaller than
// the preview, as the pen or the paper lays it.
#pragma once

#include <cstdint>
#include <vector>

#include "canvas/dib_bitmap.h"

// side x side colours 0x00RRGGBB, top row first: pixel (x, y) is the picture's pixel
// (x mod width, y mod height) through its colour table. Empty for a side below 1 or a picture
// that is not 8-bit.
std::vector<uint32_t> PreviewTile(const DibBitmap& picture, int32_t side);
