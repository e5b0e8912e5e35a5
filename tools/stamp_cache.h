// The stamp brush's transformed stamps: a parallelogram blit (nearest pixel) of a 1-bit stamp
// into the integer box of a target parallelogram, and the 256-entry cache that keeps the
// results so that a stroke of equal dabs transforms its stamp once.
//
// Usage:
//   StampCorners c = ...;                      // the dab's corners, relative to its box
//   const TransformedStamp* t = TransformStampCached(cache, *pen.stampBitmap, c);
//   if (t) ... t->pixels[y * t->width + x] is 1 where the stamp covers box pixel (x, y).
//
// The session owns the cache (AppContext::stampCache): the stamp brush makes it on first use and
// ReleaseStrokeResources frees it. Whoever frees or replaces a stamp bitmap empties the cache
// (EmptyStampCache), because a new stamp may be given the address of the old one.
#pragma once

#include <cstdint>

#include "tools/app_context.h"
#include "canvas/dib_bitmap.h"

inline constexpr int kStampCacheEntries = 256;

// The target parallelogram: where the stamp's top-left (0), top-right (1), bottom-right (2)
// and bottom-left (3) corners land, in whole pixels measured from the top-left of the box
// [0, width) x [0, height) that the four corners span (width = max x - min x, likewise
// height). The blit uses corners 0, 1 and 3; corner 2 only widens the box.
struct StampCorners {
  int32_t x[4], y[4];
  bool operator==(const StampCorners&) const = default;
};

// The box size of a set of corners: max minus min of each coordinate.
int32_t CornersWidth(const StampCorners& c);
int32_t CornersHeight(const StampCorners& c);

// A stamp transformed into its box: width x height bytes, top row first, width bytes a row,
// each 1 where the stamp covers that pixel and 0 elsewhere.
struct TransformedStamp {
  const DibBitmap* stamp;  // identity of the source stamp (compared, never read through)
  StampCorners corners;
  int32_t width, height;
  uint8_t* pixels;         // owned; capacity bytes, reused by later misses that fit
  int64_t capacity;
  int32_t age;             // 0: empty; 1: most recently used; larger: used longer ago
};

struct StampCache {
  TransformedStamp entries[kStampCacheEntries];
  int64_t hits, misses;  // statistics for tests and benchmarks
};

// Parallelogram blit, nearest pixel: box pixel (x, y) takes the stamp pixel under the preimage
// of its centre. With P0, P1, P3 the corners 0, 1, 3 and the stamp sw x sh pixels, the centre
// (x + 0.5, y + 0.5) = P0 + u (P1 - P0) + v (P3 - P0); when 0 <= u < 1 and 0 <= v < 1 the byte
// is stamp pixel (floor(u sw), floor(v sh)) (1 black, 0 white), else 0. A parallelogram of no
// area, a stamp that is not 1-bit or one above 2^20 pixels a side gives all zeros. out holds
// width x height bytes, top row first.
void ParallelogramBlit(const DibBitmap& stamp, const StampCorners& corners, uint8_t* out, int32_t width,
                       int32_t height);

// The transformed stamp for (stamp, corners), from the cache or made now. A hit makes the entry
// the most recent (age 1) and ages by one every entry that was more recent than it was; a miss
// takes an empty entry, or else the oldest, transforms into it and makes it the most recent,
// ageing every other filled entry by one. Returns null, leaving no entry for the key, when the
// box is empty, or when it is wider or taller than 65536 pixels or its memory cannot be had
// (then gStatusCode is 41). The result stays valid until the next call on the cache.
const TransformedStamp* TransformStampCached(StampCache& cache, const DibBitmap& stamp, const StampCorners& corners);

// A new, empty cache, or null (gStatusCode 41) when memory runs out.
StampCache* NewStampCache();

// Frees every entry's pixels and forgets the entries; the cache stays usable. Null is allowed.
void EmptyStampCache(StampCache* cache);

// Frees the cache and sets the pointer to null. Null is allowed.
void FreeStampCache(StampCache*& cache);

// The session's cache, made on first use; null when it cannot be made.
StampCache* SessionStampCache(AppContext& app);
