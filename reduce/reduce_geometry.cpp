// Engine choice, destination geometry and the 16.16 stepping shared by every engine.
#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>

#include "reduce/reduce.h"
#include "reduce/reduce_internal.h"
#include "view/view_mapping.h"

namespace {

constexpr double kFixedOne = 65536.0;

bool FitsInt32(int64_t v) {
  return v >= std::numeric_limits<int32_t>::min() && v <= std::numeric_limits<int32_t>::max();
}

PixelRect CanvasBounds(const CanvasView& view) {
  return {0, 0, ViewCanvasWidth(view), ViewCanvasHeight(view)};
}

// The forward mapping of view_mapping.h in double precision from the view's float geometry.
void ForwardDouble(const ViewGeometry& g, double x, double y, double& vx, double& vy) {
  if (g.mirrored) x = static_cast<double>(g.width) - x;
  const double dx = x - g.width / 2.0;
  const double dy = y - g.height / 2.0;
  const double rx = dx * g.c + dy * g.s;
  const double ry = -dx * g.s + dy * g.c;
  vx = (rx + g.boxWidth / 2.0) / g.scale;
  vy = (ry + g.boxHeight / 2.0) / g.scale;
}

// Its inverse: a view point to canvas coordinates.
void InverseDouble(const ViewGeometry& g, double vx, double vy, double& x, double& y) {
  const double u = vx * g.scale - g.boxWidth / 2.0;
  const double v = vy * g.scale - g.boxHeight / 2.0;
  x = u * g.c - v * g.s + g.width / 2.0;
  y = u * g.s + v * g.c + g.height / 2.0;
  if (g.mirrored) x = static_cast<double>(g.width) - x;
}

int32_t Step(double perPixel) { return static_cast<int32_t>(std::llround(perPixel * kFixedOne)); }

}  // namespace

ReduceEngineKind ChooseReduceEngine(float scale, float rotationDegrees, bool gpuReady, int64_t canvasPixels) {
  const double d = RotationSpan(rotationDegrees);
  if (static_cast<double>(scale) <= d) return ReduceEngineKind::kNearest;
  if (d * static_cast<double>(scale) > kWideReductionAbove) return ReduceEngineKind::kWide;
  if (gpuReady) return ReduceEngineKind::kGpu;
  if (canvasPixels <= kPoolMaxPixels) return ReduceEngineKind::kPool;
  return ReduceEngineKind::kStrips;
}

PixelRect ReducedImageRect(const CanvasView& view) {
  const PixelRect all = CanvasBounds(view);
  if (IsRectEmpty(all)) return {};
  const PixelRect r = CanvasRectToView(view, all);
  if (r.right <= 0 || r.bottom <= 0) return {};
  return {0, 0, r.right, r.bottom};
}

PixelRect ReduceDestinationRect(const CanvasView& view, const PixelRect& source) {
  const PixelRect clipped = IntersectRect(source, CanvasBounds(view));
  if (IsRectEmpty(clipped)) return {};
  return IntersectRect(CanvasRectToView(view, clipped), ReducedImageRect(view));
}

bool ComputeReduceStepping(const CanvasView& view, const PixelRect& source, ReduceStepping& out) {
  std::memset(&out, 0, sizeof out);
  const PixelRect clipped = IntersectRect(source, CanvasBounds(view));
  const PixelRect destination = ReduceDestinationRect(view, clipped);
  if (IsRectEmpty(clipped) || IsRectEmpty(destination)) return false;
  const ViewGeometry g = GeometryOf(view);
  const double mirror = g.mirrored ? -1.0 : 1.0;
  // d(view)/d(canvas x) and d(view)/d(canvas y) of the forward mapping.
  const int32_t colX = Step(mirror * g.c / g.scale);
  const int32_t colY = Step(-mirror * g.s / g.scale);
  const int32_t rowX = Step(g.s / g.scale);
  const int32_t rowY = Step(g.c / g.scale);
  double vx, vy;
  ForwardDouble(g, 0.5, 0.5, vx, vy);
  const int64_t anchorX = static_cast<int64_t>(std::floor(vx * kFixedOne));
  const int64_t anchorY = static_cast<int64_t>(std::floor(vy * kFixedOne));
  const int64_t startX = anchorX + int64_t{clipped.left} * colX + int64_t{clipped.top} * rowX -
                         (int64_t{destination.left} << 16);
  const int64_t startY = anchorY + int64_t{clipped.left} * colY + int64_t{clipped.top} * rowY -
                         (int64_t{destination.top} << 16);
  if (!FitsInt32(startX) || !FitsInt32(startY)) return false;
  out.source = clipped;
  out.destination = destination;
  out.startX = static_cast<int32_t>(startX);
  out.startY = static_cast<int32_t>(startY);
  out.colX = colX;
  out.colY = colY;
  out.rowX = rowX;
  out.rowY = rowY;
  return true;
}

ReduceEngine ReduceEngineFor(ReduceEngineKind kind, ReduceEngine gpuEngine) {
  switch (kind) {
    case ReduceEngineKind::kNearest: return nullptr;
    case ReduceEngineKind::kWide: return ReduceWide;
    case ReduceEngineKind::kGpu: return gpuEngine ? gpuEngine : ReducePool;
    case ReduceEngineKind::kPool: return ReducePool;
    case ReduceEngineKind::kStrips: return ReduceStrips;
  }
  return nullptr;
}

// The canvas pixels whose centres can map into `destination`: its corners mapped back, covered,
// grown by two pixels against rounding, limited to `limit`.
PixelRect SourceForDestination(const CanvasView& view, const PixelRect& destination, const PixelRect& limit) {
  const ViewGeometry g = GeometryOf(view);
  const double xs[2] = {static_cast<double>(destination.left), static_cast<double>(destination.right)};
  const double ys[2] = {static_cast<double>(destination.top), static_cast<double>(destination.bottom)};
  double minX = std::numeric_limits<double>::max(), minY = minX;
  double maxX = std::numeric_limits<double>::lowest(), maxY = maxX;
  for (double vx : xs) {
    for (double vy : ys) {
      double x, y;
      InverseDouble(g, vx, vy, x, y);
      minX = std::min(minX, x);
      maxX = std::max(maxX, x);
      minY = std::min(minY, y);
      maxY = std::max(maxY, y);
    }
  }
  const double lo = -1e9, hi = 1e9;  // keeps the conversions defined for any geometry
  const PixelRect grown{
      static_cast<int32_t>(std::clamp(std::floor(minX) - 2.0, lo, hi)),
      static_cast<int32_t>(std::clamp(std::floor(minY) - 2.0, lo, hi)),
      static_cast<int32_t>(std::clamp(std::ceil(maxX) + 2.0, lo, hi)),
      static_cast<int32_t>(std::clamp(std::ceil(maxY) + 2.0, lo, hi))};
  return IntersectRect(grown, limit);
}

bool ReduceIntoImageWithin(const CanvasView& view, const DibBitmap& canvas, const PixelRect& source,
                           const PixelRect& limit, uint32_t background, int threaded, ReduceEngine engine,
                           DibBitmap& target, int32_t targetLeft, int32_t targetTop) {
  if (!engine || DibDepth(target) != 32) return false;
  const PixelRect wanted = ReduceDestinationRect(view, IntersectRect(source, limit));
  if (IsRectEmpty(wanted)) return false;
  const PixelRect grown = SourceForDestination(view, wanted, limit);
  ReduceStepping step;
  if (!ComputeReduceStepping(view, grown, step)) return false;
  DibBitmap* part = engine(view, canvas, grown, background, threaded);
  if (!part) return false;
  // The wanted pixels lie inside the grown source's destination.
  const bool copied = CopyRect(target, wanted.left - targetLeft, wanted.top - targetTop, wanted.right - wanted.left,
                         wanted.bottom - wanted.top, *part, wanted.left - step.destination.left,
                         wanted.top - step.destination.top);
  FreeDibBitmap(part);
  return copied;
}

bool ReduceIntoImage(const CanvasView& view, const DibBitmap& canvas, const PixelRect& source,
                     uint32_t background, int threaded, ReduceEngine engine, DibBitmap& target,
                     int32_t targetLeft, int32_t targetTop) {
  return ReduceIntoImageWithin(view, canvas, source, CanvasBounds(view), background, threaded, engine, target,
                               targetLeft, targetTop);
}
