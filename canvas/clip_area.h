// Clipping shared by every rectangle operation between two bitmaps.
#pragma once

// The part of a destination rectangle that is actually written, with the source position
// that feeds its top-left pixel. width or height <= 0 means nothing is written.
struct ClippedArea {
  int dx, dy;
  int sx, sy;
  int width, height;
  bool outsideDestination;  // the rectangle clipped to the destination alone was empty
};

// Clips the rectangle (dx, dy, width, height) to a destination of dstWidth x dstHeight: a
// negative start is clamped to 0 and the source start moves by the same amount. Then leaves
// out the pixels whose source lies outside a source of srcWidth x srcHeight (they stay
// unchanged). outsideDestination reports only the first step: callers return 1 for it.
ClippedArea ClipArea(int dx, int dy, int width, int height, int dstWidth, int dstHeight,
                     int sx, int sy, int srcWidth, int srcHeight);
