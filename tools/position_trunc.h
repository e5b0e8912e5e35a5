// The tools' and pens' one conversion of a float position (canvas or client pixels) to an int.
#pragma once

#include <cmath>
#include <cstdint>
#include <limits>

// Truncation toward zero, saturating: NaN gives 0; -2147483520 and below give INT32_MIN,
// 2147483520 and above INT32_MAX (the float nearest each limit counts as past it).
inline int32_t TruncateToInt(float v) {
  if (std::isnan(v)) return 0;
  if (!(v > -2147483520.0f)) return std::numeric_limits<int32_t>::min();
  if (!(v < 2147483520.0f)) return std::numeric_limits<int32_t>::max();
  return static_cast<int32_t>(v);
}
