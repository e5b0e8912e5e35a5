// Which spans a disc or a convex polygon covers. The fills of every pen share these walks so
// that plain, textured, grain-tone and density spans all follow one set of row and span rules:
// a pixel is covered when its centre lies inside; spans run floor(xa + 0.5) .. floor(xb - 0.5),
// so a centre exactly on a left edge is out and one exactly on a right edge is in.
#pragma once

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

// Calls emit(xl, xr, row) for each row of pixel centres of the disc of radius r around
// (cx, cy) between rows 0 and height - 1. xl > xr means an empty span; spans are not clamped.
template <class Emit>
void WalkDiscSpans(float cx, float cy, float r, int height, Emit&& emit) {
  if (!IsDrawableCoordinate(cx) || !IsDrawableCoordinate(cy) || !IsDrawableCoordinate(r)) return;
  float y = static_cast<float>(std::floor(static_cast<double>(cy - r + 0.5f)) + 0.5);
  const float yLast = static_cast<float>(std::floor(static_cast<double>(cy + r - 0.5f)) + 0.5);
  // Rows above the canvas are skipped without changing the sequence of centres k + 0.5.
  if (y < 0.5f) y = 0.5f;
  const float yStop = std::fmin(yLast, static_cast<float>(height) - 0.5f);
  const float r2 = r * r;
  for (; y <= yStop; y += 1.0f) {
    const float d = cy - y;
    const float h2 = r2 - d * d;
    const float h = h2 > 0.0f ? std::sqrt(h2) : 0.0f;
    emit(FloorToInt(static_cast<double>(cx - h + 0.5f)), FloorToInt(static_cast<double>(cx + h - 0.5f)),
         FloorToInt(static_cast<double>(y)));
  }
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
