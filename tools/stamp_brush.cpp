#include "tools/stamp_brush.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "brush/pen_setting.h"
#include "tools/stroke_start.h"
#include "brush/xorshift.h"
#include "canvas/layer_table.h"
#include "tools/ellipse_quarter.h"
#include "tools/stamp_cache.h"
#include "tools/stroke_phase.h"
#include "view/canvas_view.h"
#include "view/input_state.h"
#include "view/sample_to_canvas.h"


namespace {

constexpr double kRadiansPerDegree = 3.14159265358979323846 / 180.0;

int FloorToInt(float v) { return TruncateToInt(std::floor(v)); }

// What every dab of one call shares: the pen, the two samples and the values derived from the
// previous sample, which hold all along the walk.
struct StampWalk {
  AppContext* app;       // the session: its shared generator and stamp cache
  Canvas* canvas;
  const PenSetting* pen;
  int layer;             // the drawing layer, bit k of the canvas pixels
  bool eraser;           // the pen's tail is in use: ellipse dabs erase
  float sizePrev;        // s_prev = p_prev^g x Size
  float sizeCur;         // s_cur
  float altitude;        // smoothed current sample, tenths of a degree
  float penDirection;    // smoothed current sample, degrees
  float viewRotation;    // degrees
  float x1, y1;          // previous sample, where the walk starts
  float ux, uy;          // unit vector along the segment
  float length;          // L
  double strokeAngle;    // atan2 of the segment on the canvas, radians
  int64_t scatter;       // pixels across the stroke
};

// One dab: its centre in whole canvas pixels, full width and height, and angle.
struct Dab {
  float cx, cy;
  float w, h;
  double angle;
};

// Size, roundness, angle and position of the dab at distance t along the segment. Draws from
// the shared generator, in this order, only for the options that use it: size jitter, angle
// jitter, scatter.
Dab ShapeDab(const StampWalk& s, double t) {
  const PenSetting& pen = *s.pen;
  const float size = static_cast<float>(pen.Size);

  // Size: from the previous to the current sample's size by the walked fraction, each drawn
  // toward the full Size by SizePressure.
  const float sp = static_cast<float>(pen.SizePressure) / 100.0f;
  const float from = (1.0f - sp) * s.sizePrev + sp * size;
  const float to = (1.0f - sp) * s.sizeCur + sp * size;
  const float f = static_cast<float>(std::clamp(t / s.length, 0.0, 1.0));
  float dabSize = from + (to - from) * f;
  if (pen.SizeJitter != 0) {
    const float j = static_cast<float>(pen.SizeJitter) / 100.0f;
    dabSize -= dabSize * j * static_cast<float>(RandomUniform(s.app->tools.sharedRandom));
  }
  if (dabSize < 0.0f) dabSize = 1.0f;
  Dab dab{};
  dab.w = dabSize / 2.0f;

  // Roundness: the height over the width.
  const float roundness = static_cast<float>(pen.Roundness) / 100.0f;
  float r = roundness;
  if (pen.RoundnessPressure != 0) r = 1.0f - (s.sizePrev / size) * (1.0f - roundness);
  if (pen.RoundnessTilt != 0) {
    const float lean = 900.0f - std::fabs(s.altitude);
    const float k = lean <= 600.0f ? lean / 600.0f : 1.0f;
    r = 1.0f - (1.0f - roundness) * k;
  }
  dab.h = r * dab.w;

  // Angle, held against the view's rotation so that it is the angle seen on the screen.
  double angle = (static_cast<double>(pen.Angle) - s.viewRotation) * kRadiansPerDegree;
  if (pen.Direction != 0) angle -= s.strokeAngle;
  if (pen.AngleRotation != 0) angle -= ((static_cast<double>(s.penDirection) + 90.0) - s.viewRotation) * kRadiansPerDegree;
  if (pen.AngleJitter != 0) {
    const double a = pen.AngleJitter / 100.0;
    angle += (RandomUniform(s.app->tools.sharedRandom) * a * 360.0 - a * 180.0) * kRadiansPerDegree;
  }
  dab.angle = angle;

  // Position: on the segment, moved across it by up to half the scatter either way.
  const float along = static_cast<float>(t);
  float px = s.x1 + s.ux * along, py = s.y1 + s.uy * along;
  if (s.scatter != 0) {
    const float across = static_cast<float>(RandomUniform(s.app->tools.sharedRandom) * static_cast<double>(s.scatter) -
                                            static_cast<double>(s.scatter) * 0.5);
    px += -s.uy * across;
    py += s.ux * across;
  }
  dab.cx = static_cast<float>(TruncateToInt(px));
  dab.cy = static_cast<float>(TruncateToInt(py));
  return dab;
}

// An ellipse dab of semi-axes w and h through the convex polygon fill; returns its box.
PixelRect PlaceEllipseDab(const StampWalk& s, const Dab& dab) {
  PointF points[kMaxStampEllipsePoints];
  const int n = StampEllipsePoints(dab.w, dab.h, dab.angle, dab.cx, dab.cy, points);
  if (n == 0) return PixelRect{};
  const PaintTarget target{s.canvas, s.pen, nullptr, s.eraser ? kEraseLayer : kPaintLayer};
  FillConvexPolygon(target, points, n);
  float minX = points[0].x, maxX = points[0].x, minY = points[0].y, maxY = points[0].y;
  for (int i = 1; i < n; ++i) {
    minX = std::min(minX, points[i].x);
    maxX = std::max(maxX, points[i].x);
    minY = std::min(minY, points[i].y);
    maxY = std::max(maxY, points[i].y);
  }
  // Pixels whose centres lie inside have floor(min) <= x <= floor(max).
  return {FloorToInt(minX), FloorToInt(minY), FloorToInt(maxX) + 1, FloorToInt(maxY) + 1};
}

// A stamp dab: the stamp's corners (+-w/2, +-h/2) turned and moved to the centre, rounded to
// whole pixels, give the parallelogram; the transformed stamp clears bit k where it is 1, with
// either end of the pen. Returns the parallelogram's box, or an empty rectangle when the dab
// was skipped (no area, or no memory: gStatusCode is then 41).
PixelRect PlaceStampDab(const StampWalk& s, const Dab& dab, const DibBitmap& stamp) {
  const float c = static_cast<float>(std::cos(dab.angle)), sn = static_cast<float>(std::sin(dab.angle));
  const float hw = dab.w / 2.0f, hh = dab.h / 2.0f;
  const float localX[4] = {-hw, hw, hw, -hw};  // top-left, top-right, bottom-right, bottom-left
  const float localY[4] = {-hh, -hh, hh, hh};
  int32_t x[4], y[4];
  for (int i = 0; i < 4; ++i) {
    x[i] = FloorToInt(dab.cx + localX[i] * c + localY[i] * sn + 0.5f);
    y[i] = FloorToInt(dab.cy - localX[i] * sn + localY[i] * c + 0.5f);
  }
  const PixelRect box{*std::min_element(x, x + 4), *std::min_element(y, y + 4), *std::max_element(x, x + 4),
                      *std::max_element(y, y + 4)};
  if (IsRectEmpty(box)) return PixelRect{};
  StampCorners corners{};
  for (int i = 0; i < 4; ++i) {
    corners.x[i] = x[i] - box.left;
    corners.y[i] = y[i] - box.top;
  }
  StampCache* cache = SessionStampCache(*s.app);
  const TransformedStamp* t = cache ? TransformStampCached(*cache, stamp, corners) : nullptr;
  if (!t) return PixelRect{};

  Canvas& canvas = *s.canvas;
  const PixelRect clip = IntersectRect(box, PixelRect{0, 0, canvas.width, canvas.height});
  // Invariant: src[x] is the transformed byte (0 or 1) of canvas pixel x of row y.
  for (int32_t row = clip.top; row < clip.bottom; ++row) {
    uint8_t* dst = DibRow(*canvas.bitmap, row);
    const uint8_t* src = t->pixels + static_cast<int64_t>(row - box.top) * t->width - box.left;
    for (int32_t px = clip.left; px < clip.right; ++px) dst[px] &= static_cast<uint8_t>(~(src[px] << s.layer));
  }
  return box;
}

}  // namespace

int StampEllipsePoints(float a, float b, double angle, float cx, float cy, PointF* out) {
  if (!(a > 0.0f)) return 0;
  const int quarter = EllipseQuarterCount(a, kMaxStampEllipsePoints / 4.0f);
  const int n = quarter * 4;
  EllipseUpperLeftQuarter(a, b, quarter, out);
  MirrorEllipseQuarter(out, quarter);
  const float c = static_cast<float>(std::cos(angle)), s = static_cast<float>(std::sin(angle));
  for (int i = 0; i < n; ++i) {
    const PointF p = out[i];
    out[i] = {cx + p.x * c + p.y * s, cy - p.x * s + p.y * c};
  }
  return n;
}

int StampHandler(AppContext& app, PixelRect& dirty) {
  Canvas& canvas = *app.canvas;
  const PenSetting& pen = CurrentPen(app);
  if (!IsLayerEditable(canvas.layers, canvas.currentLayer) || pen.Size < 1) return 0;

  const InputState& input = *app.input;
  const CanvasSample cur = SampleToCanvas(input, *app.view, false, false);
  const CanvasSample prev = SampleToCanvas(input, *app.view, false, true);
  const float g = PressureGamma(pen.Hardness);

  if (StrokeStarts(app)) app.tools.stampCarry = 0.0f;  // pen-down starts a fresh count
  if (!IsPaintableSpan(cur.x, cur.y, prev.x, prev.y)) return 0;

  const int x0 = TruncateToInt(cur.x), y0 = TruncateToInt(cur.y);
  const int x1 = TruncateToInt(prev.x), y1 = TruncateToInt(prev.y);
  if (x0 == x1 && y0 == y1) return 0;
  if (!(cur.pressure > 0.0f || prev.pressure > 0.0f)) return 0;

  StampWalk s{};
  s.app = &app;
  s.canvas = &canvas;
  s.pen = &pen;
  s.layer = DrawingLayer(pen, canvas.currentLayer);
  s.eraser = cur.altitude < 0.0f;
  s.sizePrev = PenWidth(pen.Size, prev.pressure, g);
  s.sizeCur = PenWidth(pen.Size, cur.pressure, g);
  s.altitude = cur.altitude;
  s.penDirection = cur.direction;
  s.viewRotation = app.view->rotation;
  s.x1 = prev.x;
  s.y1 = prev.y;
  const float dx = cur.x - prev.x, dy = cur.y - prev.y;
  s.length = std::sqrt(dx * dx + dy * dy);
  s.ux = dx / s.length;
  s.uy = dy / s.length;
  s.strokeAngle = std::atan2(static_cast<double>(dy), static_cast<double>(dx));

  // Spacing and scatter in whole pixels; with the pressure options they follow the previous
  // sample's size, so one value holds for the whole walk. A spacing below 1 would never move.
  int64_t spacing = static_cast<int64_t>(pen.Interval) * pen.Size / 100;
  s.scatter = static_cast<int64_t>(pen.Dispersal) * pen.Size / 100;
  if (pen.IntervalPressure != 0) spacing = static_cast<int64_t>(pen.Interval * static_cast<double>(s.sizePrev) * 0.01);
  if (pen.DispersalPressure != 0) s.scatter = static_cast<int64_t>(pen.Dispersal * static_cast<double>(s.sizePrev) * 0.01);
  spacing = std::max<int64_t>(spacing, 1);

  const DibBitmap* stamp = pen.Stamp == 1 ? pen.stampBitmap : nullptr;  // no stamp loaded: ellipses
  dirty = {std::min(x0, x1), std::min(y0, y1), std::max(x0, x1) + 1, std::max(y0, y1) + 1};

  // Dabs at t = k x spacing - carry from the previous sample while t < L.
  const double carry = app.tools.stampCarry, length = s.length;
  double last = 0.0;
  int placed = 0;
  for (int64_t k = 1;; ++k) {
    const double t = static_cast<double>(k) * static_cast<double>(spacing) - carry;
    if (!(t < length)) break;
    const Dab dab = ShapeDab(s, t);
    const PixelRect box = stamp ? PlaceStampDab(s, dab, *stamp) : PlaceEllipseDab(s, dab);
    dirty = UnionRect(dirty, box);
    last = t;
    ++placed;
  }
  app.tools.stampCarry = static_cast<float>(placed ? length - last : carry + length);
  return placed ? 1 : 0;
}
