#include "tools/stroke_start.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "tools/pen_kind_table.h"
#include "view/sample_to_canvas.h"

PaintMode PaintModeFor(int kind, float currentAltitude) {
  const PaintMode mode = PenKindFactsOf(kind).mode;
  return mode == kPaintLayer && currentAltitude < 0.0f ? kEraseLayer : mode;
}

float PenWidth(int size, float pressure, float gamma) {
  return static_cast<float>(static_cast<double>(size) *
                            std::pow(static_cast<double>(pressure), static_cast<double>(gamma)));
}

PixelRect SegmentBox(const PenSegment& s) {
  const int x0 = TruncateToInt(s.p0.x), y0 = TruncateToInt(s.p0.y);
  const int x1 = TruncateToInt(s.p1.x), y1 = TruncateToInt(s.p1.y);
  return {std::min(x0, x1), std::min(y0, y1), std::max(x0, x1), std::max(y0, y1)};
}

PixelRect ConstantWidthDirty(const PenSegment& s, float w) {
  const PixelRect box = SegmentBox(s);
  return {TruncateToInt(static_cast<float>(box.left) - w), TruncateToInt(static_cast<float>(box.top) - w),
          TruncateToInt(static_cast<float>(box.right) + w + 1.0f),
          TruncateToInt(static_cast<float>(box.bottom) + w + 1.0f)};
}

SideOffsets SidesOf(const PenSegment& s) {
  constexpr double kHalfPi = 1.57079632679489661923;
  const double phi = std::atan2(-static_cast<double>(s.p0.y - s.p1.y), static_cast<double>(s.p0.x - s.p1.x));
  return {{static_cast<float>(std::cos(phi + kHalfPi)), static_cast<float>(-std::sin(phi + kHalfPi))},
          {static_cast<float>(std::cos(phi - kHalfPi)), static_cast<float>(-std::sin(phi - kHalfPi))}};
}

void ConstantWidthBand(const PenSegment& s, float w, PointF band[4]) {
  const SideOffsets u = SidesOf(s);
  const float h = w / 2.0f;
  const float x1 = s.p1.x + 0.25f, y1 = s.p1.y + 0.25f, x0 = s.p0.x + 0.25f, y0 = s.p0.y + 0.25f;
  band[0] = {x1 + h * u.plus.x, y1 + h * u.plus.y};
  band[1] = {x1 + h * u.minus.x, y1 + h * u.minus.y};
  band[2] = {x0 + h * u.minus.x, y0 + h * u.minus.y};
  band[3] = {x0 + h * u.plus.x, y0 + h * u.plus.y};
}

bool IsPaintableSpan(float x0, float y0, float x1, float y1) {
  const auto near = [](float v) { return std::fabs(v) <= kMaxPaintedCoordinate; };
  return near(x0) && near(y0) && near(x1) && near(y1);
}

bool StartSegment(AppContext& app, PenSegment& s) {
  Canvas& canvas = *app.canvas;
  const PenSetting& pen = CurrentPen(app);
  const int kind = pen.KindOfPen;
  if (!PenKindFactsOf(kind).allLayers && !IsLayerEditable(canvas.layers, canvas.currentLayer)) return false;

  const CanvasSample current = SampleToCanvas(*app.input, *app.view, false, false);
  const CanvasSample previous = SampleToCanvas(*app.input, *app.view, false, true);
  s.canvas = &canvas;
  s.pen = &pen;
  s.material = app.material;
  s.p0 = {current.x, current.y, current.pressure, current.direction, current.altitude};
  s.p1 = {previous.x, previous.y, previous.pressure, previous.direction, previous.altitude};
  s.coincide = app.input->smoothedCurrent.x == app.input->smoothedPrevious.x &&
               app.input->smoothedCurrent.y == app.input->smoothedPrevious.y;
  s.mode = PaintModeFor(kind, s.p0.altitude);
  return IsPaintableSpan(s.p0.x, s.p0.y, s.p1.x, s.p1.y);
}
