#include "tools/polygon_mask.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "canvas/canvas_test_support.h"

namespace {

std::vector<std::string> MaskRows(const DibBitmap& mask) {
  std::vector<std::string> rows;
  for (int y = 0; y < DibHeight(mask); ++y) {
    std::string row;
    for (int x = 0; x < DibWidth(mask); ++x) row += MaskBit(DibRow(mask, y), x) ? '1' : '0';
    rows.push_back(row);
  }
  return rows;
}

DibPtr Fill(int w, int h, const std::vector<IntPoint>& points, IntPoint origin = {0, 0}) {
  DibPtr mask(CreateDibBitmap(1, nullptr, 0, w, h));
  EXPECT_TRUE(FillPolygonMask(*mask, points.data(), static_cast<int>(points.size()), origin));
  return mask;
}

}  // namespace

TEST(PolygonMask, SquareCoversBothCornerRowsAndColumns) {
  // Interior: lattice points 0..3 (right and bottom edges out); the pen adds column and row 4.
  DibPtr m = Fill(6, 6, {{0, 0}, {4, 0}, {4, 4}, {0, 4}});
  EXPECT_EQ(MaskRows(*m), (std::vector<std::string>{"111110", "111110", "111110", "111110", "111110", "000000"}));
}

TEST(PolygonMask, RightTriangleCoversXPlusYUpToEight) {
  // Interior x + y < 8 (the hypotenuse is a right edge), pen on x + y = 8: 45 pixels.
  DibPtr m = Fill(10, 10, {{0, 0}, {8, 0}, {0, 8}});
  int n = 0;
  for (int y = 0; y < 10; ++y)
    for (int x = 0; x < 10; ++x) {
      EXPECT_EQ(MaskBit(DibRow(*m, y), x), x + y <= 8 ? 1 : 0) << x << "," << y;
      n += MaskBit(DibRow(*m, y), x);
    }
  EXPECT_EQ(n, 45);
}

TEST(PolygonMask, SteepEdgeFollowsTopLeftRuleAndHalvesGoDown) {
  // Edge (3,0)-(0,6): x = 3 - y/2. Interior row y fills 0 .. ceil(3 - y/2) - 1; the pen lights
  // (3,0) (2,1) (2,2) (1,3) (1,4) (0,5), halves going to the smaller x, and (0,6) via the
  // closing edge.
  DibPtr m = Fill(5, 8, {{0, 0}, {3, 0}, {0, 6}});
  EXPECT_EQ(MaskRows(*m), (std::vector<std::string>{"11110", "11100", "11100", "11000", "11000", "10000",
                                                    "10000", "00000"}));
}

TEST(PolygonMask, AreaWoundTwiceIsAHole) {
  // The outline runs down x = 10 and again down x = 8, so the square between 2 and 8 is
  // crossed twice by a ray to the right: even, outside. x < 2 left of the inner drop is
  // crossed three times: inside.
  DibPtr m = Fill(12, 12, {{0, 0}, {10, 0}, {10, 10}, {2, 10}, {2, 2}, {8, 2}, {8, 8}, {0, 8}});
  auto at = [&](int x, int y) { return MaskBit(DibRow(*m, y), x); };
  EXPECT_EQ(at(5, 5), 0);
  EXPECT_EQ(at(5, 3), 0);
  EXPECT_EQ(at(1, 5), 1);
  EXPECT_EQ(at(5, 1), 1);
  EXPECT_EQ(at(9, 9), 1);
  EXPECT_EQ(at(1, 9), 0);  // below the last edge and left of x = 2: outside
  EXPECT_EQ(at(5, 2), 1);  // on the pen's line (2,2)-(8,2)
  EXPECT_EQ(at(5, 8), 1);  // on the pen's line (8,8)-(0,8)
  EXPECT_EQ(at(11, 5), 0);
}

TEST(PolygonMask, OriginMovesThePolygonAndTheMaskClips) {
  DibPtr moved = Fill(4, 4, {{10, 10}, {12, 10}, {12, 12}, {10, 12}}, {10, 10});
  EXPECT_EQ(MaskRows(*moved), (std::vector<std::string>{"1110", "1110", "1110", "0000"}));
  DibPtr clipped = Fill(4, 4, {{-2, -2}, {30, -2}, {30, 30}, {-2, 30}});
  EXPECT_EQ(MaskRows(*clipped), (std::vector<std::string>{"1111", "1111", "1111", "1111"}));
}

TEST(PolygonMask, DegeneratePolygons) {
  // One point: no segment of positive length, nothing. Two points: the pen's line both ways.
  DibPtr dot = Fill(4, 4, {{1, 1}});
  EXPECT_FALSE(MaskHasAnyBit(*dot));
  DibPtr line = Fill(5, 2, {{0, 0}, {3, 0}});
  EXPECT_EQ(MaskRows(*line), (std::vector<std::string>{"11110", "00000"}));
  EXPECT_TRUE(MaskHasAnyBit(*line));
}
