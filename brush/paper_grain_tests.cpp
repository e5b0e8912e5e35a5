#include "brush/paper_grain.h"

#include <gtest/gtest.h>

#include "canvas/canvas_test_support.h"

namespace {

// A grain whose stored row s, byte b holds (s * 3 + b * 7) mod 256, so most neighbouring
// positions differ and a wrong row or column shows.
DibPtr NumberedGrain() {
  DibPtr g(CreateDibBitmap(8, nullptr, 0, kPaperGrainSide, kPaperGrainSide));
  for (int s = 0; s < kPaperGrainSide; ++s)
    for (int b = 0; b < kPaperGrainSide; ++b) g->bits[s * g->stride + b] = static_cast<uint8_t>(s * 3 + b * 7);
  return g;
}

uint8_t Numbered(int storedRow, int column) { return static_cast<uint8_t>(storedRow * 3 + column * 7); }

}  // namespace

TEST(PaperGrain, ReadsStoredRowsNotTopDownRows) {
  DibPtr g = NumberedGrain();
  // Canvas (5, 2): byte 5 of stored row 2, which is the image's row 509 counted from the top.
  EXPECT_EQ(PaperGrainValue(*g, 5, 2), Numbered(2, 5));
  EXPECT_EQ(PaperGrainValue(*g, 5, 2), DibRow(*g, 509)[5]);
}

TEST(PaperGrain, RepeatsEvery512PixelsBothWays) {
  DibPtr g = NumberedGrain();
  EXPECT_EQ(PaperGrainValue(*g, 512 + 5, 1024 + 2), Numbered(2, 5));
  EXPECT_EQ(PaperGrainValue(*g, 511, 511), Numbered(511, 511));
  EXPECT_EQ(PaperGrainValue(*g, 512, 512), Numbered(0, 0));
}

TEST(PaperGrain, NegativePositionsWrapMathematically) {
  DibPtr g = NumberedGrain();
  // -1 mod 512 = 511; -513 mod 512 = 511; -512 mod 512 = 0; -3 mod 512 = 509.
  EXPECT_EQ(PaperGrainValue(*g, -1, 0), Numbered(0, 511));
  EXPECT_EQ(PaperGrainValue(*g, 0, -1), Numbered(511, 0));
  EXPECT_EQ(PaperGrainValue(*g, -513, -512), Numbered(0, 511));
  EXPECT_EQ(PaperGrainValue(*g, 4, -3), Numbered(509, 4));
  EXPECT_EQ(PaperGrainColumn(-1), 511);
  EXPECT_EQ(PaperGrainColumn(-1024), 0);
  EXPECT_EQ(PaperGrainRow(*g, -3), g->bits + 509 * 512);
}

TEST(PaperGrain, OnlyA512SquareGreyMapIsAGrain) {
  DibPtr g = NumberedGrain();
  EXPECT_TRUE(IsPaperGrain(g.get()));
  EXPECT_FALSE(IsPaperGrain(nullptr));
  DibPtr small(CreateDibBitmap(8, nullptr, 0, 256, 256));
  EXPECT_FALSE(IsPaperGrain(small.get()));
  DibPtr tall(CreateDibBitmap(8, nullptr, 0, 512, 513));
  EXPECT_FALSE(IsPaperGrain(tall.get()));
  DibPtr colour(CreateDibBitmap(32, nullptr, 0, 512, 512));
  EXPECT_FALSE(IsPaperGrain(colour.get()));
}
