// What every painting pen does first: the layer check, reading the two samples, choosing the
// paint mode. Internal to the brush engine.
#pragma once

#include "brush/primitives.h"
#include "tools/app_context.h"
#include "tools/position_trunc.h"

struct SegmentEnd {
  float x, y;       // canvas pixels
  float pressure;   // 0..1
  float direction;  // degrees 0..359 on the canvas
  float altitude;   // tenths of a degree, negative for the pen's tail
};

// One call's piece of stroke: p1 is the previous smoothed sample, p0 the current one.
struct PenSegment {
  Canvas* canvas;
  const PenSetting* pen;
  const DibBitmap* material;  // the session's paper grain, or null
  PaintMode mode;
  SegmentEnd p0, p1;
  bool coincide;  // the two samples' stored (integer, screen) positions are equal
};

// How far from the canvas origin a sample may lie, in canvas pixels, for a pen to paint it:
// 2^22 is 200 times the largest canvas side. Only a broken device or script gets farther, and
// single-precision walks along such a segment would never end (adding 1 to 2^24 changes
// nothing), so those samples paint nothing.
inline constexpr float kMaxPaintedCoordinate = 4194304.0f;

// True when both ends lie within kMaxPaintedCoordinate on both axes (NaN never does).
bool IsPaintableSpan(float x0, float y0, float x1, float y1);

// The common start. Returns false when the handler must return 0 without painting: the
// current layer is hidden or locked (or the paper is selected), except for kinds 9 and 10,
// which act on every editable layer and always run; or a sample lies out of reach
// (IsPaintableSpan).
bool StartSegment(AppContext& app, PenSegment& segment);

// Mode by kind: 7 and 8 erase the drawing layer, 9 and 10 erase every editable layer, every
// other kind erases the drawing layer while the pen's tail is used (altitude < 0) and paints
// it otherwise.
PaintMode PaintModeFor(int kind, float currentAltitude);

// S x p^g with the power in double precision, stored in single precision.
float PenWidth(int size, float pressure, float gamma);

// The box spanned by the two samples' truncated positions.
PixelRect SegmentBox(const PenSegment& s);

// The dirty rectangle of the constant-width pens: the box grown by w on every side (one more on
// the right and bottom), each edge truncated after the single-precision addition.
PixelRect ConstantWidthDirty(const PenSegment& s, float w);

// Unit offsets to the left and right of the direction from P1 to P0, in canvas coordinates
// (y down): u+ = (cos(phi + pi/2), -sin(phi + pi/2)), u- = (cos(phi - pi/2), -sin(phi - pi/2))
// with phi = atan2(-(y0 - y1), x0 - x1).
struct SideOffsets {
  PointF plus, minus;
};
SideOffsets SidesOf(const PenSegment& s);

// The band of width w from P1' to P0' (each sample + (0.25, 0.25)):
// P1' + (w/2) u+, P1' + (w/2) u-, P0' + (w/2) u-, P0' + (w/2) u+.
void ConstantWidthBand(const PenSegment& s, float w, PointF band[4]);
