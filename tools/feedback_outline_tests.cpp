#include "tools/feedback_outline.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdlib>
#include <set>
#include <utility>
#include <vector>

#include "canvas/canvas_test_support.h"
#include "tools/pixel_line.h"
#include "tools/shape_tools.h"

namespace {

using Pixels = std::set<std::pair<int, int>>;

DibPtr Buffer(int w, int h) { return DibPtr(CreateDibBitmap(32, nullptr, 0, w, h)); }

// Pixels whose blue, green and red are all 0xFF (inverted once from black); fails on any other
// non-black pixel and on a touched fourth byte.
Pixels Inverted(const DibBitmap& b) {
  Pixels out;
  for (int y = 0; y < DibHeight(b); ++y)
    for (int x = 0; x < DibWidth(b); ++x) {
      const uint8_t* p = DibRow(b, y) + 4 * x;
      EXPECT_EQ(p[3], 0) << x << "," << y;
      if (p[0] | p[1] | p[2]) {
        EXPECT_TRUE(p[0] == 0xFF && p[1] == 0xFF && p[2] == 0xFF) << x << "," << y;
        out.insert({x, y});
      }
    }
  return out;
}

// The rule written pixel by pixel: step i of n lights the major position a0 + i and the minor
// position round(i * dminor / n), halfway going to the smaller coordinate.
Pixels ReferenceLine(int x0, int y0, int x1, int y1, int w, int h) {
  Pixels out;
  const long long dx = x1 - x0, dy = y1 - y0;
  const bool xMajor = std::llabs(dx) >= std::llabs(dy);
  const long long n = xMajor ? std::llabs(dx) : std::llabs(dy);
  for (long long i = 0; i < n; ++i) {
    const long long num = 2 * i * (xMajor ? dy : dx);  // twice the exact minor offset times n
    // Smaller coordinate on a tie: floor((num + n - 1) / (2 n)) rounds half down in the
    // direction of growing coordinates, whatever the sign of num.
    const long long twoN = 2 * n;
    long long t = num + n - 1;
    const long long minor = t >= 0 ? t / twoN : -((-t + twoN - 1) / twoN);
    const long long step = (xMajor ? dx : dy) > 0 ? i : -i;
    const long long x = xMajor ? x0 + step : x0 + minor;
    const long long y = xMajor ? y0 + minor : y0 + step;
    if (x >= 0 && y >= 0 && x < w && y < h) out.insert({static_cast<int>(x), static_cast<int>(y)});
  }
  return out;
}

}  // namespace

TEST(FeedbackOutline, LineLeavesOutItsEndAndTiesGoToTheSmallerCoordinate) {
  // (10, 10) -> (20, 15): ten steps in x, y = 10 + i / 2; the halfway rows 10.5, 11.5, ... go
  // up, and (20, 15) is left out.
  DibPtr b = Buffer(30, 20);
  InvertLine(b.get(), 10, 10, 20, 15);
  EXPECT_EQ(Inverted(*b), (Pixels{{10, 10}, {11, 10}, {12, 11}, {13, 11}, {14, 12},
                                  {15, 12}, {16, 13}, {17, 13}, {18, 14}, {19, 14}}));
  // Drawn again, it is gone.
  InvertLine(b.get(), 10, 10, 20, 15);
  EXPECT_TRUE(Inverted(*b).empty());
  // Backwards the halfway positions still go up: 19.5 -> (19, 14), and (10, 10) is left out.
  InvertLine(b.get(), 20, 15, 10, 10);
  EXPECT_EQ(Inverted(*b), (Pixels{{20, 15}, {19, 14}, {18, 14}, {17, 13}, {16, 13},
                                  {15, 12}, {14, 12}, {13, 11}, {12, 11}, {11, 10}}));
}

TEST(FeedbackOutline, ClosedPolylineInvertsEveryOutlinePixelOnce) {
  DibPtr b = Buffer(12, 10);
  const IntPoint box[4] = {{2, 2}, {2, 5}, {7, 5}, {7, 2}};
  InvertClosedPolyline(b.get(), box, 4);
  Pixels expected;
  for (int x = 2; x <= 7; ++x) expected.insert({x, 2}), expected.insert({x, 5});
  for (int y = 3; y <= 4; ++y) expected.insert({2, y}), expected.insert({7, y});
  EXPECT_EQ(Inverted(*b), expected);  // 16 pixels, corners not inverted twice
  // The open polyline leaves out its last point and the closing side.
  DibPtr open = Buffer(12, 10);
  InvertPolyline(open.get(), box, 4);
  expected.erase({7, 2});
  expected.erase({6, 2}), expected.erase({5, 2}), expected.erase({4, 2}), expected.erase({3, 2});
  EXPECT_EQ(Inverted(*open), expected);
}

TEST(FeedbackOutline, SegmentsAreClippedToTheBuffer) {
  DibPtr b = Buffer(10, 8);
  InvertLine(b.get(), -100, 5, 100, 5);
  Pixels row;
  for (int x = 0; x < 10; ++x) row.insert({x, 5});
  EXPECT_EQ(Inverted(*b), row);
  InvertLine(b.get(), -100, 5, 100, 5);
  // Extreme coordinates neither crash nor touch anything outside.
  InvertLine(b.get(), INT_MIN, INT_MIN, INT_MAX, INT_MAX);
  InvertLine(b.get(), INT_MIN, INT_MIN, INT_MAX, INT_MAX);
  InvertLine(b.get(), INT_MAX, INT_MIN, INT_MIN, INT_MAX);
  InvertLine(b.get(), INT_MAX, INT_MIN, INT_MIN, INT_MAX);
  EXPECT_TRUE(Inverted(*b).empty());
  InvertLine(nullptr, 0, 0, 5, 5);  // no buffer yet: nothing
  DibPtr eight(CreateDibBitmap(8, nullptr, 0, 4, 4));
  InvertLine(eight.get(), 0, 0, 3, 0);
  EXPECT_EQ(DibRow(*eight, 0)[0], 0);
}

TEST(FeedbackOutline, ClippedSegmentsMatchTheRulePixelByPixel) {
  // Segments in every direction, starting and ending inside and outside a 23 x 17 buffer.
  srand(7);
  for (int k = 0; k < 3000; ++k) {
    const int x0 = rand() % 61 - 19, y0 = rand() % 51 - 17, x1 = rand() % 61 - 19, y1 = rand() % 51 - 17;
    DibPtr b = Buffer(23, 17);
    InvertLine(b.get(), x0, y0, x1, y1);
    ASSERT_EQ(Inverted(*b), ReferenceLine(x0, y0, x1, y1, 23, 17)) << x0 << "," << y0 << " -> " << x1 << "," << y1;
  }
}

TEST(FeedbackOutline, EllipseWithAOneAndAHalfIsFourPointsAndTheClosingOne) {
  // Box (10, 10)-(13, 12): w = 3, h = 2, a = 1.5, b = 1, centre (11.5, 11). N = 4 points in the
  // frame: (-1, 0), (0, 1), (1, 0), (0, -1), then the first again; placed with trunc(p + c).
  std::vector<IntPoint> points;
  ShapePoints(14, 10, 10, 13, 12, 0.0f, points);
  EXPECT_EQ(points, (std::vector<IntPoint>{{10, 11}, {11, 12}, {12, 11}, {11, 10}, {10, 11}}));
  // Each diagonal side lights its first pixel only.
  DibPtr b = Buffer(20, 20);
  InvertShapeOutline(b.get(), 10, 10, 13, 12, 14);
  EXPECT_EQ(Inverted(*b), (Pixels{{10, 11}, {11, 12}, {12, 11}, {11, 10}}));
  InvertShapeOutline(b.get(), 10, 10, 13, 12, 14);
  EXPECT_TRUE(Inverted(*b).empty());
  InvertShapeOutline(b.get(), 10, 10, 13, 12, 11);  // not a shape kind
  EXPECT_TRUE(Inverted(*b).empty());
}
