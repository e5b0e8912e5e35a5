// The stamp brush, pen kind 19: dabs placed along the stroke at a spacing, each an ellipse or
// the pen's stamp bitmap turned and scaled, with scatter, size, roundness and angle that may
// follow pressure, tilt, the pen's rotation, the stroke's direction and random jitter. It
// paints the drawing layer and reads the smoothed samples, like the painting pens.
#pragma once

#include "brush/primitives.h"
#include "canvas/pixel_rect.h"
#include "tools/app_context.h"

// The StrokeHandler of kind 19. Nothing when the current layer is hidden or locked, when the
// two samples truncate to the same pixel, or when neither has pressure. Otherwise walks the
// segment from the previous smoothed sample to the current one and places a dab every
// `spacing` pixels of stroke, counted on from the last dab of the stroke (gStampCarry).
// Returns 1 with dirty covering the two samples and every dab when at least one dab was
// placed, else 0.
int StampHandler(AppContext& app, PixelRect& dirty);


// Angles of the dabs are in radians, counter-clockwise as seen on a straight view: a dab
// point (px, py) of the dab's own frame lands at (cx + px cos a + py sin a,
// cy - px sin a + py cos a) on the canvas (y down).

// The ellipse of semi-axes a (along the dab's x) and b, as the ellipse tool builds it: N = 4
// points when a <= 2, else floor(a) x 4 (at most kMaxStampEllipsePoints), the first quarter
// from x = -a in steps of a / (N / 4) with y = sqrt(b^2 - x^2 b^2 / a^2) (0 where that is not
// positive), mirrored into the other three; turned by angle and moved to (cx, cy). Writes the
// N points to out (the closing point, equal to the first, is left out) and returns N.
inline constexpr int kMaxStampEllipsePoints = 4096;
int StampEllipsePoints(float a, float b, double angle, float cx, float cy, PointF* out);
