#include "tools/shape_tools.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "tools/pen_kind_table.h"
#include "brush/pen_setting.h"
#include "canvas/layer_table.h"
#include "canvas/masked_ops.h"
#include "tools/ellipse_quarter.h"
#include "tools/mask_pen.h"
#include "tools/position_trunc.h"
#include "tools/stroke_phase.h"
#include "view/canvas_view.h"
#include "view/sample_to_canvas.h"
#include "view/view_mapping.h"


namespace {

constexpr int kMaxEllipseQuarter = 16384;  // N <= 65536 points

// The frame of a screen-aligned box: its centre, its turn and its size along the turned axes.
struct BoxFrame {
  float cx, cy, c, s, w, h;

  IntPoint Place(float px, float py) const {
    return {TruncateToInt(px * c - py * s + cx), TruncateToInt(px * s + py * c + cy)};
  }
};

BoxFrame FrameOf(int32_t x0, int32_t y0, int32_t x1, int32_t y1, float angle) {
  const double theta = static_cast<double>(angle) * (3.14159265358979323846 / 180.0);
  BoxFrame f{};
  f.c = static_cast<float>(std::cos(theta));
  f.s = static_cast<float>(std::sin(theta));
  f.cx = (static_cast<float>(x0) + static_cast<float>(x1)) / 2.0f;
  f.cy = (static_cast<float>(y0) + static_cast<float>(y1)) / 2.0f;
  const float dx = static_cast<float>(x1) - static_cast<float>(x0);
  const float dy = static_cast<float>(y1) - static_cast<float>(y0);
  // |cos(phi) L| and |sin(phi) L| for phi = atan2(dy, dx) - theta, written as projections on
  // the turned axes: the same values without the rounding of atan2 and sqrt, so that an
  // unturned 10 x 5 box measures exactly 10 x 5.
  f.w = std::fabs(dx * f.c + dy * f.s);
  f.h = std::fabs(dy * f.c - dx * f.s);
  return f;
}

}  // namespace

void ShapePoints(int kind, int32_t x0, int32_t y0, int32_t x1, int32_t y1, float angle,
                 std::vector<IntPoint>& points) {
  points.clear();
  if (kind == kKindLine) {
    points.push_back({x0, y0});
    points.push_back({x1, y1});
    return;
  }
  if (kind != kKindRectangle && kind != kKindEllipse) return;
  const BoxFrame f = FrameOf(x0, y0, x1, y1, angle);
  if (kind == kKindRectangle) {
    const float l = static_cast<float>(TruncateToInt(-f.w / 2.0f)), r = static_cast<float>(TruncateToInt(f.w / 2.0f));
    const float t = static_cast<float>(TruncateToInt(-f.h / 2.0f)), b = static_cast<float>(TruncateToInt(f.h / 2.0f));
    points.push_back(f.Place(l, t));
    points.push_back(f.Place(l, b));
    points.push_back(f.Place(r, b));
    points.push_back(f.Place(r, t));
    points.push_back(points.front());
    return;
  }
  const float a = f.w / 2.0f, b = f.h / 2.0f;
  const int quarter = EllipseQuarterCount(a, kMaxEllipseQuarter);
  const int n = 4 * quarter;
  // Frame points first, truncated in the frame, then placed.
  std::vector<PointF> frame(static_cast<size_t>(quarter) + 1);
  EllipseUpperLeftQuarter(a, b, quarter, frame.data());
  points.resize(static_cast<size_t>(n) + 1);
  for (int i = 0; i <= quarter; ++i) points[i] = {TruncateToInt(frame[i].x), TruncateToInt(frame[i].y)};
  MirrorEllipseQuarter(points.data(), quarter);
  for (int i = 0; i < n; ++i)
    points[i] = f.Place(static_cast<float>(points[i].x), static_cast<float>(points[i].y));
  points[n] = points[0];
}

void DrawShape(DibBitmap* mask, int originX, int originY, int32_t x0, int32_t y0, int32_t x1,
               int32_t y1, int kind, float angle, int width) {
  std::vector<IntPoint> points;
  ShapePoints(kind, x0, y0, x1, y1, angle, points);
  DrawPolylineOnMask(mask, originX, originY, points.data(), static_cast<int>(points.size()), width);
}

namespace {

IntPoint TruncPoint(const CanvasSample& s) { return {TruncateToInt(s.x), TruncateToInt(s.y)}; }

// The feedback outline's client box, grown by 1 on the right and bottom.
PixelRect FeedbackBox(IntPoint a, IntPoint b) {
  return {std::min(a.x, b.x), std::min(a.y, b.y), std::max(a.x, b.x) + 1, std::max(a.y, b.y) + 1};
}

// Inverts the feedback of the current kind for start and end; returns its client box.
PixelRect ToggleFeedback(CanvasView& view, IntPoint start, IntPoint end, int kind) {
  const ViewPoint a = CanvasToClient(view, static_cast<float>(start.x), static_cast<float>(start.y));
  const ViewPoint b = CanvasToClient(view, static_cast<float>(end.x), static_cast<float>(end.y));
  // Centre of the screen pixels a magnified canvas pixel covers.
  const int32_t add = view.scale > 0.0f ? TruncateToInt(1.0f / view.scale) / 2 : 0;
  const IntPoint ca{a.x + add, a.y + add}, cb{b.x + add, b.y + add};
  InvertShapeOutline(view.backBuffer, ca.x, ca.y, cb.x, cb.y, kind);
  return FeedbackBox(ca, cb);
}

int ReleaseShape(AppContext& app, PixelRect& dirty, const CanvasSample& current) {
  Canvas& canvas = *app.canvas;
  CanvasView& view = *app.view;
  ShapeToolState& st = app.tools.shape;
  const IntPoint end = TruncPoint(current);
  if (current.altitude < 0.0f) return 0;  // the tail's colour is the paper index: no change
  const int32_t width = st.lineWidth;
  // The box of start and the point the shape is drawn to, through view space and back, so that
  // a box turned with the view is covered.
  const PixelRect box{std::min(st.start.x, end.x), std::min(st.start.y, end.y),
                      std::max(st.start.x, end.x), std::max(st.start.y, end.y)};
  PixelRect r = ViewRectToCanvas(view, CanvasRectToView(view, box));
  const int64_t grow = std::max<int32_t>(width, 0);
  auto clampAdd = [](int64_t v) {
    return static_cast<int32_t>(std::clamp<int64_t>(v, std::numeric_limits<int32_t>::min(), std::numeric_limits<int32_t>::max()));
  };
  r = {clampAdd(int64_t{r.left} - grow - 1), clampAdd(int64_t{r.top} - grow - 1), clampAdd(int64_t{r.right} + grow + 2),
       clampAdd(int64_t{r.bottom} + grow + 2)};
  const PixelRect clipped = IntersectRect(r, PixelRect{0, 0, canvas.width, canvas.height});
  if (IsRectEmpty(clipped)) return 0;

  DibBitmap* mask = CreateDibBitmap(1, nullptr, 0, clipped.right - clipped.left, clipped.bottom - clipped.top);
  if (!mask) return 0;
  const float angle = view.mirrored ? -view.rotation : view.rotation;
  DrawShape(mask, clipped.left, clipped.top, st.start.x, st.start.y, end.x, end.y, st.kind, angle, width);
  const int layer = DrawingLayer(CurrentPen(app), canvas.currentLayer);
  if (layer >= 0 && layer < kLayerCount) {
    const BlitArea area{clipped.left, clipped.top, clipped.right - clipped.left, clipped.bottom - clipped.top, 0, 0};
    PaintLayerWithMask(*canvas.bitmap, area, *mask, layer);
  }
  FreeDibBitmap(mask);
  dirty = clipped;
  return 1;
}

}  // namespace

int ShapeHandler(AppContext& app, PixelRect& dirty) {
  Canvas& canvas = *app.canvas;
  if (!canvas.bitmap || !IsLayerEditable(canvas.layers, canvas.currentLayer)) return 0;
  CanvasView& view = *app.view;
  ShapeToolState& st = app.tools.shape;
  const CanvasSample current = SampleToCanvas(*app.input, view, true, false);
  const StrokePhase phase = PhaseOf(app);

  if (phase == StrokePhase::kPress) {
    const PenSetting& pen = CurrentPen(app);
    st.active = 1;
    st.kind = pen.KindOfPen;
    st.start = st.end = TruncPoint(current);
    st.lineWidth = pen.Size;
    const PixelRect shown = ToggleFeedback(view, st.start, st.end, st.kind);
    InvalidateClient(view, &shown);
    return 0;
  }
  if (!st.active) return 0;
  if (phase == StrokePhase::kDrag) {
    const PixelRect before = ToggleFeedback(view, st.start, st.end, st.kind);
    st.end = TruncPoint(current);
    const PixelRect after = ToggleFeedback(view, st.start, st.end, st.kind);
    const PixelRect both = UnionRect(before, after);
    InvalidateClient(view, &both);
    return 0;
  }
  if (phase == StrokePhase::kRelease) {
    ToggleFeedback(view, st.start, st.end, st.kind);
    InvalidateClient(view, nullptr);
    st.active = 0;
    return ReleaseShape(app, dirty, current);
  }
  return 0;
}
