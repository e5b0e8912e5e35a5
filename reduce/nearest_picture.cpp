#include "reduce/nearest_picture.h"

#include <algorithm>
#include <cmath>

#include "reduce/reduce_internal.h"
#include "reduce/thread_pool.h"
#include "view/view_mapping.h"

namespace {

constexpr int kThreadedMinSide = 1024;

struct Bands {
  const NearestRequest* request;
  PixelRect area;
  int bands;
};

// Rows [top, bottom) of the area. Invariant inside the row loop: (sx, sy) is the 16.16 source
// position of destination pixel (x, y).
void ResampleRows(const NearestRequest& r, const PixelRect& area, int32_t top, int32_t bottom) {
  const DibBitmap& src = *r.source;
  const uint64_t width = static_cast<uint64_t>(DibWidth(src));
  const uint64_t height = static_cast<uint64_t>(DibHeight(src));
  const NearestAffine& t = r.transform;
  uint8_t mark = r.mask && r.markOutside ? 1 : 0;
  for (int32_t y = top; y < bottom; ++y) {
    int64_t sx = t.e + int64_t{area.left} * t.a + int64_t{y} * t.c;
    int64_t sy = t.f + int64_t{area.left} * t.b + int64_t{y} * t.d;
    uint8_t* out = DibRow(*r.destination, y);
    uint8_t* maskRow = mark ? DibRow(*r.mask, y) : nullptr;
    for (int32_t x = area.left; x < area.right; ++x, sx += t.a, sy += t.b) {
      const uint64_t ux = static_cast<uint64_t>(sx >> 16), uy = static_cast<uint64_t>(sy >> 16);
      if (ux < width && uy < height) {
        out[x] = DibRow(src, static_cast<int>(uy))[ux];
      } else if (maskRow) {
        maskRow[x >> 3] |= static_cast<uint8_t>(0x80u >> (x & 7));
      }
    }
  }
}

void ResampleBand(void* context, int index) {
  const Bands& b = *static_cast<const Bands*>(context);
  const int32_t rows = b.area.bottom - b.area.top;
  ResampleRows(*b.request, b.area, b.area.top + static_cast<int32_t>(int64_t{index} * rows / b.bands),
               b.area.top + static_cast<int32_t>(int64_t{index + 1} * rows / b.bands));
}

float NearestScale(const CanvasView& view) { return view.scale < 1.0f ? 1.0f : view.scale; }

}  // namespace

bool NearestResample(const NearestRequest& r) {
  if (!r.source || !r.destination || DibDepth(*r.source) != 8 || DibDepth(*r.destination) != 8) return false;
  if (r.mask && (DibDepth(*r.mask) != 1 || DibWidth(*r.mask) != DibWidth(*r.destination) ||
                 DibHeight(*r.mask) != DibHeight(*r.destination))) {
    return false;
  }
  const PixelRect area =
      IntersectRect(r.area, PixelRect{0, 0, DibWidth(*r.destination), DibHeight(*r.destination)});
  if (IsRectEmpty(area)) return true;
  const int threads = PoolThreadCount();
  if (r.threaded && threads > 1 && DibWidth(*r.destination) >= kThreadedMinSide &&
      DibHeight(*r.destination) >= kThreadedMinSide) {
    Bands bands{&r, area, std::min(threads, area.bottom - area.top)};
    RunPoolBatch(bands.bands, ResampleBand, &bands);
  } else {
    ResampleRows(r, area, area.top, area.bottom);
  }
  return true;
}

NearestAffine ViewNearestAffine(const CanvasView& view) {
  const ViewGeometry g = GeometryOf(view);
  const double k = NearestScale(view);
  const double mirror = g.mirrored ? -1.0 : 1.0;
  // Destination pixel (0, 0)'s centre in canvas pixels from the box's corner, then inverse.
  const double u = 0.5 * k - g.boxWidth / 2.0;
  const double v = 0.5 * k - g.boxHeight / 2.0;
  double x = u * g.c - v * g.s + g.width / 2.0;
  const double y = u * g.s + v * g.c + g.height / 2.0;
  if (g.mirrored) x = static_cast<double>(g.width) - x;
  auto step = [](double perPixel) { return static_cast<int32_t>(std::llround(perPixel * 65536.0)); };
  NearestAffine t;
  t.a = step(mirror * g.c * k);
  t.b = step(g.s * k);
  t.c = step(-mirror * g.s * k);
  t.d = step(g.c * k);
  t.e = static_cast<int64_t>(std::floor(x * 65536.0));
  t.f = static_cast<int64_t>(std::floor(y * 65536.0));
  return t;
}

PixelRect NearestImageRect(const CanvasView& view) {
  const int32_t w = ViewCanvasWidth(view), h = ViewCanvasHeight(view);
  if (w <= 0 || h <= 0) return {};
  CanvasView atScale = view;
  atScale.scale = NearestScale(view);
  const PixelRect r = CanvasRectToView(atScale, {0, 0, w, h});
  if (r.right <= 0 || r.bottom <= 0) return {};
  return {0, 0, r.right, r.bottom};
}

DibBitmap* NearestViewPicture(const CanvasView& view, const DibBitmap& canvas, DibBitmap** mask, int threaded) {
  if (mask) *mask = nullptr;
  const PixelRect size = NearestImageRect(view);
  DibBitmap* picture = IsRectEmpty(size) ? nullptr
                                         : CreateDibBitmap(8, canvas.colours, kDibColourCount, size.right, size.bottom);
  if (!picture) return nullptr;
  PreferLargePages(picture->bits, BitmapBytes(*picture));
  if (mask) {
    static constexpr DibColour kMaskColours[2] = {{0, 0, 0, 0}, {255, 255, 255, 0}};
    *mask = CreateDibBitmap(1, kMaskColours, 2, size.right, size.bottom);
  }
  NearestRequest r{};
  r.source = &canvas;
  r.destination = picture;
  r.mask = mask ? *mask : nullptr;
  r.markOutside = 1;
  r.threaded = threaded;
  r.area = size;
  r.transform = ViewNearestAffine(view);
  // The request is well formed by construction: an 8-bit source and picture, the mask null or
  // of the picture's size.
  (void)NearestResample(r);
  return picture;
}
