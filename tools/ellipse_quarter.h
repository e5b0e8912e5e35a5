// The ellipse outline the shape tool and the stamp brush share, in the ellipse's own frame
// (x along half-axis a, y along half-axis b, y up): the upper-left quarter is computed, the
// other three are its mirror images.
//
// The tilt pens' ellipse dab (tools/tilt_pens.cpp) is not this one: it computes both upper
// quarters from x = -a to x = a without mirroring, which rounds differently on the right.
#pragma once

#include <algorithm>
#include <cmath>

#include "brush/primitives.h"

// q, the points per quarter: 1 when a <= 2, else floor(a), at most maxQuarter. The outline
// has N = 4q points.
inline int EllipseQuarterCount(float a, float maxQuarter) {
  return a <= 2.0f ? 1 : static_cast<int>(std::min(std::floor(a), maxQuarter));
}

// Writes points 0 .. q of the outline: point i = (x, sqrt(b^2 - x^2 b^2 / a^2)) with
// x = -a + i a / q (the root taken as 0 where its argument is not positive), and point q =
// (0, b), the top. Single precision throughout.
inline void EllipseUpperLeftQuarter(float a, float b, int quarter, PointF* out) {
  const float step = a / static_cast<float>(quarter);
  for (int i = 0; i < quarter; ++i) {
    const float x = -a + static_cast<float>(i) * step;
    const float arg = b * b - x * x * b * b / (a * a);
    out[i] = {x, arg > 0.0f ? std::sqrt(arg) : 0.0f};
  }
  out[quarter] = {0.0f, b};
}

// Given points 0 .. q, fills points q + 1 .. 4q - 1: the mirror of the upper-left quarter
// across the vertical axis, then of the upper half across the horizontal axis. Point has
// members x and y that negate exactly (floats, or integers already truncated).
template <class Point>
void MirrorEllipseQuarter(Point* points, int quarter) {
  const int half = 2 * quarter;
  for (int i = quarter + 1; i <= half; ++i) points[i] = {-points[half - i].x, points[half - i].y};
  for (int j = 1; j < half; ++j) points[half + j] = {points[half - j].x, -points[half - j].y};
}
