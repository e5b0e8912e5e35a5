#include "brush/tone_screen.h"

#include <gtest/gtest.h>

#include <limits>
#include <vector>

#include "brush/primitives.h"
#include "canvas/canvas_test_support.h"

namespace {

// The mask cell that holds matrix cell (r, c): stored row r, which is top-down row 31 - r.
int Cell(const DibBitmap& mask, int r, int c) { return DibRow(mask, kScreenSide - 1 - r)[c]; }

int CountSet(const DibBitmap& mask) {
  int n = 0;
  for (int y = 0; y < kScreenSide; ++y)
    for (int x = 0; x < kScreenSide; ++x) n += DibRow(mask, y)[x];
  return n;
}

bool IsPermutationOfAllLevels(const ScreenMatrix& m) {
  std::vector<int> seen(kScreenCells + 1, 0);
  for (const auto& row : m.at)
    for (int v : row) {
      if (v < 1 || v > kScreenCells || seen[v]++) return false;
    }
  return true;
}

}  // namespace

TEST(ClusteredScreen, IsAPermutationOfOneTo1024) {
  // Only holds when the block has each odd number 1..511 exactly once: the four quadrants then
  // take the odd numbers up to 511 (B), the odd ones from 513 (1024 - B), the even ones up to
  // 512 (B + 1) and the even ones from 514 (1025 - B).
  EXPECT_TRUE(IsPermutationOfAllLevels(ClusteredScreen));
}

TEST(ClusteredScreen, InkDotsStartAtTheirCentresAndPaperGapsCloseLast) {
  // Block value 1 sits at (7, 7): threshold 1 there, 2 at (23, 23), 1023 at (7, 23), 1024 at
  // (23, 7). Block value 3 at (7, 8) comes next in the first dot.
  DibPtr one(MakeToneMask(ClusteredScreen, 1));
  ASSERT_TRUE(one);
  EXPECT_EQ(CountSet(*one), 1);
  EXPECT_EQ(Cell(*one, 7, 7), 1);

  DibPtr three(MakeToneMask(ClusteredScreen, 3));
  EXPECT_EQ(CountSet(*three), 3);
  EXPECT_EQ(Cell(*three, 23, 23), 1);
  EXPECT_EQ(Cell(*three, 7, 8), 1);

  DibPtr almost(MakeToneMask(ClusteredScreen, 1022));
  EXPECT_EQ(CountSet(*almost), 1022);
  EXPECT_EQ(Cell(*almost, 7, 23), 0);
  EXPECT_EQ(Cell(*almost, 23, 7), 0);
  DibPtr last(MakeToneMask(ClusteredScreen, 1023));
  EXPECT_EQ(Cell(*last, 7, 23), 1);
  EXPECT_EQ(Cell(*last, 23, 7), 0);
}

TEST(ClusteredScreen, HalfLevelFillsOneDiagonalPairOfQuadrants) {
  // Level 512 takes every B <= 511 (top left) and every B + 1 <= 512 (bottom right); the other
  // quadrants start at 513 and 514.
  DibPtr half(MakeToneMask(ClusteredScreen, 512));
  ASSERT_TRUE(half);
  int wrong = 0;
  for (int r = 0; r < kScreenSide; ++r)
    for (int c = 0; c < kScreenSide; ++c) wrong += Cell(*half, r, c) != ((r < 16) == (c < 16) ? 1 : 0);
  EXPECT_EQ(wrong, 0);
}

TEST(MakeToneMask, WritesMatrixRowsIntoStoredRowsBottomUp) {
  // A raster-order screen (threshold 32r + c + 1) at level 40 sets matrix row 0 and the first
  // eight cells of row 1. Matrix row 0 is stored first, so it is the mask's bottom row
  // (top-down row 31), row 1 the one above it.
  ScreenMatrix raster{};
  for (int r = 0; r < kScreenSide; ++r)
    for (int c = 0; c < kScreenSide; ++c) raster.at[r][c] = r * kScreenSide + c + 1;
  DibPtr mask(MakeToneMask(raster, 40));
  ASSERT_TRUE(mask);
  EXPECT_EQ(DibDepth(*mask), 8);
  EXPECT_EQ(DibWidth(*mask), 32);
  EXPECT_EQ(DibHeight(*mask), 32);
  for (int c = 0; c < kScreenSide; ++c) {
    EXPECT_EQ(mask->bits[c], 1) << c;
    EXPECT_EQ(DibRow(*mask, 31)[c], 1) << c;
    EXPECT_EQ(DibRow(*mask, 30)[c], c < 8 ? 1 : 0) << c;
    EXPECT_EQ(DibRow(*mask, 0)[c], 0) << c;
  }
  EXPECT_EQ(CountSet(*mask), 40);

  // Entry 0 black, entry 1 white.
  EXPECT_EQ(mask->colours[0].red + mask->colours[0].green + mask->colours[0].blue, 0);
  EXPECT_EQ(mask->colours[1].red, 255);
  EXPECT_EQ(mask->colours[1].green, 255);
  EXPECT_EQ(mask->colours[1].blue, 255);
}

TEST(MakeToneMask, SetsAsManyTexelsAsTheLevelAndClampsOutOfRangeLevels) {
  // Each threshold 1..1024 occurs once, so level L (0..1024) sets L texels.
  for (const ScreenMatrix* screen : {&ClusteredScreen, &DispersedScreen}) {
    for (int level : {0, 1, 2, 100, 511, 512, 513, 1000, 1023, 1024}) {
      DibPtr mask(MakeToneMask(*screen, level));
      ASSERT_TRUE(mask);
      EXPECT_EQ(CountSet(*mask), level);
    }
    DibPtr below(MakeToneMask(*screen, -7));
    EXPECT_EQ(CountSet(*below), 0);
    DibPtr above(MakeToneMask(*screen, 5000));
    EXPECT_EQ(CountSet(*above), 1024);
  }
}

TEST(DensityLevel, RoundsPressureToTheNearestOf1024Levels) {
  EXPECT_EQ(DensityLevel(0.0f, 1.0f), 0);
  EXPECT_EQ(DensityLevel(1.0f, 1.0f), 1024);
  EXPECT_EQ(DensityLevel(1.0f, 4.0f), 1024);
  EXPECT_EQ(DensityLevel(0.0f, 0.25f), 0);
  EXPECT_EQ(DensityLevel(0.5f, 1.0f), 512);    // 512 + 0.5, floored
  EXPECT_EQ(DensityLevel(0.5f, 4.0f), 64);     // 0.0625 * 1024 = 64
  EXPECT_EQ(DensityLevel(0.25f, 0.25f), 724);  // 0.7071068 * 1024 = 724.08
  // Halves round up: 2^-11 * 1024 = 0.5 -> 1; 3 * 2^-11 * 1024 = 1.5 -> 2.
  EXPECT_EQ(DensityLevel(0.00048828125f, 1.0f), 1);
  EXPECT_EQ(DensityLevel(0.00146484375f, 1.0f), 2);
  // 0.3 * 1024 = 307.2 -> 307; 0.09 * 1024 = 92.16 -> 92.
  EXPECT_EQ(DensityLevel(0.3f, 1.0f), 307);
  EXPECT_EQ(DensityLevel(0.3f, 2.0f), 92);
}

TEST(DensityLevel, PressuresOutsideTheRangeStayInTheRange) {
  // A negative pressure squared would come out positive; it means no pressure.
  EXPECT_EQ(DensityLevel(-0.5f, 2.0f), 0);
  EXPECT_EQ(DensityLevel(-0.5f, 0.25f), 0);  // would be NaN
  EXPECT_EQ(DensityLevel(std::numeric_limits<float>::quiet_NaN(), 1.0f), 0);
  EXPECT_EQ(DensityLevel(1.5f, 1.0f), 1024);
  EXPECT_EQ(DensityLevel(std::numeric_limits<float>::infinity(), 1.0f), 1024);
}

// The mask on the canvas, through the painting primitives: level 1 of the clustered screen is
// the single texel of matrix (7, 7), stored row 7, read by canvas rows y with
// (y + OY) mod 32 = 31 - 7 = 24.
class ToneMaskPlacement : public ::testing::Test {
 protected:
  void SetUp() override {
    bitmap_ = FilledCanvas(64, 32, 0xFF);
    canvas_.width = 64;
    canvas_.height = 32;
    canvas_.bitmap = bitmap_.get();
    canvas_.layers = DefaultLayerTable();
    canvas_.currentLayer = 0;
    mask_.reset(MakeToneMask(ClusteredScreen, 1));
  }
  // Columns of canvas row y that lost layer 0.
  std::vector<int> Painted(int y) const {
    std::vector<int> xs;
    for (int x = 0; x < 64; ++x)
      if (DibRow(*bitmap_, y)[x] != 0xFF) xs.push_back(x);
    return xs;
  }
  PaintTarget Target() { return {&canvas_, &pen_, mask_.get(), kPaintLayer}; }

  DibPtr bitmap_;
  DibPtr mask_;
  Canvas canvas_{};
  PenSetting pen_{};
};

TEST_F(ToneMaskPlacement, SpansMoveByFourPixelsPerOffsetStep) {
  // Spans read column 4 * ((x / 4 + OX) mod 8) + x mod 4 = 7: x mod 4 = 3 and
  // x / 4 = 1 - OX (mod 8). OX = 0: x = 7, 39. OX = 1: x = 3, 35.
  FillSpan(Target(), 0, 63, 24);
  EXPECT_EQ(Painted(24), (std::vector<int>{7, 39}));
  pen_.TextureOffsetX = 1;
  FillSpan(Target(), 0, 63, 23);
  EXPECT_EQ(Painted(23), std::vector<int>{});  // row 23 reads stored row 8: empty
  pen_.TextureOffsetY = 1;                      // now row 23 reads stored row 7
  FillSpan(Target(), 0, 63, 23);
  EXPECT_EQ(Painted(23), (std::vector<int>{3, 35}));
}

TEST_F(ToneMaskPlacement, PlotsMoveByOnePixelPerOffsetStep) {
  // Plots read column (x + OX) mod 32 = 7. OX = 1: x = 6, 38. OX = -1: x = 8, 40.
  pen_.TextureOffsetX = 1;
  for (int x = 0; x < 64; ++x) PlotPixel(Target(), x, 24);
  EXPECT_EQ(Painted(24), (std::vector<int>{6, 38}));
  pen_.TextureOffsetX = -1;
  pen_.TextureOffsetY = -33;  // row 25 - 33 = -8, mod 32 = 24
  for (int x = 0; x < 64; ++x) PlotPixel(Target(), x, 25);
  EXPECT_EQ(Painted(25), (std::vector<int>{8, 40}));
}
