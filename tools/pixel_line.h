// The one-pixel line rule shared by the feedback outlines and the width-1 pen, with clipping.
// Internal to the tools.
//
// A segment from (x0, y0) to (x1, y1) lights n = max(|dx|, |dy|) pixels: step i = 0 .. n - 1
// moves one pixel along the longer (major) axis, and the shorter (minor) coordinate is
// minor0 + round(i * |dminor| / |dmajor|) toward the end, where a position exactly halfway
// between two pixels goes to the smaller coordinate whatever the segment's direction. The end
// point itself (step n) is left out. With |dx| = |dy| the x axis is the major one.
#pragma once

#include <cstdint>

// The part of a segment that lies inside a width x height grid, ready to be walked:
//   for (k = 0; k < count; ++k) {
//     plot(x, y);
//     rem += remStep; if (rem >= remLimit) { rem -= remLimit; x += minorX; y += minorY; }
//     x += majorX; y += majorY;
//   }
// Invariant of the walk: rem = (2 i |dminor| + bias) mod (2 |dmajor|) for step i, so the minor
// coordinate moves exactly when the line's exact minor position crosses a pixel boundary.
struct LineRun {
  int32_t x, y;           // first pixel inside the grid
  int64_t count;          // pixels inside the grid, 0 when none
  int32_t majorX, majorY;  // one step along the major axis (one of them is 0)
  int32_t minorX, minorY;  // one step along the minor axis, or 0 when the segment is straight
  int64_t rem, remStep, remLimit;
};

// Clips the segment to 0 <= x < width, 0 <= y < height. Coordinates may lie anywhere in the
// int32 range.
LineRun ClipLine(int32_t x0, int32_t y0, int32_t x1, int32_t y1, int32_t width, int32_t height);
