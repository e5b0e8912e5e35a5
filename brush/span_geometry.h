// Which spans a disc or a convex polygon covers. The fills of every pen share these walks so
// that plain, textured, grain-tone and density spans all follow one set of row and span rules:
// a pixel is covered when its centre lies inside; spans run floor(xa + 0.5) .. floor(xb - 0.5),
// so a centre exactly on a left edge is out and one exactly on a right edge is in.
#pragma once

#include <emmintrin.h>

#include <algorithm>
#include <cmath>
#include <limits>

#include "brush/primitives.h"

// Coordinates beyond this are not drawn at all: float steps of 1.0 stop being exact there.
inline constexpr float kCoordinateLimit = 8388608.0f;  // 2^23

inline bool IsDrawableCoordinate(float v) { return std::isfinite(v) && std::fabs(v) < kCoordinateLimit; }

// floor of a value (single precision widened to double), as an int, saturating.
inline int FloorToInt(double v) {
  double f = std::floor(v);
  if (f <= static_cast<double>(std::numeric_limits<int>::min())) return std::numeric_limits<int>::min();
  if (f >= static_cast<double>(std::numeric_limits<int>::max())) return std::numeric_limits<int>::max();
  return static_cast<int>(f);
}

// floor(v) of a float with |v| < 2^31, equal to FloorToInt(double(v)) there: truncate toward
// zero, then step down where that rounded up. Exact, because trunc(v) of a float is a float.
inline int FloorFloatToInt(float v) {
  const int t = static_cast<int>(v);
  return t - (v < static_cast<float>(t) ? 1 : 0);
}

// FloorFloatToInt in each of four lanes (|v| < 2^31).
inline __m128i FloorFloatToInt4(__m128 v) {
  const __m128i t = _mm_cvttps_epi32(v);
  // The comparison is all ones, that is -1, in the lanes that rounded up.
  return _mm_add_epi32(t, _mm_castps_si128(_mm_cmplt_ps(v, _mm_cvtepi32_ps(t))));
}

// Discs are walked on rows below this, where the row centres k + 0.5 are exact floats; no
// canvas is that tall.
inline constexpr int kDiscRowLimit = 1 << 23;

// Calls emit(xl, xr, row) for each row of pixel centres of the disc of radius r around
// (cx, cy) between rows 0 and height - 1, top to bottom. xl > xr means an empty span; spans
// are not clamped. The rule, in single precision unless said:
//   rows k from floor(cy - r + 0.5) to floor(cy + r - 0.5), centre y = k + 0.5;
//   h = sqrt(r^2 - (cy - y)^2), or 0 where that is not positive;
//   xl = floor(cx - h + 0.5), xr = floor(cx + h - 0.5), the floors taken exactly.
// Coordinates are below 2^23, so every value floored is below 2^24 in size and fits
// FloorFloatToInt, and the rows are counted in ints.
template <class Emit>
void WalkDiscSpans(float cx, float cy, float r, int height, Emit&& emit) {
  if (!IsDrawableCoordinate(cx) || !IsDrawableCoordinate(cy) || !IsDrawableCoordinate(r)) return;
  const int first = std::max(FloorFloatToInt(cy - r + 0.5f), 0);
  const int last = std::min(FloorFloatToInt(cy + r - 0.5f), std::min(height, kDiscRowLimit) - 1);
  const __m128 vcx = _mm_set1_ps(cx), vcy = _mm_set1_ps(cy), r2 = _mm_set1_ps(r * r);
  const __m128 half = _mm_set1_ps(0.5f), zero = _mm_setzero_ps();
  // Four rows at a time, each lane doing exactly the single-precision steps of the rule (the
  // lanes are IEEE operations like the scalar ones); float(row) + 0.5 is the exact centre as
  // row < 2^23. Lanes past `last` are computed and dropped.
  for (int row = first; row <= last; row += 4) {
    const __m128 y = _mm_add_ps(_mm_cvtepi32_ps(_mm_add_epi32(_mm_set1_epi32(row), _mm_setr_epi32(0, 1, 2, 3))), half);
    const __m128 d = _mm_sub_ps(vcy, y);
    const __m128 h = _mm_sqrt_ps(_mm_max_ps(_mm_sub_ps(r2, _mm_mul_ps(d, d)), zero));
    alignas(16) int32_t xl[4], xr[4];
    _mm_store_si128(reinterpret_cast<__m128i*>(xl), FloorFloatToInt4(_mm_add_ps(_mm_sub_ps(vcx, h), half)));
    _mm_store_si128(reinterpret_cast<__m128i*>(xr), FloorFloatToInt4(_mm_sub_ps(_mm_add_ps(vcx, h), half)));
    const int rows = std::min(last - row + 1, 4);
    for (int k = 0; k < rows; ++k) emit(xl[k], xr[k], row + k);
  }
}

// True when every span WalkDiscSpans gives for this disc lies within columns 0 .. width - 1,
// so that none needs clamping. No row's h exceeds reach = sqrt(r * r), and float sums, sqrt and
// floors are monotone, so every xl >= floor(cx - reach + 0.5) >= 0 and every
// xr <= floor(cx + reach - 0.5) <= width - 1; the width limit keeps width - 0.5 exact.
inline bool DiscWithinColumns(float cx, float r, int width) {
  const float reach = std::sqrt(r * r);
  return width <= kDiscRowLimit && cx - reach >= 0.0f && cx + reach <= static_cast<float>(width);
}

// Calls emit(xl, xr, row, leftVertex, rightVertex) for each row of pixel centres of the convex
// polygon points[0..n-1] (in order around it) between rows 0 and height - 1. leftVertex and
// rightVertex are the upper vertices of the edges bounding the span on the left and right
// (for a polygon one row of centres high: its leftmost and rightmost vertices).
template <class Emit>
void WalkPolygonSpans(const PointF* points, int n, int height, Emit&& emit) {
  if (n < 1) return;
  for (int i = 0; i < n; ++i)
    if (!IsDrawableCoordinate(points[i].x) || !IsDrawableCoordinate(points[i].y)) return;
  int top = 0, bottom = 0;
  for (int i = 1; i < n; ++i) {
    if (points[i].y < points[top].y) top = i;
    if (points[i].y > points[bottom].y) bottom = i;
  }
  const int yFirst = FloorToInt(static_cast<double>(points[top].y + 0.5f));
  const int yLast = FloorToInt(static_cast<double>(points[bottom].y - 0.5f));
  if (yFirst > yLast) return;

  if (yFirst == yLast) {
    int left = 0, right = 0;
    for (int i = 1; i < n; ++i) {
      if (points[i].x < points[left].x) left = i;
      if (points[i].x > points[right].x) right = i;
    }
    if (yFirst >= 0 && yFirst < height)
      emit(FloorToInt(static_cast<double>(points[left].x + 0.5f)),
           FloorToInt(static_cast<double>(points[right].x - 0.5f)), yFirst, left, right);
    return;
  }

  // Two chains walk down from the top vertex, one through decreasing indices and one through
  // increasing ones; each holds the upper (u) and lower (l) vertex of its current edge.
  struct Chain {
    int u, l, step;
  };
  Chain chains[2] = {{top, (top - 1 + n) % n, -1}, {top, (top + 1) % n, +1}};
  auto advance = [n](Chain& c) {
    c.u = c.l;
    c.l = ((c.l + c.step) % n + n) % n;
  };
  for (Chain& c : chains)
    for (int guard = 0; guard < n && points[c.l].y <= static_cast<float>(yFirst); ++guard) advance(c);

  float yc = static_cast<float>(yFirst) + 0.5f;
  const float ycStop = static_cast<float>(yLast) + 0.5f;
  for (int row = yFirst; yc <= ycStop && row < height; yc += 1.0f, ++row) {
    float x[2];
    for (int k = 0; k < 2; ++k) {
      Chain& c = chains[k];
      for (int guard = 0; guard < n && yc > points[c.l].y; ++guard) advance(c);
      const PointF& u = points[c.u];
      const PointF& l = points[c.l];
      // yu < yc <= yl here (yc starts below the top vertex), so the edge is not horizontal.
      x[k] = u.x + (yc - u.y) * (l.x - u.x) / (l.y - u.y);
    }
    if (row < 0) continue;  // above the canvas: the chains still had to advance
    const int a = x[0] <= x[1] ? 0 : 1;  // the chain on the left
    emit(FloorToInt(static_cast<double>(x[a] + 0.5f)), FloorToInt(static_cast<double>(x[1 - a] - 0.5f)), row,
         chains[a].u, chains[1 - a].u);
  }
}
