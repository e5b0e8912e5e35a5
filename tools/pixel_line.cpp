#include "tools/pixel_line.h"

#include <algorithm>

namespace {

using Wide = __int128;  // products of 33-bit differences and 33-bit coordinates

// floor(a / b) and ceil(a / b) for b > 0.
Wide FloorDiv(Wide a, Wide b) { return a >= 0 ? a / b : -((-a + b - 1) / b); }
Wide CeilDiv(Wide a, Wide b) { return -FloorDiv(-a, b); }

}  // namespace

LineRun ClipLine(int32_t x0, int32_t y0, int32_t x1, int32_t y1, int32_t width, int32_t height) {
  LineRun run{};
  const int64_t dx = static_cast<int64_t>(x1) - x0, dy = static_cast<int64_t>(y1) - y0;
  const int64_t adx = dx < 0 ? -dx : dx, ady = dy < 0 ? -dy : dy;
  const bool xMajor = adx >= ady;
  // Work in (major a, minor b) coordinates.
  const int64_t a0 = xMajor ? x0 : y0, b0 = xMajor ? y0 : x0;
  const int64_t da = xMajor ? dx : dy, db = xMajor ? dy : dx;
  const int64_t limA = xMajor ? width : height, limB = xMajor ? height : width;
  const int64_t n = xMajor ? adx : ady, bd = xMajor ? ady : adx;
  if (n == 0 || width <= 0 || height <= 0) return run;
  const int sa = da > 0 ? 1 : -1;
  const int sb = db > 0 ? 1 : (db < 0 ? -1 : 0);
  // m(i) = floor((2 i bd + bias) / (2 n)): round half down when the minor coordinate grows
  // (ties to the smaller coordinate), half up when it shrinks.
  const int64_t bias = sb < 0 ? n : n - 1;
  const int64_t den = 2 * n, inc = 2 * bd;

  // Steps whose major coordinate is inside: 0 <= a0 + sa i < limA.
  Wide lo = 0, hi = n - 1;
  if (sa > 0) {
    lo = std::max<Wide>(lo, -static_cast<Wide>(a0));
    hi = std::min<Wide>(hi, static_cast<Wide>(limA) - 1 - a0);
  } else {
    lo = std::max<Wide>(lo, static_cast<Wide>(a0) - limA + 1);
    hi = std::min<Wide>(hi, a0);
  }
  // Steps whose minor coordinate is inside: m in [mlo, mhi], m(i) non-decreasing.
  if (sb == 0) {
    if (b0 < 0 || b0 >= limB) return run;
  } else {
    const Wide mlo = sb > 0 ? -static_cast<Wide>(b0) : static_cast<Wide>(b0) - limB + 1;
    const Wide mhi = sb > 0 ? static_cast<Wide>(limB) - 1 - b0 : static_cast<Wide>(b0);
    if (mhi < 0) return run;
    if (bd == 0) {
      if (mlo > 0) return run;
    } else {
      // m(i) >= mlo  <=>  i >= (2 n mlo - bias) / inc;  m(i) <= mhi  <=>  i < (2 n (mhi + 1) - bias) / inc.
      lo = std::max<Wide>(lo, CeilDiv(static_cast<Wide>(den) * mlo - bias, inc));
      hi = std::min<Wide>(hi, CeilDiv(static_cast<Wide>(den) * (mhi + 1) - bias, inc) - 1);
    }
  }
  if (lo > hi) return run;

  const Wide start = static_cast<Wide>(inc) * lo + bias;
  const int64_t m = static_cast<int64_t>(FloorDiv(start, den));
  const int64_t a = a0 + sa * static_cast<int64_t>(lo), b = b0 + sb * m;
  run.count = static_cast<int64_t>(hi - lo + 1);
  run.rem = static_cast<int64_t>(start - static_cast<Wide>(m) * den);
  run.remStep = inc;
  run.remLimit = den;
  run.x = static_cast<int32_t>(xMajor ? a : b);
  run.y = static_cast<int32_t>(xMajor ? b : a);
  run.majorX = xMajor ? sa : 0;
  run.majorY = xMajor ? 0 : sa;
  run.minorX = xMajor ? 0 : sb;
  run.minorY = xMajor ? sb : 0;
  return run;
}
