// The polygon fill of the lasso and rectangle tools on a 1-bit mask: the area a closed polygon
// drawn with a one-pixel pen and a solid brush covers, set to 1.
//
// Pixels are addressed like device pixels: pixel (i, j) sits at the integer point (i, j) and
// the vertices are integer points (canvas pixels translated to the mask's top-left).
//
// Interior (the brush), with the alternate (even-odd) rule: pixel (i, j) is inside when a ray
// from (i, j) to the right crosses the polygon's edges an odd number of times. Points lying
// exactly on an edge follow the top-left rule: an edge is taken over the rows
// min(ya, yb) <= j < max(ya, yb) (so a top vertex row counts and a bottom one does not, and
// horizontal edges cross nothing), and on row j the pixels from ceil(x_left) to
// ceil(x_right) - 1 of each pair of crossings are filled, so a pixel on a left crossing is in
// and one on a right crossing is out. A square (0,0) (4,0) (4,4) (0,4) fills x, y = 0..3.
//
// Outline (the pen): every edge, the closing one from the last vertex back to the first
// included, drawn by the width-1 pen of tools/mask_pen.h: a one-pixel line that lights its
// start and every pixel up to but not including its end (the rule of tools/pixel_line.h, the
// same line as the inverted feedback outlines). Because the polygon is
// closed every vertex is lit, so the pen adds the right and bottom edges the interior leaves
// out: the square above covers x, y = 0..4, the triangle (0,0) (8,0) (0,8) the 45 pixels with
// x + y <= 8.
#pragma once

#include "canvas/dib_bitmap.h"
#include "tools/feedback_outline.h"

// Sets to 1 every mask pixel the polygon points[0..count-1] (closed implicitly), moved by
// -origin, covers; other bits are left as they are. Pixels outside the mask are clipped.
// Vertices are limited to +-2^26 first. Needs count >= 1 and a 1-bit mask; otherwise nothing
// happens. Returns false when the scratch edge list (one entry per edge, allocated once per
// call) cannot be had; the mask then holds the outline only.
bool FillPolygonMask(DibBitmap& mask, const IntPoint* points, int count, IntPoint origin);

// True when any pixel of the 1-bit mask is 1.
bool MaskHasAnyBit(const DibBitmap& mask);
