#include "tools/mask_pen.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "tools/bit_mask.h"
#include "tools/pixel_line.h"

namespace {

using Wide = __int128;

constexpr int64_t kCoordinateLimit = int64_t{1} << 26;
constexpr int64_t kWidthLimit = int64_t{1} << 16;

int64_t Clamp(int64_t v, int64_t limit) { return std::clamp(v, -limit, limit); }

int64_t FloorDiv(int64_t a, int64_t b) {  // b > 0
  return a >= 0 ? a / b : -((-a + b - 1) / b);
}
int64_t CeilDiv(int64_t a, int64_t b) { return -FloorDiv(-a, b); }

// floor(sqrt(v)) for v >= 0, exact.
int64_t ISqrt(Wide v) {
  if (v <= 0) return 0;
  int64_t r = static_cast<int64_t>(std::sqrt(static_cast<long double>(v)));
  while (r > 0 && static_cast<Wide>(r) * r > v) --r;
  while (static_cast<Wide>(r + 1) * (r + 1) <= v) ++r;
  return r;
}

// The u with lo <= u * d <= hi, as [uMin, uMax]; d may have any sign. Empty: uMin > uMax.
void SolveLinear(int64_t d, int64_t lo, int64_t hi, int64_t& uMin, int64_t& uMax) {
  if (d == 0) {
    if (lo <= 0 && 0 <= hi) {
      uMin = INT64_MIN / 4;
      uMax = INT64_MAX / 4;
    } else {
      uMin = 1;
      uMax = 0;
    }
    return;
  }
  if (d < 0) {
    d = -d;
    const int64_t t = lo;
    lo = -hi;
    hi = -t;
  }
  uMin = CeilDiv(lo, d);
  uMax = FloorDiv(hi, d);
}

struct MaskTarget {
  DibBitmap* mask;
  int64_t originX, originY;
  int width, height;

  // Sets point columns xl .. xr of point row y, clipped to the mask.
  void Span(int64_t y, int64_t xl, int64_t xr) const {
    const int64_t row = y - originY;
    if (row < 0 || row >= height) return;
    const int64_t l = std::max<int64_t>(xl - originX, 0);
    const int64_t r = std::min<int64_t>(xr - originX, width - 1);
    if (l > r) return;
    SetMaskBits(DibRow(*mask, static_cast<int>(row)), static_cast<int>(l), static_cast<int>(r));
  }
  // Point rows of the mask intersected with [y0, y1].
  bool Rows(int64_t& y0, int64_t& y1) const {
    y0 = std::max<int64_t>(y0, originY);
    y1 = std::min<int64_t>(y1, originY + height - 1);
    return y0 <= y1;
  }
};

// The disc of width w around v: 4 d^2 < w^2, or 4 d^2 = w^2 with dx + dy < 0.
void Disc(const MaskTarget& t, int64_t vx, int64_t vy, int64_t w) {
  const int64_t reach = w / 2;
  int64_t y0 = vy - reach, y1 = vy + reach;
  if (!t.Rows(y0, y1)) return;
  for (int64_t y = y0; y <= y1; ++y) {
    const int64_t dy = y - vy;
    const int64_t room = w * w - 4 * dy * dy;  // 4 dx^2 must stay within it
    if (room < 0) continue;
    const int64_t u = ISqrt(room) / 2;  // largest u with 4 u^2 <= room
    int64_t xl = -u, xr = u;
    if (4 * u * u == room) {  // the outermost pixels lie exactly on the circle
      if (!(u + dy < 0)) xr = u - 1;
      if (!(-u + dy < 0)) xl = -u + 1;
    }
    if (xl <= xr) t.Span(y, vx + xl, vx + xr);
  }
}

// The band of width w along the segment a -> b (a != b), without its round ends: pixels P with
// 0 <= t <= |D|^2 and |c| <= w |D| / 2, where D = b - a, t = D . (P - a), c = D x (P - a).
// On the boundary |c| = w |D| / 2 a pixel counts when a step toward (+1, +1) moves c toward 0.
void Band(const MaskTarget& t, int64_t ax, int64_t ay, int64_t bx, int64_t by, int64_t w) {
  const int64_t dx = bx - ax, dy = by - ay;
  const int64_t len2 = dx * dx + dy * dy;
  const Wide limit2 = static_cast<Wide>(w) * w * len2;  // (2 c)^2 must stay within it
  const int64_t cBound = ISqrt(limit2) / 2;              // largest c with 4 c^2 <= limit2
  int64_t cMax = cBound, cMin = -cBound;
  if (static_cast<Wide>(4) * cBound * cBound == limit2) {
    const int64_t k = dx - dy;  // change of c for a step of (+1, +1)
    if (!(k < 0)) cMax = cBound - 1;          // c = +bound shrinks only when k < 0
    if (!(k > 0 || k == 0)) cMin = -cBound + 1;  // c = -bound shrinks when k > 0; kept when k = 0
  }
  // Rows: the band reaches w / 2 beyond the segment's rows at most.
  int64_t y0 = std::min(ay, by) - w / 2 - 1, y1 = std::max(ay, by) + w / 2 + 1;
  if (!t.Rows(y0, y1)) return;
  for (int64_t y = y0; y <= y1; ++y) {
    const int64_t ry = y - ay;
    // t = dx * u + dy * ry in [0, len2], with u = x - ax.
    int64_t u0, u1, v0, v1;
    SolveLinear(dx, -dy * ry, len2 - dy * ry, u0, u1);
    // c = dx * ry - dy * u in [cMin, cMax]  <=>  dy * u in [dx * ry - cMax, dx * ry - cMin].
    SolveLinear(dy, dx * ry - cMax, dx * ry - cMin, v0, v1);
    const int64_t l = std::max(u0, v0), r = std::min(u1, v1);
    if (l <= r) t.Span(y, ax + l, ax + r);
  }
}

}  // namespace

void DrawPolylineOnMask(DibBitmap* mask, int originX, int originY, const IntPoint* points,
                        int count, int width) {
  if (!mask || !mask->bits || DibDepth(*mask) != 1 || !points || count < 1) return;
  if (width <= 1) {
    for (int i = 0; i + 1 < count; ++i) {
      const int64_t x0 = Clamp(points[i].x, kCoordinateLimit) - originX;
      const int64_t y0 = Clamp(points[i].y, kCoordinateLimit) - originY;
      const int64_t x1 = Clamp(points[i + 1].x, kCoordinateLimit) - originX;
      const int64_t y1 = Clamp(points[i + 1].y, kCoordinateLimit) - originY;
      const LineRun run = ClipLine(static_cast<int32_t>(x0), static_cast<int32_t>(y0),
                                   static_cast<int32_t>(x1), static_cast<int32_t>(y1),
                                   DibWidth(*mask), DibHeight(*mask));
      int64_t rem = run.rem;
      int x = run.x, y = run.y;
      // Invariant: (x, y) is the mask pixel of step k, inside the mask (ClipLine).
      for (int64_t k = 0; k < run.count; ++k) {
        SetMaskBit(DibRow(*mask, y), x);
        rem += run.remStep;
        if (rem >= run.remLimit) {
          rem -= run.remLimit;
          x += run.minorX;
          y += run.minorY;
        }
        x += run.majorX;
        y += run.majorY;
      }
    }
    return;
  }
  const MaskTarget target{mask, originX, originY, DibWidth(*mask), DibHeight(*mask)};
  const int64_t w = std::min<int64_t>(width, kWidthLimit);
  for (int i = 0; i < count; ++i) {
    const int64_t x = Clamp(points[i].x, kCoordinateLimit), y = Clamp(points[i].y, kCoordinateLimit);
    // A point repeating the one before adds nothing.
    if (i == 0 || !(points[i] == points[i - 1])) Disc(target, x, y, w);
    if (i + 1 < count && !(points[i + 1] == points[i])) {
      Band(target, x, y, Clamp(points[i + 1].x, kCoordinateLimit), Clamp(points[i + 1].y, kCoordinateLimit), w);
    }
  }
}
