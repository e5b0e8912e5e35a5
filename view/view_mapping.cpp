#include "view/view_mapping.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>

namespace {

constexpr float kSnapDistance = 0.0001f;

// Forward steps 1 to 4: the view point, unrounded.
ViewPointF ForwardToView(const ViewGeometry& g, float x, float y) {
  if (g.mirrored) x = g.width - x;
  float dx = x - g.width / 2.0f;
  float dy = y - g.height / 2.0f;
  float rx = dx * g.c + dy * g.s;
  float ry = -dx * g.s + dy * g.c;
  return {(rx + g.boxWidth / 2.0f) / g.scale, (ry + g.boxHeight / 2.0f) / g.scale};
}

ViewPointF ForwardToClient(const ViewGeometry& g, float x, float y) {
  ViewPointF v = ForwardToView(g, x, y);
  return {v.x + static_cast<float>(g.originX), v.y + static_cast<float>(g.originY)};
}

// ViewToCanvas before rounding: against the composed image's rounded-up size.
ViewPointF InverseFromView(const ViewGeometry& g, float vx, float vy) {
  float imageWidth = std::ceil(g.width / g.scale);
  float imageHeight = std::ceil(g.height / g.scale);
  float boxWidth = std::fabs(imageWidth * g.c) + std::fabs(imageHeight * g.s);
  float boxHeight = std::fabs(imageWidth * g.s) + std::fabs(imageHeight * g.c);
  float u = vx - boxWidth / 2.0f;
  float v = vy - boxHeight / 2.0f;
  float x = (u * g.c - v * g.s) * g.scale + g.width / 2.0f;
  float y = (u * g.s + v * g.c) * g.scale + g.height / 2.0f;
  if (g.mirrored) x = g.width - x;
  return {x, y};
}

PixelRect CoverCorners(const ViewPointF corners[4]) {
  float minX = corners[0].x, maxX = corners[0].x, minY = corners[0].y, maxY = corners[0].y;
  for (int i = 1; i < 4; ++i) {
    minX = std::min(minX, corners[i].x);
    maxX = std::max(maxX, corners[i].x);
    minY = std::min(minY, corners[i].y);
    maxY = std::max(maxY, corners[i].y);
  }
  // floor(v) = RoundToInt(v - 0.5) would differ at the float limit; clamp the plain way.
  return {TruncToInt32(std::floor(minX)), TruncToInt32(std::floor(minY)), TruncToInt32(std::ceil(maxX)),
          TruncToInt32(std::ceil(maxY))};
}

template <typename Map>
PixelRect CoverRect(const PixelRect& r, Map map) {
  float l = static_cast<float>(r.left), t = static_cast<float>(r.top);
  float rt = static_cast<float>(r.right), b = static_cast<float>(r.bottom);
  const ViewPointF corners[4] = {map(l, t), map(rt, t), map(l, b), map(rt, b)};
  return CoverCorners(corners);
}

}  // namespace

ViewGeometry GeometryOf(const CanvasView& view) {
  ViewGeometry g;
  g.width = static_cast<float>(ViewCanvasWidth(view));
  g.height = static_cast<float>(ViewCanvasHeight(view));
  double radians = static_cast<double>(view.rotation) * (1.0 / 180.0) * std::numbers::pi;
  g.c = static_cast<float>(std::cos(radians));
  g.s = static_cast<float>(std::sin(radians));
  g.boxWidth = std::fabs(g.width * g.c) + std::fabs(g.height * g.s);
  g.boxHeight = std::fabs(g.width * g.s) + std::fabs(g.height * g.c);
  g.scale = view.scale;
  g.mirrored = view.mirrored;
  g.originX = view.originX;
  g.originY = view.originY;
  return g;
}

int32_t TruncToInt32(float v) {
  if (std::isnan(v)) return 0;
  if (v <= -2147483648.0f) return std::numeric_limits<int32_t>::min();
  if (v >= 2147483648.0f) return std::numeric_limits<int32_t>::max();
  return static_cast<int32_t>(v);
}

int32_t TruncCoordinate(float v) {
  if (!(v == v)) return 0;
  if (v > 1073741824.0f) return 1073741824;
  if (v < -1073741824.0f) return -1073741824;
  return static_cast<int32_t>(v);
}

int32_t RoundToInt(float v) {
  float r = std::floor(v + 0.5f);
  if (std::isnan(r)) return 0;
  if (r <= -2147483648.0f) return std::numeric_limits<int32_t>::min();
  if (r >= 2147483648.0f) return std::numeric_limits<int32_t>::max();
  return static_cast<int32_t>(r);
}

float SnapNearInteger(float v) {
  float r = std::floor(v + 0.5f);
  return std::fabs(v - r) < kSnapDistance ? r : v;
}

ViewPoint CanvasToView(const CanvasView& view, float x, float y) {
  ViewPointF v = ForwardToView(GeometryOf(view), x, y);
  return {RoundToInt(v.x), RoundToInt(v.y)};
}

ViewPointF CanvasToViewF(const CanvasView& view, float x, float y) {
  ViewPointF v = ForwardToView(GeometryOf(view), x, y);
  return {SnapNearInteger(v.x), SnapNearInteger(v.y)};
}

ViewPoint CanvasToClient(const CanvasView& view, float x, float y) {
  ViewPointF p = ForwardToClient(GeometryOf(view), x, y);
  return {RoundToInt(p.x), RoundToInt(p.y)};
}

ViewPointF CanvasToClientF(const CanvasView& view, float x, float y) {
  ViewPointF p = ForwardToClient(GeometryOf(view), x, y);
  return {SnapNearInteger(p.x), SnapNearInteger(p.y)};
}

PixelRect CanvasRectToView(const CanvasView& view, const PixelRect& rect) {
  ViewGeometry g = GeometryOf(view);
  return CoverRect(rect, [&g](float x, float y) {
    ViewPointF v = ForwardToView(g, x, y);
    return ViewPointF{SnapNearInteger(v.x), SnapNearInteger(v.y)};
  });
}

PixelRect CanvasRectToClient(const CanvasView& view, const PixelRect& rect) {
  ViewGeometry g = GeometryOf(view);
  return CoverRect(rect, [&g](float x, float y) {
    ViewPointF p = ForwardToClient(g, x, y);
    return ViewPointF{SnapNearInteger(p.x), SnapNearInteger(p.y)};
  });
}

ViewPointF BoxToCanvasF(const ViewGeometry& g, float bx, float by) {
  float u = bx - g.boxWidth / 2.0f;
  float v = by - g.boxHeight / 2.0f;
  return {u * g.c - v * g.s + g.width / 2.0f, u * g.s + v * g.c + g.height / 2.0f};
}

ViewPointF ClientToCanvasF(const CanvasView& view, float px, float py) {
  ViewGeometry g = GeometryOf(view);
  ViewPointF p = BoxToCanvasF(g, (px - static_cast<float>(g.originX)) * g.scale,
                              (py - static_cast<float>(g.originY)) * g.scale);
  if (g.mirrored) p.x = g.width - p.x;
  return p;
}

ViewPointF ViewToCanvasF(const CanvasView& view, float vx, float vy) {
  return InverseFromView(GeometryOf(view), vx, vy);
}

ViewPoint ViewToCanvas(const CanvasView& view, float vx, float vy) {
  ViewPointF p = ViewToCanvasF(view, vx, vy);
  return {RoundToInt(p.x), RoundToInt(p.y)};
}

PixelRect ViewRectToCanvas(const CanvasView& view, const PixelRect& rect) {
  ViewGeometry g = GeometryOf(view);
  return CoverRect(rect, [&g](float x, float y) { return InverseFromView(g, x, y); });
}
