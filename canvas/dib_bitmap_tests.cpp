#include "canvas/dib_bitmap.h"

#include <gtest/gtest.h>

#include "canvas/canvas_test_support.h"
#include "canvas/status.h"

TEST(DibBitmapCreate, RefusesBadDepthAndSizeWithoutTouchingStatus) {
  gStatusCode = 0;
  EXPECT_EQ(CreateDibBitmap(16, nullptr, 0, 4, 4), nullptr);
  EXPECT_EQ(CreateDibBitmap(2, nullptr, 0, 4, 4), nullptr);
  EXPECT_EQ(CreateDibBitmap(8, nullptr, 0, 0, 4), nullptr);
  EXPECT_EQ(CreateDibBitmap(8, nullptr, 0, 4, -1), nullptr);
  EXPECT_EQ(gStatusCode, 0);
}

TEST(DibBitmapCreate, StridesRoundRowsUpTo32Bits) {
  struct Case { int depth, width, stride; };
  const Case cases[] = {{1, 1, 4}, {1, 32, 4}, {1, 33, 8}, {4, 9, 8}, {8, 5, 8}, {8, 8, 8},
                        {24, 5, 16}, {24, 4, 12}, {32, 3, 12}};
  for (const Case& c : cases) {
    DibPtr b(CreateDibBitmap(c.depth, nullptr, 0, c.width, 2));
    ASSERT_NE(b, nullptr) << c.depth;
    EXPECT_EQ(b->stride, c.stride) << "depth " << c.depth << " width " << c.width;
  }
}

TEST(DibBitmapCreate, FillsHeaderLikeBitmapInfoAndCopiesGivenColours) {
  const DibColour two[2] = {{1, 2, 3, 0}, {4, 5, 6, 0}};
  DibPtr b(CreateDibBitmap(8, two, 2, 7, 3));
  ASSERT_NE(b, nullptr);
  EXPECT_EQ(b->header.size, 40u);
  EXPECT_EQ(b->header.width, 7);
  EXPECT_EQ(b->header.height, 3);  // positive: bottom-up
  EXPECT_EQ(b->header.planes, 1);
  EXPECT_EQ(b->header.bitCount, 8);
  EXPECT_EQ(b->header.compression, 0u);
  EXPECT_EQ(b->colours[1].red, 6);
  EXPECT_EQ(b->colours[1].blue, 4);
  EXPECT_EQ(b->colours[2].red, 0);
  EXPECT_EQ(b->colours[255].green, 0);
  // Pixels start zeroed.
  for (int y = 0; y < 3; ++y)
    for (int x = 0; x < 7; ++x) EXPECT_EQ(DibRow(*b, y)[x], 0);
}

TEST(DibBitmapCreate, RowsAreStoredBottomUp) {
  DibPtr b(CreateDibBitmap(8, nullptr, 0, 5, 3));
  EXPECT_EQ(DibRow(*b, 2), b->bits);
  EXPECT_EQ(DibRow(*b, 0), b->bits + 2 * 8);
}

TEST(DibBitmapCreate, ImpossibleSizeFailsWithStatus41) {
  gStatusCode = 0;
  EXPECT_EQ(CreateDibBitmap(32, nullptr, 0, 1 << 30, 1 << 30), nullptr);
  EXPECT_EQ(gStatusCode, kStatusBitmapAllocationFailed);
  gStatusCode = 0;
  EXPECT_EQ(CreateDibBitmap(32, nullptr, 0, 0x7FFFFFFF, 2), nullptr);  // stride past 31 bits
  EXPECT_EQ(gStatusCode, kStatusBitmapAllocationFailed);
}

TEST(DibBitmapFree, NullsThePointerAndReportsAnAlreadyNullOne) {
  DibBitmap* b = CreateDibBitmap(1, nullptr, 0, 3, 3);
  ASSERT_NE(b, nullptr);
  EXPECT_TRUE(FreeDibBitmap(b));
  EXPECT_EQ(b, nullptr);
  EXPECT_FALSE(FreeDibBitmap(b));
}

TEST(DibBitmapCopyRect, CopiesAndClipsAgainstBothBitmaps) {
  DibPtr src = CanvasFromHex({"00 01 02",
                              "10 11 12"});
  DibPtr dst = FilledCanvas(4, 3, 0xFF);
  // The destination starts at (-1, 1): column 0 is cut off and the source moves to x = 1.
  EXPECT_TRUE(CopyRect(*dst, -1, 1, 3, 2, *src, 0, 0));
  EXPECT_EQ(CanvasToHex(*dst), (std::vector<std::string>{"FF FF FF FF",
                                                          "01 02 FF FF",
                                                          "11 12 FF FF"}));
  // Source pixels past the source's edge leave the destination alone.
  dst = FilledCanvas(4, 3, 0xFF);
  EXPECT_TRUE(CopyRect(*dst, 0, 0, 4, 3, *src, 1, 1));
  EXPECT_EQ(CanvasToHex(*dst), (std::vector<std::string>{"11 12 FF FF",
                                                          "FF FF FF FF",
                                                          "FF FF FF FF"}));
  // Wholly outside the destination.
  EXPECT_FALSE(CopyRect(*dst, 4, 0, 2, 2, *src, 0, 0));
  EXPECT_FALSE(CopyRect(*dst, -3, 0, 3, 2, *src, 0, 0));
  EXPECT_FALSE(CopyRect(*dst, 0, 0, 0, 2, *src, 0, 0));
}

TEST(DibBitmapCopyIndicesExact, KeepsEqualColouredIndicesApart) {
  // Entries 0xFD and 0xFB hold one colour; a copy by colour could merge them.
  DibPtr src = CanvasFromHex({"FD FB FF",
                              "FB FD 00"});
  src->colours[0xFD] = src->colours[0xFB] = DibColour{10, 20, 30, 0};
  DibPtr dst = FilledCanvas(3, 2, 0xFF);
  dst->colours[0xFD] = dst->colours[0xFB] = DibColour{10, 20, 30, 0};
  CopyIndicesExact(*dst, *src, 2, 2);
  EXPECT_EQ(CanvasToHex(*dst), (std::vector<std::string>{"FD FB FF",
                                                          "FB FD FF"}));
  // The colour tables stay as they were.
  EXPECT_EQ(dst->colours[0xFD].red, 30);
  EXPECT_EQ(dst->colours[0].red, 0);
}
