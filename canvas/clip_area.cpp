#include "canvas/clip_area.h"

#include <algorithm>
#include <cstdint>

namespace {

// Clips one axis. All arithmetic in 64 bits so that huge widths or far-away starts cannot
// overflow. Returns the written length (may be <= 0) and updates the starts.
int64_t ClipAxis(int64_t& d, int64_t& s, int64_t length, int64_t dstSize, int64_t srcSize,
                 bool& outside) {
  if (d < 0) {
    s -= d;
    length += d;
    d = 0;
  }
  int64_t end = std::min(d + length, dstSize);
  if (end - d <= 0) {
    outside = true;
    return 0;
  }
  // Source pixels before 0 or past the source's end are skipped.
  if (s < 0) {
    d -= s;
    s = 0;
  }
  end = std::min(end, d + (srcSize - s));
  return end - d;
}

}  // namespace

ClippedArea ClipArea(int dx, int dy, int width, int height, int dstWidth, int dstHeight,
                     int sx, int sy, int srcWidth, int srcHeight) {
  ClippedArea area{};
  int64_t x = dx, y = dy, u = sx, v = sy;
  bool outside = false;
  int64_t w = ClipAxis(x, u, width, dstWidth, srcWidth, outside);
  int64_t h = ClipAxis(y, v, height, dstHeight, srcHeight, outside);
  area.outsideDestination = outside;
  if (outside || w <= 0 || h <= 0) {
    area.width = 0;
    area.height = 0;
    return area;
  }
  area.dx = static_cast<int>(x);
  area.dy = static_cast<int>(y);
  area.sx = static_cast<int>(u);
  area.sy = static_cast<int>(v);
  area.width = static_cast<int>(w);
  area.height = static_cast<int>(h);
  return area;
}
