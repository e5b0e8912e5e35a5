// The solid pen of the line and shape tools, drawing a polyline onto a 1-bit mask: it sets to 1
// the mask bits the pen covers and leaves every other bit as it was.
//
// Coordinates are pixel positions: the point (x, y) stands for the pixel x, y, so a line's
// geometry runs through pixel centres.
//
// Width 1 or less: the one-pixel line rule of tools/pixel_line.h, segment by segment, each
// segment leaving out its end point (a polyline therefore leaves out its last point).
//
// Width w above 1: round ends and round joins. The covered set is the union over the segments
// of the capsule of radius r = w / 2 around the segment: pixel P is covered when its distance to
// the segment is at most r. A pixel exactly at distance r counts when moving it by a tiny step
// toward the bottom-right (+x, +y) takes it inside, so a straight edge keeps its top and left
// boundary pixels and drops its bottom and right ones: a horizontal line of width w covers
// exactly w rows (for even w one more above the line than below), and a polyline of one point
// is a dot of that width.
//
// Points are limited to +-2^26 and widths to 2^16 (larger values are clamped), which keeps the
// exact integer arithmetic in range; no canvas comes near either limit.
#pragma once

#include "canvas/dib_bitmap.h"
#include "tools/feedback_outline.h"

// Draws the polyline points[0 .. count - 1] with the pen of the given width into mask, whose
// pixel (0, 0) stands for the point (originX, originY). Only the part inside the mask is drawn.
// A null or non-1-bit mask, or a count below 1, draws nothing.
void DrawPolylineOnMask(DibBitmap* mask, int originX, int originY, const IntPoint* points,
                        int count, int width);
