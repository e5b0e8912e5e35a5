// GDI reads the core's DibBitmap memory directly: these tests draw records through
// SetDIBitsToDevice and read the pixels back from a 32-bit section.
#include "canvas/dib_bitmap_win32.h"

#include <gtest/gtest.h>

#include "canvas/canvas_test_support.h"
#include "canvas/layer_table.h"
#include "canvas/palette.h"

namespace {

// A top-down 32-bit section selected into a memory DC, filled with a marker colour.
struct Surface {
  HDC dc = nullptr;
  HBITMAP section = nullptr;
  HGDIOBJ previous = nullptr;
  uint32_t* pixels = nullptr;
  int width = 0;

  Surface(int w, int h) : width(w) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = w;
    info.bmiHeader.biHeight = -h;  // top-down
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    dc = CreateCompatibleDC(nullptr);
    section = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    previous = SelectObject(dc, section);
    pixels = static_cast<uint32_t*>(bits);
    for (int i = 0; i < w * h; ++i) pixels[i] = 0x00123456;
  }
  ~Surface() {
    SelectObject(dc, previous);
    DeleteObject(section);
    DeleteDC(dc);
  }
  // 0x00RRGGBB as stored in a 32-bit DIB pixel.
  uint32_t At(int x, int y) const {
    GdiFlush();
    return pixels[y * width + x] & 0xFFFFFF;
  }
};

uint32_t Rgb(const DibColour& c) { return (uint32_t{c.red} << 16) | (uint32_t{c.green} << 8) | c.blue; }

}  // namespace

TEST(DibBitmapWin32, HeaderAndTableFormTheBitmapInfo) {
  DibPtr b = FilledCanvas(3, 2, 0xFF);
  const BITMAPINFO* info = DibBitmapInfo(*b);
  EXPECT_EQ(info->bmiHeader.biSize, sizeof(BITMAPINFOHEADER));
  EXPECT_EQ(info->bmiHeader.biWidth, 3);
  EXPECT_EQ(info->bmiHeader.biHeight, 2);
  EXPECT_EQ(info->bmiHeader.biBitCount, 8);
  EXPECT_EQ(static_cast<const void*>(&info->bmiColors[0]), static_cast<const void*>(&b->colours[0]));
}

TEST(DibBitmapWin32, EightBitCanvasDrawsThroughItsPalette) {
  // Width 5 pads rows to 8 bytes; rows are bottom-up in memory and must come out top-down.
  DibPtr canvas = CanvasFromHex({"FF FE FD FB F7",
                                 "EF DF BF 7F 00"});
  ComputePalette(*canvas, DefaultLayerTable());
  Surface s(7, 4);
  EXPECT_EQ(DrawDibBitmap(s.dc, 1, 1, *canvas, 0, 0, 5, 2), 2);
  for (int y = 0; y < 2; ++y)
    for (int x = 0; x < 5; ++x)
      EXPECT_EQ(s.At(x + 1, y + 1), Rgb(canvas->colours[DibRow(*canvas, y)[x]])) << x << "," << y;
  EXPECT_EQ(s.At(0, 0), 0x123456u);  // outside the drawn rectangle
  EXPECT_EQ(s.At(6, 3), 0x123456u);
}

TEST(DibBitmapWin32, PartOfABitmapDrawsFromTopDownCoordinates) {
  DibPtr canvas = CanvasFromHex({"00 01 02",
                                 "10 11 12",
                                 "20 21 22"});
  for (int i = 0; i < 256; ++i) canvas->colours[i] = DibColour{static_cast<uint8_t>(i), 0, 0, 0};
  Surface s(2, 2);
  DrawDibBitmap(s.dc, 0, 0, *canvas, 1, 1, 2, 2);
  EXPECT_EQ(s.At(0, 0), 0x11u);
  EXPECT_EQ(s.At(1, 0), 0x12u);
  EXPECT_EQ(s.At(0, 1), 0x21u);
  EXPECT_EQ(s.At(1, 1), 0x22u);
}

TEST(DibBitmapWin32, OneBitMaskReadsMostSignificantBitFirst) {
  DibPtr mask = MaskFromText({"1000000001",
                              "0100000000"});
  mask->colours[0] = DibColour{0, 0, 0, 0};
  mask->colours[1] = DibColour{255, 255, 255, 0};
  Surface s(10, 2);
  DrawDibBitmap(s.dc, 0, 0, *mask, 0, 0, 10, 2);
  const char* expected[2] = {"1000000001", "0100000000"};
  for (int y = 0; y < 2; ++y)
    for (int x = 0; x < 10; ++x)
      EXPECT_EQ(s.At(x, y), expected[y][x] == '1' ? 0xFFFFFFu : 0u) << x << "," << y;
}
