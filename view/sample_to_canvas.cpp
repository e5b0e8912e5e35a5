#include "view/sample_to_canvas.h"

#include <cmath>

#include "view/view_mapping.h"

namespace {

const PenSample& SelectSample(const InputState& input, bool raw, bool previous) {
  if (raw) return previous ? input.previous : input.current;
  return previous ? input.smoothedPrevious : input.smoothedCurrent;
}

// trunc(trunc(azimuth / 10) + rotation) mod 360, in 0 .. 359.
int32_t CanvasDirection(int32_t azimuth, float rotation) {
  float turned = static_cast<float>(azimuth / 10) + rotation;
  int32_t degrees = std::isfinite(turned) ? static_cast<int32_t>(std::fmod(turned, 360.0f)) : 0;
  return degrees < 0 ? degrees + 360 : degrees;
}

}  // namespace

CanvasSample SampleToCanvas(const InputState& input, const CanvasView& view, bool raw, bool previous) {
  const PenSample& sample = SelectSample(input, raw, previous);
  ViewGeometry g = GeometryOf(view);
  const float scale = view.scale;
  float bx = static_cast<float>(sample.x) * scale / 16.0f -
             static_cast<float>(view.clientScreenX) * scale - static_cast<float>(view.originX) * scale;
  float by = static_cast<float>(sample.y) * scale / 16.0f -
             static_cast<float>(view.clientScreenY) * scale - static_cast<float>(view.originY) * scale;
  ViewPointF p = BoxToCanvasF(g, bx, by);

  CanvasSample out;
  out.x = view.mirrored ? (g.width - 1.0f) - p.x : p.x;
  out.y = p.y;
  out.pressure = NormalisedPressure(sample.pressure, input.maxPressure);
  int32_t direction = CanvasDirection(sample.azimuth, view.rotation);
  // 360 - 0 would leave the 0 .. 359 range; it is the same direction as 0.
  if (view.mirrored) direction = (360 - direction) % 360;
  out.direction = static_cast<float>(direction);
  out.altitude = static_cast<float>(sample.altitude);
  return out;
}
