#include "tools/mask_fill.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "canvas/canvas_test_support.h"

namespace {

std::vector<std::string> MaskText(const DibBitmap& m) {
  std::vector<std::string> rows;
  for (int y = 0; y < DibHeight(m); ++y) {
    std::string row;
    for (int x = 0; x < DibWidth(m); ++x) row += MaskBit(DibRow(m, y), x) ? '1' : '0';
    rows.push_back(row);
  }
  return rows;
}

int CountOnes(const DibBitmap& m) {
  int n = 0;
  for (int y = 0; y < DibHeight(m); ++y)
    for (int x = 0; x < DibWidth(m); ++x) n += MaskBit(DibRow(m, y), x);
  return n;
}

// A single 0 at (5, 5) of an 11 x 11 mask of ones.
DibPtr Hole() {
  std::vector<std::string> rows(11, std::string(11, '1'));
  rows[5][5] = '0';
  return MaskFromText(rows);
}

}  // namespace

TEST(FloodFillMask, ClearsTheFourConnectedAreaOnly) {
  DibPtr m = MaskFromText({
      "1100000011",
      "1101111011",
      "0001001000",
      "1111001111",
      "0000110000",
  });
  ASSERT_TRUE(FloodFillMask(*m, 3, 1));
  // Everything joined to (3, 1) through sides goes; (4..5, 4) touches it only at corners and
  // the pairs at the top corners are cut off by zeros, so they stay.
  EXPECT_EQ(MaskText(*m), (std::vector<std::string>{
                              "1100000011",
                              "1100000011",
                              "0000000000",
                              "0000000000",
                              "0000110000",
                          }));
}

TEST(FloodFillMask, FailsOnAZeroOrOutsideTheMask) {
  DibPtr m = MaskFromText({"0110", "0110"});
  EXPECT_FALSE(FloodFillMask(*m, 0, 0));
  EXPECT_FALSE(FloodFillMask(*m, 4, 0));
  EXPECT_FALSE(FloodFillMask(*m, 1, -1));
  EXPECT_EQ(CountOnes(*m), 4);
  DibPtr eight(CreateDibBitmap(8, nullptr, 0, 4, 4));
  EXPECT_FALSE(FloodFillMask(*eight, 0, 0));
}

TEST(FloodFillMask, ASerpentineOverSevenThousandRowsNeedsNoDeepStack) {
  // Every other row is a wall open at alternating ends, so the area is one path 7016 rows long
  // whose every span is reached only through the one before it.
  const int w = 70, h = 7016;
  DibPtr m(CreateDibBitmap(1, nullptr, 0, w, h));
  for (int y = 0; y < h; ++y) {
    uint8_t* row = DibRow(*m, y);
    for (int x = 0; x < w; ++x) {
      const bool wall = y % 2 == 1 && (y % 4 == 1 ? x != w - 1 : x != 0);
      if (!wall) row[x / 8] |= static_cast<uint8_t>(0x80 >> (x % 8));
    }
  }
  ASSERT_TRUE(FloodFillMask(*m, 0, 0));
  EXPECT_EQ(CountOnes(*m), 0);
}

TEST(GrowClosed, BelowThreeNothingHappens) {
  DibPtr m = Hole();
  EXPECT_TRUE(GrowClosed(*m, 2));
  EXPECT_EQ(CountOnes(*m), 120);
}

TEST(GrowClosed, SizeThreeClosesAOnePixelGap) {
  // Stage 1 ANDs each pixel with its right and left neighbour, then with the rows below and
  // above (each step seeing the one before): a 3 x 3 erosion, with pixels beyond the edge
  // counting as ones. The wall in column 4 widens to columns 3..5 and its gap at row 2 closes.
  DibPtr m = MaskFromText({
      "111101111",
      "111101111",
      "111111111",
      "111101111",
      "111101111",
  });
  ASSERT_TRUE(GrowClosed(*m, 3));
  EXPECT_EQ(MaskText(*m), std::vector<std::string>(5, "111000111"));
}

TEST(GrowClosed, LaterStagesAlternateBetweenTheCopies) {
  // Size 3 and 4: one stage, the 3 x 3 block around the hole.
  DibPtr three = Hole();
  ASSERT_TRUE(GrowClosed(*three, 4));
  EXPECT_EQ(CountOnes(*three), 121 - 9);
  // Size 5: stage 2 ANDs the untouched copy with the stage-1 result shifted by one pixel in the
  // four directions: zero wherever a 4-neighbour lies in the 3 x 3 block, the 5 x 5 square
  // without its corners (21 pixels).
  DibPtr five = Hole();
  ASSERT_TRUE(GrowClosed(*five, 5));
  EXPECT_EQ(MaskText(*five), (std::vector<std::string>{
                                 "11111111111",
                                 "11111111111",
                                 "11111111111",
                                 "11110001111",
                                 "11100000111",
                                 "11100000111",
                                 "11100000111",
                                 "11110001111",
                                 "11111111111",
                                 "11111111111",
                                 "11111111111",
                             }));
  // Size 7: stage 3 writes the first copy again (still the 3 x 3 block) from the 21 pixels
  // grown by one in the four directions: 43 pixels.
  DibPtr seven = Hole();
  ASSERT_TRUE(GrowClosed(*seven, 7));
  EXPECT_EQ(MaskText(*seven), (std::vector<std::string>{
                                  "11111111111",
                                  "11111111111",
                                  "11110001111",
                                  "11100000111",
                                  "11000000011",
                                  "11000000011",
                                  "11000000011",
                                  "11100000111",
                                  "11110001111",
                                  "11111111111",
                                  "11111111111",
                              }));
}

TEST(GrowClosed, EveryStageRunsOnWideMasksAndSizesAboveFiftyThree) {
  // A hole in the middle of a 100-pixel-wide mask: each stage only ever grows the hole, and
  // 53 and 1000 run the same eleven stages.
  DibPtr a(CreateDibBitmap(1, nullptr, 0, 100, 100)), b(CreateDibBitmap(1, nullptr, 0, 100, 100));
  for (DibBitmap* m : {a.get(), b.get()}) {
    for (int y = 0; y < 100; ++y) std::fill(DibRow(*m, y), DibRow(*m, y) + m->stride, 0xFF);
    DibRow(*m, 50)[6] &= 0xDF;  // pixel (50, 50)
  }
  ASSERT_TRUE(GrowClosed(*a, 53));
  ASSERT_TRUE(GrowClosed(*b, 1000));
  EXPECT_EQ(MaskText(*a), MaskText(*b));
  int previous = 10000;
  for (int size : {3, 5, 7, 13, 17, 23, 27, 33, 39, 45, 53}) {
    DibPtr m(CreateDibBitmap(1, nullptr, 0, 100, 100));
    for (int y = 0; y < 100; ++y) std::fill(DibRow(*m, y), DibRow(*m, y) + m->stride, 0xFF);
    DibRow(*m, 50)[6] &= 0xDF;
    ASSERT_TRUE(GrowClosed(*m, size));
    const int ones = CountOnes(*m);
    EXPECT_LT(ones, previous) << size;
    EXPECT_EQ(MaskBit(DibRow(*m, 0), 0), 1) << size;  // far corner untouched
    previous = ones;
  }
}

TEST(MaskOps, InvertAndXor) {
  DibPtr a = MaskFromText({"1100", "0011"});
  DibPtr b = MaskFromText({"1010", "1010"});
  XorMask(*a, *b);
  EXPECT_EQ(MaskText(*a), (std::vector<std::string>{"0110", "1001"}));
  InvertMask(*a);
  EXPECT_EQ(MaskText(*a), (std::vector<std::string>{"1001", "0110"}));
}
