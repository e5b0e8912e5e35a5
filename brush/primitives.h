// Layer-bit painting primitives: the only way the painting pens change the canvas. They never
// blend colours; they clear bits (paint) or set bits (erase) of the drawing layer or of every
// writable layer, optionally only where a one-bit texture allows. They allocate nothing and
// report nothing: the stroke handler computes its dirty rectangle itself.
//
// Canvas coordinates are top-down; pixel (i, j) covers [i, i + 1) x [j, j + 1) and its centre
// is (i + 0.5, j + 0.5).
#pragma once

#include <cstdint>

#include "brush/pen_setting.h"
#include "canvas/canvas.h"

enum PaintMode : int {
  kPaintLayer = 0,  // clear bit c, the drawing layer
  kEraseLayer = 1,  // set bit c
  kPaintAll = 2,    // clear every writable layer's bit
  kEraseAll = 3,    // set every writable layer's bit
};

// What every primitive works on. The drawing layer c and the writable-layer mask are read
// from the canvas and the pen at each call.
//
// texture: null, or an 8-bit bitmap of 0/1 texels anchored to the canvas by the pen's
// TextureOffsetX/Y (OX, OY). With a texture the pattern of a pixel is texel << c in every mode
// (the writable-layer mask plays no part): texel 0 leaves the pixel alone, texel 1 clears or
// sets bit c. Texture row for canvas row y: (y + OY) mod TH. Plots and lines read column
// (x + OX) mod TW; spans, discs and polygons read whole groups of four pixels, group x / 4
// taking texture group (x / 4 + OX) mod (TW / 4), so OX moves the texture in steps of four.
struct PaintTarget {
  Canvas* canvas;
  const PenSetting* pen;
  const DibBitmap* texture;
  PaintMode mode;
};

struct PointF {
  float x, y;
};

// Applies the pattern to pixel (x, y) when it lies on the canvas.
void PlotPixel(const PaintTarget& target, int x, int y);

// Applies the pattern to pixels xl..xr (inclusive) of row y, clamped to the canvas; nothing
// when xl > xr, xr < 0, xl >= W or y is off the canvas.
void FillSpan(const PaintTarget& target, int xl, int xr, int y);

// Paints every pixel whose centre lies in the disc of radius r around (cx, cy).
void FillDisc(const PaintTarget& target, float cx, float cy, float r);

// Paints every pixel whose centre lies in the convex polygon of n vertices given in order.
void FillConvexPolygon(const PaintTarget& target, const PointF* points, int n);

// Plots a one-pixel digital line from A to B.
void DrawThinLine(const PaintTarget& target, float ax, float ay, float bx, float by);
