// The nearest-neighbour engine: an 8-bit picture whose every pixel copies the canvas byte (a
// layer-bit value, not a colour) found at its source position, with an optional 1-bit mask of
// the pixels whose source position falls outside the canvas. Serves magnified and one-to-one
// views and affine resampling elsewhere (the loupe).
//
// Source position of destination pixel (column j, row i), 16.16 fixed point:
//   sx = e + a * j + c * i,  sy = f + b * j + d * i,   source pixel (sx >> 16, sy >> 16)
// computed exactly in 64-bit integers (a row starts afresh from e + c * i, so bands agree).
#pragma once

#include <cstdint>

#include "canvas/dib_bitmap.h"
#include "canvas/pixel_rect.h"
#include "view/canvas_view.h"

struct NearestAffine {
  int32_t a, b;  // 16.16 step of the source position per destination column
  int32_t c, d;  // per destination row
  int64_t e, f;  // 16.16 source position of destination pixel (0, 0)
};

struct NearestRequest {
  const DibBitmap* source;  // 8-bit
  DibBitmap* destination;   // 8-bit; pixels whose source lies outside are left alone
  DibBitmap* mask;          // 1-bit of the destination's size, or null
  int32_t markOutside;      // 1: set the mask bit of every pixel whose source lies outside;
                            // 0: leave the mask alone
  int32_t threaded;         // 1: bands of rows on worker threads (destinations of 1024 x 1024 and up)
  PixelRect area;           // destination pixels to compute, clipped to the destination
  NearestAffine transform;
};

// Resamples request.area. Returns false, with nothing written, when the request is unusable
// (missing or wrong-depth bitmaps, mask of another size).
[[nodiscard]] bool NearestResample(const NearestRequest& request);

// The transform of a view's nearest picture: destination pixel centre (j + 0.5, i + 0.5) in
// view space at scale max(scale, 1) (a magnified view is composed at canvas resolution), to
// canvas through the inverse mapping (BoxToCanvasF; mirrored x = W - x). Start floor(v * 65536),
// steps round(dv * 65536), computed in double from the view's float geometry.
NearestAffine ViewNearestAffine(const CanvasView& view);

// The size of a view's nearest picture: the view rectangle covering the canvas at scale
// max(scale, 1) (left and top 0).
PixelRect NearestImageRect(const CanvasView& view);

// A new 8-bit picture of the whole view (NearestImageRect's size, the canvas palette as its
// colour table) and, when mask is not null, a new 1-bit outside mask (colours black, white;
// 1 = outside). Null when the picture cannot be created (an empty view, or status code 41); a
// mask that cannot be created is null (status code 41) beside a picture.
DibBitmap* NearestViewPicture(const CanvasView& view, const DibBitmap& canvas, DibBitmap** mask, int threaded);
