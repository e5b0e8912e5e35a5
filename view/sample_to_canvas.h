// The one way the pens and tools read the pointer: a sample mapped into canvas coordinates.
#pragma once

#include "view/canvas_view.h"
#include "view/input_state.h"

struct CanvasSample {
  float x, y;       // canvas pixels
  float pressure;   // 0 .. 1: the sample's pressure over maxPressure
  float direction;  // pen direction on the canvas, whole degrees 0 .. 359
  float altitude;   // tenths of a degree as in the sample; negative for the tail
};

// raw = true: the raw current/previous sample; false: the smoothed pair. previous selects which.
//
// In single precision, with (cx0, cy0) the client origin on the screen:
//   bx = x * scale / 16 - cx0 * scale - originX * scale, by likewise
//   (x, y) = BoxToCanvasF(bx, by); mirrored: x = (W - 1) - x
//   direction = (trunc(trunc(azimuth / 10) + rotation) mod 360), non-negative;
//               mirrored: (360 - direction) mod 360
CanvasSample SampleToCanvas(const InputState& input, const CanvasView& view, bool raw, bool previous);
