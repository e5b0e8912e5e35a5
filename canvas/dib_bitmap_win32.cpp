#include "canvas/dib_bitmap_win32.h"

#include <cstddef>

static_assert(sizeof(DibHeader) == sizeof(BITMAPINFOHEADER));
static_assert(offsetof(DibHeader, width) == offsetof(BITMAPINFOHEADER, biWidth));
static_assert(offsetof(DibHeader, height) == offsetof(BITMAPINFOHEADER, biHeight));
static_assert(offsetof(DibHeader, bitCount) == offsetof(BITMAPINFOHEADER, biBitCount));
static_assert(offsetof(DibHeader, compression) == offsetof(BITMAPINFOHEADER, biCompression));
static_assert(offsetof(DibHeader, clrImportant) == offsetof(BITMAPINFOHEADER, biClrImportant));
static_assert(sizeof(DibColour) == sizeof(RGBQUAD));
static_assert(offsetof(DibColour, red) == offsetof(RGBQUAD, rgbRed));
static_assert(offsetof(DibColour, blue) == offsetof(RGBQUAD, rgbBlue));
static_assert(offsetof(BITMAPINFO, bmiColors) == sizeof(BITMAPINFOHEADER));

const BITMAPINFO* DibBitmapInfo(const DibBitmap& bitmap) {
  return reinterpret_cast<const BITMAPINFO*>(&bitmap.header);
}

int DrawDibBitmap(HDC hdc, int dx, int dy, const DibBitmap& bitmap, int sx, int sy, int width, int height) {
  // SetDIBitsToDevice counts its source y from the bottom row of the bottom-up image.
  const int ySrcFromBottom = DibHeight(bitmap) - (sy + height);
  return SetDIBitsToDevice(hdc, dx, dy, static_cast<DWORD>(width), static_cast<DWORD>(height), sx,
                           ySrcFromBottom, 0, static_cast<UINT>(DibHeight(bitmap)), bitmap.bits,
                           DibBitmapInfo(bitmap), DIB_RGB_COLORS);
}
