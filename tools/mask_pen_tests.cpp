#include "tools/mask_pen.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <set>
#include <utility>
#include <vector>

#include "canvas/canvas_test_support.h"

namespace {

using Pixels = std::set<std::pair<int, int>>;

DibPtr Mask(int w, int h) { return DibPtr(CreateDibBitmap(1, nullptr, 0, w, h)); }

Pixels Set(const DibBitmap& m, int ox = 0, int oy = 0) {
  Pixels out;
  for (int y = 0; y < DibHeight(m); ++y)
    for (int x = 0; x < DibWidth(m); ++x)
      if (MaskBit(DibRow(m, y), x)) out.insert({x + ox, y + oy});
  return out;
}

// The covered set evaluated pixel by pixel from its definition: distance to a point or to a
// segment's band at most w / 2; on the circle or band edge only where a step toward (+1, +1)
// goes inside.
bool Covered(long long px, long long py, const std::vector<IntPoint>& pts, long long w) {
  for (size_t i = 0; i < pts.size(); ++i) {
    const long long dx = px - pts[i].x, dy = py - pts[i].y;
    const long long d4 = 4 * (dx * dx + dy * dy);
    if (d4 < w * w || (d4 == w * w && dx + dy < 0)) return true;
    if (i + 1 == pts.size()) break;
    const long long ex = pts[i + 1].x - pts[i].x, ey = pts[i + 1].y - pts[i].y;
    const long long len2 = ex * ex + ey * ey;
    if (len2 == 0) continue;
    const long long t = ex * dx + ey * dy;
    if (t < 0 || t > len2) continue;
    const long long c = ex * dy - ey * dx, k = ex - ey;
    const long long c4 = 4 * c * c;
    if (c4 < w * w * len2 || (c4 == w * w * len2 && (k != 0 ? c * k < 0 : c < 0))) return true;
  }
  return false;
}

}  // namespace

TEST(MaskPen, WidthOneIsTheOnePixelLineWithoutItsEnd) {
  DibPtr m = Mask(30, 20);
  const IntPoint line[2] = {{10, 10}, {20, 15}};
  DrawPolylineOnMask(m.get(), 0, 0, line, 2, 1);
  EXPECT_EQ(Set(*m), (Pixels{{10, 10}, {11, 10}, {12, 11}, {13, 11}, {14, 12},
                             {15, 12}, {16, 13}, {17, 13}, {18, 14}, {19, 14}}));
  // The same line into a mask that starts at (12, 11): the part from x = 12 on, shifted.
  DibPtr part = Mask(5, 3);
  DrawPolylineOnMask(part.get(), 12, 11, line, 2, 1);
  EXPECT_EQ(Set(*part, 12, 11), (Pixels{{12, 11}, {13, 11}, {14, 12}, {15, 12}, {16, 13}}));
}

TEST(MaskPen, WideLinesHaveRoundEndsAndExactlyTheirWidth) {
  // Width 3 from (5, 5) to (15, 5): rows 4..6; the round ends reach one pixel past each end on
  // all three rows (4 dx^2 + 4 <= 9 for |dx| = 1), so 3 x 13 pixels.
  DibPtr m = Mask(24, 12);
  const IntPoint line[2] = {{5, 5}, {15, 5}};
  DrawPolylineOnMask(m.get(), 0, 0, line, 2, 3);
  Pixels expected;
  for (int y = 4; y <= 6; ++y)
    for (int x = 4; x <= 16; ++x) expected.insert({x, y});
  EXPECT_EQ(Set(*m), expected);

  // Width 2: the band's edges are rows 4 and 6 exactly; the top one stays, the bottom one goes.
  // Ends: the circles of radius 1 keep their top and left points: (5, 4), (4, 5) and (15, 4),
  // (14, 5). Row 4: x = 5..15; row 5: x = 4..15.
  DibPtr two = Mask(24, 12);
  DrawPolylineOnMask(two.get(), 0, 0, line, 2, 2);
  expected.clear();
  for (int x = 5; x <= 15; ++x) expected.insert({x, 4});
  for (int x = 4; x <= 15; ++x) expected.insert({x, 5});
  EXPECT_EQ(Set(*two), expected);
}

TEST(MaskPen, OnePointIsADotOfTheWidth) {
  const IntPoint dot[1] = {{10, 10}};
  DibPtr three = Mask(20, 20);
  DrawPolylineOnMask(three.get(), 0, 0, dot, 1, 3);  // 4 d^2 <= 8 < 9: the 3 x 3 block
  Pixels block;
  for (int y = 9; y <= 11; ++y)
    for (int x = 9; x <= 11; ++x) block.insert({x, y});
  EXPECT_EQ(Set(*three), block);
  DibPtr two = Mask(20, 20);
  DrawPolylineOnMask(two.get(), 0, 0, dot, 1, 2);  // radius 1: centre, top and left points
  EXPECT_EQ(Set(*two), (Pixels{{10, 9}, {9, 10}, {10, 10}}));
  DibPtr one = Mask(20, 20);
  DrawPolylineOnMask(one.get(), 0, 0, dot, 1, 1);  // a one-pixel line of no length: nothing
  EXPECT_TRUE(Set(*one).empty());
}

TEST(MaskPen, SpansMatchTheCoveredSetPixelByPixel) {
  // Random polylines and widths, partly outside a mask placed at (-3, 4).
  srand(11);
  for (int k = 0; k < 400; ++k) {
    std::vector<IntPoint> pts(1 + rand() % 4);
    for (IntPoint& p : pts) p = {rand() % 50 - 10, rand() % 40 - 5};
    if (rand() % 5 == 0 && pts.size() > 1) pts[1] = pts[0];  // a repeated point
    const int w = 2 + rand() % 12;
    DibPtr m = Mask(37, 29);
    DrawPolylineOnMask(m.get(), -3, 4, pts.data(), static_cast<int>(pts.size()), w);
    Pixels expected;
    for (int y = 0; y < 29; ++y)
      for (int x = 0; x < 37; ++x)
        if (Covered(x - 3, y + 4, pts, w)) expected.insert({x - 3, y + 4});
    ASSERT_EQ(Set(*m, -3, 4), expected) << "case " << k << " width " << w;
  }
}

TEST(MaskPen, FarPointsAndHugeWidthsStayInRange) {
  DibPtr m = Mask(16, 16);
  const IntPoint far[2] = {{-2000000000, 8}, {2000000000, 8}};
  DrawPolylineOnMask(m.get(), 0, 0, far, 2, 1);
  DrawPolylineOnMask(m.get(), 0, 0, far, 2, 5);
  const IntPoint dot[1] = {{8, 8}};
  DrawPolylineOnMask(m.get(), 0, 0, dot, 1, 1 << 30);
  EXPECT_EQ(Set(*m).size(), 256u);  // everything covered, nothing outside touched
}
