// The printed page: where the canvas lands, how a reduction keeps thin lines (painted bits are
// 0, so the AND of merged pixels keeps them), and what an actual-size page cuts off.
#include "files/print_page.h"

#include <gtest/gtest.h>

#include "canvas/canvas_test_support.h"

namespace {

struct PlacementCase {
  int32_t canvasW, canvasH, pageW, pageH, setting;
  PrintPlacement expected;
};

TEST(PrintPage, TheCanvasFillsThePageOneWayAndIsCentredTheOther) {
  const PlacementCase cases[] = {
      // Wider than the page's proportions: full width, 2000 / 1.25 = 1600 high, (3000 - 1600) / 2 down.
      {1000, 800, 2000, 3000, kPrintFitToPage, {0, 700, 2000, 1600}},
      {800, 1000, 2000, 3000, kPrintFitToPage, {0, 250, 2000, 2500}},
      // Narrower: full height, 3000 x 0.1 = 300 wide, (2000 - 300) / 2 across.
      {100, 1000, 2000, 3000, kPrintFitToPage, {850, 0, 300, 3000}},
      // 3000 x (2 / 3) = 1999.9998: rounded to 2000, the whole page.
      {2, 3, 2000, 3000, kPrintFitToPage, {0, 0, 2000, 3000}},
      // A line of a canvas still gets a pixel row.
      {100000, 1, 2000, 3000, kPrintFitToPage, {0, 1499, 2000, 1}},
      // Actual size: centred, a larger canvas runs past the page on every side.
      {3000, 4000, 2000, 3000, kPrintActualSize, {-500, -500, 3000, 4000}},
      {1000, 800, 2000, 3000, kPrintActualSize, {500, 1100, 1000, 800}},
      // A value only a hand-edited file holds prints as fit to page.
      {1000, 800, 2000, 3000, 7, {0, 700, 2000, 1600}},
      {1000, 800, 0, 3000, kPrintFitToPage, {0, 0, 0, 0}},
  };
  for (const PlacementCase& c : cases) {
    const PrintPlacement p = PlaceCanvasOnPage(c.canvasW, c.canvasH, c.pageW, c.pageH, c.setting);
    EXPECT_EQ(p.x, c.expected.x) << c.canvasW << "x" << c.canvasH << " setting " << c.setting;
    EXPECT_EQ(p.y, c.expected.y) << c.canvasW << "x" << c.canvasH << " setting " << c.setting;
    EXPECT_EQ(p.width, c.expected.width) << c.canvasW << "x" << c.canvasH << " setting " << c.setting;
    EXPECT_EQ(p.height, c.expected.height) << c.canvasW << "x" << c.canvasH << " setting " << c.setting;
  }
}

TEST(PrintPage, OnePixelLinesSurviveATenfoldReduction) {
  // 1000 x 1000 paper with a row at y = 537 on layer 0 and a column at x = 12 on layer 1.
  DibPtr canvas = FilledCanvas(1000, 1000, 0xFF);
  for (int x = 0; x < 1000; ++x) DibRow(*canvas, 537)[x] = 0xFE;
  for (int y = 0; y < 1000; ++y) DibRow(*canvas, y)[12] &= 0xFD;
  DibPtr page(MakePrintPage(*canvas, 100, 100, kPrintFitToPage));
  ASSERT_TRUE(page);
  // Page row j merges rows 10j..10j+9: the line lands in row 53, the column in column 1.
  for (int y = 0; y < 100; ++y)
    for (int x = 0; x < 100; ++x) {
      uint8_t expected = 0xFF;
      if (y == 53) expected &= 0xFE;
      if (x == 1) expected &= 0xFD;
      ASSERT_EQ(DibRow(*page, y)[x], expected) << x << "," << y;
    }
}

TEST(PrintPage, ReductionsAndTheMergedBitsAndEnlargementsRepeatPixels) {
  DibPtr canvas = CanvasFromHex({"FE FD FF 7F", "FF FF FF FF"});
  DibPtr page = FilledCanvas(2, 1, 0x55);
  StretchIndicesAnd(*page, {0, 0, 2, 1}, *canvas);
  EXPECT_EQ(CanvasToHex(*page), (std::vector<std::string>{"FC 7F"}));

  DibPtr small = CanvasFromHex({"00 FF", "FE 80"});
  DibPtr big = FilledCanvas(4, 4, 0x55);
  StretchIndicesAnd(*big, {0, 0, 4, 4}, *small);
  EXPECT_EQ(CanvasToHex(*big), (std::vector<std::string>{"00 00 FF FF", "00 00 FF FF", "FE FE 80 80", "FE FE 80 80"}));
}

TEST(PrintPage, ActualSizeShowsTheCentreOfALargerCanvasAndPaperAroundASmallerOne) {
  DibPtr canvas = CanvasFromHex({"01 02 03 04", "05 06 07 08", "09 0A 0B 0C", "0D 0E 0F 10"});
  DibPtr cut(MakePrintPage(*canvas, 2, 2, kPrintActualSize));
  ASSERT_TRUE(cut);
  EXPECT_EQ(CanvasToHex(*cut), (std::vector<std::string>{"06 07", "0A 0B"}));

  DibPtr framed(MakePrintPage(*canvas, 7, 6, kPrintActualSize));
  ASSERT_TRUE(framed);
  EXPECT_EQ(CanvasToHex(*framed), (std::vector<std::string>{"FF FF FF FF FF FF FF", "FF 01 02 03 04 FF FF",
                                                            "FF 05 06 07 08 FF FF", "FF 09 0A 0B 0C FF FF",
                                                            "FF 0D 0E 0F 10 FF FF", "FF FF FF FF FF FF FF"}));
}

TEST(PrintPage, ThePageCarriesTheCanvasColoursAndRefusesWhatItCannotPrint) {
  DibPtr canvas = FilledCanvas(4, 4, 0xFF);
  canvas->colours[0xFE] = {1, 2, 3, 0};
  DibPtr page(MakePrintPage(*canvas, 8, 8, kPrintFitToPage));
  ASSERT_TRUE(page);
  EXPECT_EQ(page->colours[0xFE].green, 2);
  EXPECT_FALSE(MakePrintPage(*canvas, 0, 8, kPrintFitToPage));
  EXPECT_FALSE(MakePrintPage(*canvas, 1 << 30, 1 << 30, kPrintFitToPage));  // an exabyte of page
  DibPtr colour(CreateDibBitmap(32, nullptr, 0, 4, 4));
  EXPECT_FALSE(MakePrintPage(*colour, 8, 8, kPrintFitToPage));
}

}  // namespace
