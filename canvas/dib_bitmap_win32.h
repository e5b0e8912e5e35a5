// GDI side of DibBitmap: the record's header and colour table already form a BITMAPINFO, so
// GDI reads the core's pixel memory directly, without a copy.
#pragma once

#include <windows.h>

#include "canvas/dib_bitmap.h"

// The record as GDI's bitmap description (header followed by the 256-entry colour table).
const BITMAPINFO* DibBitmapInfo(const DibBitmap& bitmap);

// Draws the bitmap's rectangle (sx, sy, width, height), top-down coordinates, to hdc at
// (dx, dy) at one to one. Returns the number of scan lines drawn (0 on failure).
int DrawDibBitmap(HDC hdc, int dx, int dy, const DibBitmap& bitmap, int sx, int sy, int width, int height);
