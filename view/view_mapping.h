// Mappings between canvas, view and client coordinates (see canvas_view.h for the spaces).
//
// Forward, canvas point (x, y) to view and client, all single precision:
//   1. mirrored: x = W - x
//   2. dx = x - W/2, dy = y - H/2
//   3. rx = dx*c + dy*s, ry = -dx*s + dy*c
//   4. vx = (rx + BW/2) / scale, vy = (ry + BH/2) / scale        (view point)
//   5. client = (vx + originX, vy + originY)
// where c, s are the cosine and sine of the rotation and BW = |W*c| + |H*s|,
// BH = |W*s| + |H*c| is the rotated canvas's bounding box in canvas pixels. Integer results are
// floor(v + 0.5); floating results are v, snapped to floor(v + 0.5) when within 0.0001 of it.
//
// Inverse, client point to canvas: u = (px - originX)*scale - BW/2, v likewise;
// x = u*c - v*s + W/2, y = u*s + v*c + H/2; mirrored: x = W - x.
//
// ViewToCanvas works from a view point against the composed image's rounded-up size instead:
// BW' = |ceil(W/scale)*c| + |ceil(H/scale)*s|, BH' = |ceil(W/scale)*s| + |ceil(H/scale)*c|,
// u = vx - BW'/2, v = vy - BH'/2, x = (u*c - v*s)*scale + W/2, y = (u*s + v*c)*scale + H/2,
// mirrored x = W - x, each then rounded as floor(value + 0.5).
#pragma once

#include <algorithm>
#include <cstdint>

#include "canvas/pixel_rect.h"
#include "view/canvas_view.h"

struct ViewPoint {
  int32_t x, y;
  bool operator==(const ViewPoint&) const = default;
};

struct ViewPointF {
  float x, y;
  bool operator==(const ViewPointF&) const = default;
};

// Everything a mapping needs, taken once from the record.
struct ViewGeometry {
  float width, height;         // canvas W and H
  float c, s;                  // cosine and sine of the rotation, computed in double
  float boxWidth, boxHeight;   // BW and BH, canvas pixels
  float scale;
  int32_t mirrored;
  int32_t originX, originY;
};

ViewGeometry GeometryOf(const CanvasView& view);

// floor(v + 0.5) in single precision, limited to the int32 range (NaN gives 0).
int32_t RoundToInt(float v);

// trunc(v) toward zero, limited to the int32 range (NaN gives 0).
int32_t TruncToInt32(float v);

// trunc(v) toward zero, limited to +-2^30 (NaN gives 0): coordinates far outside any canvas
// still leave room to add sizes without overflow.
int32_t TruncCoordinate(float v);

// v, or floor(v + 0.5) when v lies within 0.0001 of it.
float SnapNearInteger(float v);

// The steps k in [0, n) of the fixed-point walk p + k * d that stay in [0, limit), as
// [*first, *end) (empty: first >= end), both within [0, n]; exact, so a loop over them needs
// no bounds check. Magnitudes up to 2^61 are safe.
inline void StepsInside(int64_t p, int64_t d, int64_t limit, int64_t n, int64_t* first, int64_t* end) {
  auto floorDiv = [](int64_t a, int64_t b) { return a / b - ((a % b != 0) && ((a < 0) != (b < 0))); };
  int64_t lo, hi;  // lo <= k < hi
  if (d == 0) {
    lo = 0;
    hi = p >= 0 && p < limit ? n : 0;
  } else if (d > 0) {
    lo = p >= 0 ? 0 : floorDiv(-p + d - 1, d);        // ceil(-p / d)
    hi = p < limit ? floorDiv(limit - p + d - 1, d) : 0;  // ceil((limit - p) / d)
  } else {
    lo = p < limit ? 0 : floorDiv(p - limit, -d) + 1;
    hi = p >= 0 ? floorDiv(p, -d) + 1 : 0;
  }
  *first = std::clamp<int64_t>(lo, 0, std::max<int64_t>(n, 0));
  *end = std::min<int64_t>(hi, n);
}

ViewPoint CanvasToView(const CanvasView& view, float x, float y);
ViewPointF CanvasToViewF(const CanvasView& view, float x, float y);
ViewPoint CanvasToClient(const CanvasView& view, float x, float y);
ViewPointF CanvasToClientF(const CanvasView& view, float x, float y);

// The integer rectangle covering the four mapped corners (left, top), (right, top),
// (left, bottom), (right, bottom): floor of the minima, ceiling of the maxima.
PixelRect CanvasRectToView(const CanvasView& view, const PixelRect& rect);
PixelRect CanvasRectToClient(const CanvasView& view, const PixelRect& rect);

// The inverse rotation: a point measured in canvas pixels from the top-left corner of the
// rotated bounding box, (bx, by), to canvas coordinates, not yet mirrored:
// u = bx - BW/2, v = by - BH/2, x = u*c - v*s + W/2, y = u*s + v*c + H/2.
ViewPointF BoxToCanvasF(const ViewGeometry& g, float bx, float by);

// Client point to canvas, single precision, mirrored x = W - x.
ViewPointF ClientToCanvasF(const CanvasView& view, float px, float py);

// View point to canvas against the composed image's size (see above).
ViewPoint ViewToCanvas(const CanvasView& view, float vx, float vy);
ViewPointF ViewToCanvasF(const CanvasView& view, float vx, float vy);  // the same, unrounded

// The canvas rectangle covering a view rectangle's four corners mapped with ViewToCanvasF.
PixelRect ViewRectToCanvas(const CanvasView& view, const PixelRect& rect);
