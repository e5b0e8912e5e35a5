// Inverted one-pixel outlines for interactive feedback (rubber bands, selection outlines, the
// shape tools' preview), drawn straight into a 32-bit back buffer.
//
// Every drawn pixel has its blue, green and red bytes inverted (x -> 255 - x; the unused
// fourth byte is left alone), so drawing the same outline a second time removes it exactly.
//
// The one-pixel line rule: a segment from (x0, y0) to (x1, y1) lights the pixel at its start
// and every pixel up to, but not including, its end point. Along the longer axis one pixel is
// lit per step; the shorter coordinate is the exact line position rounded to the nearest
// integer, and a position exactly halfway between two pixels goes to the smaller coordinate
// whatever the direction of the segment. A segment whose end equals its start lights nothing.
// A polyline is its segments drawn one after another, so each inner vertex is inverted once
// and the last point is left out; where segments cross, the crossing is inverted twice.
//
// Coordinates are client pixels and may lie anywhere in the int32 range: every segment is
// clipped to the bitmap before any pixel is touched. A null target, or one that is not 32-bit,
// draws nothing.
#pragma once

#include <cstdint>

#include "canvas/dib_bitmap.h"
#include "canvas/pixel_rect.h"

struct CanvasView;

// A point in integer pixel coordinates (client pixels for feedback, canvas pixels elsewhere).
struct IntPoint {
  int32_t x, y;
  bool operator==(const IntPoint&) const = default;
};

// Inverts the one-pixel segment from (x0, y0) towards (x1, y1), leaving out (x1, y1).
void InvertLine(DibBitmap* target, int32_t x0, int32_t y0, int32_t x1, int32_t y1);

// Inverts the segments points[0]-points[1], ..., points[count-2]-points[count-1], each without
// its last point. Fewer than two points draw nothing.
void InvertPolyline(DibBitmap* target, const IntPoint* points, int count);

// As InvertPolyline, plus the closing segment from points[count-1] back to points[0], so every
// vertex is inverted exactly once (a rectangle or lasso outline). One point draws nothing; a
// polyline whose last point already equals its first gets a closing segment of zero length.
void InvertClosedPolyline(DibBitmap* target, const IntPoint* points, int count);

// Inverts the outline the line and shape tools show while the pen is down: for kind 12 the
// segment (x0, y0)-(x1, y1), for kind 13 the rectangle and for kind 14 the ellipse with the
// box (x0, y0)-(x1, y1), unrotated (see tools/shape_tools.h, DrawShape with angle 0). Other
// kinds draw nothing.
void InvertShapeOutline(DibBitmap* target, int32_t x0, int32_t y0, int32_t x1, int32_t y1,
                        int kind);

// Asks the shell to show part of the back buffer again (the view's invalidateClient hook): the
// client rectangle, or all of the client area when clientRect is null. Without a hook (tests,
// the command-line replay) nothing happens.
void InvalidateClient(CanvasView& view, const PixelRect* clientRect);
