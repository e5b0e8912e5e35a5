// Integer rectangles: left, top inclusive; right, bottom exclusive.
#pragma once

#include <algorithm>
#include <cstdint>

struct PixelRect {
  int32_t left, top, right, bottom;
  bool operator==(const PixelRect&) const = default;
};

inline bool IsRectEmpty(const PixelRect& r) { return r.right <= r.left || r.bottom <= r.top; }

// The smallest rectangle holding both; an empty side is ignored (an empty rectangle united
// with another is replaced by it).
inline PixelRect UnionRect(const PixelRect& a, const PixelRect& b) {
  if (IsRectEmpty(a)) return IsRectEmpty(b) ? PixelRect{} : b;
  if (IsRectEmpty(b)) return a;
  return {std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right),
          std::max(a.bottom, b.bottom)};
}

// The common part, or the all-zero rectangle when there is none.
inline PixelRect IntersectRect(const PixelRect& a, const PixelRect& b) {
  PixelRect r{std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
              std::min(a.bottom, b.bottom)};
  return IsRectEmpty(r) ? PixelRect{} : r;
}
