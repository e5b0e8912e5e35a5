#include "tools/stamp_cache.h"

#include <algorithm>
#include <climits>
#include <new>

#include "canvas/status.h"

namespace {

// Boxes and stamps beyond these sides are refused like memory that cannot be had. They keep
// every numerator of the blit below 2^56, so its integer arithmetic cannot overflow.
constexpr int32_t kMaxBoxSide = 1 << 16;
constexpr int32_t kMaxStampSide = 1 << 20;

// floor(n / d) and its remainder in [0, d), for d > 0.
struct FloorDivision {
  int64_t quotient, remainder;
};
FloorDivision DivideFloor(int64_t n, int64_t d) {
  int64_t q = n / d, r = n % d;
  if (r < 0) {
    r += d;
    --q;
  }
  return {q, r};
}

// A numerator n / d stepped by a constant s per pixel, kept as quotient and remainder so that
// the source index floor(n / d) is exact at every step.
struct IndexWalk {
  int64_t index, remainder;       // floor(n / d) and n - index * d, 0 <= remainder < d
  int64_t stepIndex, stepRemainder;
  int64_t d;
};
IndexWalk StartWalk(int64_t n, int64_t step, int64_t d) {
  const FloorDivision at = DivideFloor(n, d), by = DivideFloor(step, d);
  return {at.quotient, at.remainder, by.quotient, by.remainder, d};
}
inline void Step(IndexWalk& w) {
  w.index += w.stepIndex;
  w.remainder += w.stepRemainder;
  if (w.remainder >= w.d) {
    w.remainder -= w.d;
    ++w.index;
  }
}

void FreeEntry(TransformedStamp& e) {
  delete[] e.pixels;
  e = TransformedStamp{};
}

}  // namespace

int32_t CornersWidth(const StampCorners& c) {
  const auto [lo, hi] = std::minmax({c.x[0], c.x[1], c.x[2], c.x[3]});
  return hi - lo;
}

int32_t CornersHeight(const StampCorners& c) {
  const auto [lo, hi] = std::minmax({c.y[0], c.y[1], c.y[2], c.y[3]});
  return hi - lo;
}

void ParallelogramBlit(const DibBitmap& stamp, const StampCorners& c, uint8_t* out, int32_t width, int32_t height) {
  std::fill(out, out + static_cast<int64_t>(width) * height, uint8_t{0});
  const int64_t sw = DibWidth(stamp), sh = DibHeight(stamp);
  if (DibDepth(stamp) != 1 || sw > kMaxStampSide || sh > kMaxStampSide) return;
  // Edges from corner 0: a = P1 - P0 along the stamp's rows, b = P3 - P0 down its columns.
  const int64_t ax = c.x[1] - c.x[0], ay = c.y[1] - c.y[0];
  const int64_t bx = c.x[3] - c.x[0], by = c.y[3] - c.y[0];
  int64_t det = ax * by - ay * bx;
  if (det == 0) return;
  // In doubled coordinates (centres become odd integers) the centre's offset from P0 is
  // (ex, ey) = (2x + 1 - 2 x0, 2y + 1 - 2 y0), and
  //   u sw = (ex by - ey bx) sw / (2 det),   v sh = (ax ey - ay ex) sh / (2 det).
  // Both numerators are linear in x, so each row walks them exactly in integers.
  int64_t sign = 1;
  if (det < 0) {
    sign = -1;
    det = -det;
  }
  const int64_t d = 2 * det;
  const int64_t stepU = sign * 2 * by * sw, stepV = sign * -2 * ay * sh;
  for (int32_t y = 0; y < height; ++y) {
    const int64_t ex = 1 - 2 * static_cast<int64_t>(c.x[0]), ey = 2 * static_cast<int64_t>(y) + 1 - 2 * c.y[0];
    IndexWalk u = StartWalk(sign * (ex * by - ey * bx) * sw, stepU, d);
    IndexWalk v = StartWalk(sign * (ax * ey - ay * ex) * sh, stepV, d);
    uint8_t* row = out + static_cast<int64_t>(y) * width;
    // Invariant: u.index and v.index are floor(u sw) and floor(v sh) at the centre of (x, y);
    // the pixel is inside the parallelogram exactly when both lie on the stamp.
    for (int32_t x = 0; x < width; ++x) {
      if (u.index >= 0 && u.index < sw && v.index >= 0 && v.index < sh)
        row[x] = static_cast<uint8_t>(MaskBit(DibRow(stamp, static_cast<int>(v.index)), static_cast<int>(u.index)));
      Step(u);
      Step(v);
    }
  }
}

const TransformedStamp* TransformStampCached(StampCache& cache, const DibBitmap& stamp, const StampCorners& corners) {
  const int32_t width = CornersWidth(corners), height = CornersHeight(corners);
  if (width <= 0 || height <= 0) return nullptr;
  if (width > kMaxBoxSide || height > kMaxBoxSide) {
    gStatusCode = kStatusBitmapAllocationFailed;
    return nullptr;
  }

  for (TransformedStamp& e : cache.entries) {
    if (e.age == 0 || e.stamp != &stamp || !(e.corners == corners)) continue;
    const int32_t was = e.age;
    for (TransformedStamp& other : cache.entries)
      if (other.age != 0 && other.age < was) ++other.age;
    e.age = 1;
    ++cache.hits;
    return &e;
  }

  // Miss: an empty entry, else the oldest, takes the new transform.
  TransformedStamp* victim = &cache.entries[0];
  for (TransformedStamp& e : cache.entries) {
    if (e.age == 0) {
      victim = &e;
      break;
    }
    if (e.age > victim->age) victim = &e;
  }
  const int32_t victimAge = victim->age == 0 ? INT32_MAX : victim->age;
  const int64_t bytes = static_cast<int64_t>(width) * height;
  if (bytes > victim->capacity) {
    delete[] victim->pixels;
    victim->pixels = new (std::nothrow) uint8_t[static_cast<size_t>(bytes)];
    victim->capacity = victim->pixels ? bytes : 0;
  }
  if (!victim->pixels) {
    // The victim was empty or the oldest, so the other ages stay 1, 2, ... without a gap.
    FreeEntry(*victim);
    gStatusCode = kStatusBitmapAllocationFailed;
    return nullptr;
  }
  victim->stamp = &stamp;
  victim->corners = corners;
  victim->width = width;
  victim->height = height;
  ParallelogramBlit(stamp, corners, victim->pixels, width, height);
  for (TransformedStamp& other : cache.entries)
    if (&other != victim && other.age != 0 && other.age < victimAge) ++other.age;
  victim->age = 1;
  ++cache.misses;
  return victim;
}

StampCache* NewStampCache() {
  StampCache* cache = new (std::nothrow) StampCache{};
  if (!cache) gStatusCode = kStatusBitmapAllocationFailed;
  return cache;
}

void EmptyStampCache(StampCache* cache) {
  if (!cache) return;
  for (TransformedStamp& e : cache->entries) FreeEntry(e);
}

void FreeStampCache(StampCache*& cache) {
  EmptyStampCache(cache);
  delete cache;
  cache = nullptr;
}

StampCache* SessionStampCache(AppContext& app) {
  if (!app.stampCache) app.stampCache = NewStampCache();
  return app.stampCache;
}
