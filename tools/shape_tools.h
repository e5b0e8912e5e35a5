// Line and shape tools, kinds 12 (line), 13 (rectangle outline) and 14 (ellipse outline):
// the shape runs from the point where the pen went down to the point where it is lifted. While
// the pen is down an inverted one-pixel outline follows it in the view's back buffer; on release
// the shape is drawn into the drawing layer with the pen's size as line width.
//
// Rectangles and ellipses are aligned to the screen, not to the canvas: DrawShape turns the box
// by the view's rotation, so on a rotated or mirrored view they look upright.
#pragma once

#include <cstdint>
#include <vector>

#include "canvas/dib_bitmap.h"
#include "canvas/pixel_rect.h"
#include "tools/feedback_outline.h"
#include "tools/app_context.h"

// The polyline of a shape, in the coordinates of (x0, y0) and (x1, y1):
// - kind 12: the two points;
// - kinds 13 and 14: the box frame turned by angle degrees (theta = angle * pi / 180) about the
//   centre c = ((x0 + x1) / 2, (y0 + y1) / 2), with the box's width w and height h measured
//   along the turned axes (w = |dx cos theta + dy sin theta|, h = |dy cos theta - dx sin theta|);
//   a frame point p is placed at (trunc(p.x cos - p.y sin + c.x), trunc(p.x sin + p.y cos + c.y));
// - kind 13: five points (-w/2, -h/2), (-w/2, h/2), (w/2, h/2), (w/2, -h/2), (-w/2, -h/2), each
//   truncated to integers in the frame;
// - kind 14: the ellipse with a = w/2, b = h/2 through N = 4 points when a <= 2, else
//   4 floor(a) (at most 65536), plus the first point again to close it. The upper-left quarter
//   is point i = (trunc(x), trunc(sqrt(b^2 - x^2 b^2 / a^2))) with x = -a + i a / (N/4), the
//   root taken as 0 when its argument is not positive; point N/4 is (0, trunc(b)); the rest
//   are its mirror images across the vertical and then the horizontal axis.
// Other kinds give no points. Single precision throughout; the sine and cosine are taken in
// double precision and rounded to single.
void ShapePoints(int kind, int32_t x0, int32_t y0, int32_t x1, int32_t y1, float angle,
                 std::vector<IntPoint>& points);

// Draws the outline of kind 12, 13 or 14 between the two points with the solid pen of the
// given width (tools/mask_pen.h) into a 1-bit mask whose pixel (0, 0) stands for the point
// (originX, originY), setting the covered bits to 1. Other kinds draw nothing.
void DrawShape(DibBitmap* mask, int originX, int originY, int32_t x0, int32_t y0, int32_t x1,
               int32_t y1, int kind, float angle, int width);

// The stroke handler of kinds 12, 13 and 14. Reads the raw samples. Nothing happens unless the
// current layer is visible and unlocked.
//   pen-down: start = end = the point; line width = pen Size; the feedback is shown; returns 0.
//   drag: the feedback moves to the new point; returns 0.
//   release: the feedback is removed and the shape is drawn from start to the release point:
//     the drawing layer's bit is cleared wherever the pen covers, every other bit is left as it
//     was. dirty = the box of start and the release point, mapped to view space and back
//     (CanvasRectToView, ViewRectToCanvas), grown by width + 1 on the left and top and by
//     width + 2 on the right and bottom, clipped to the canvas; returns 1. With the pen's tail
//     (altitude < 0) nothing is drawn and it returns 0.
int ShapeHandler(AppContext& app, PixelRect& dirty);
