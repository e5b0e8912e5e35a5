#include "tools/stamp_cache.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "canvas/canvas_test_support.h"

namespace {

StampCorners Box(int32_t w, int32_t h) { return {{0, w, w, 0}, {0, 0, h, h}}; }

// The blit of stamp into the box of corners, as rows of '0' and '1'.
std::vector<std::string> Blit(const DibBitmap& stamp, const StampCorners& c) {
  const int32_t w = CornersWidth(c), h = CornersHeight(c);
  std::vector<uint8_t> out(static_cast<size_t>(w) * h, 7);
  ParallelogramBlit(stamp, c, out.data(), w, h);
  std::vector<std::string> rows;
  for (int32_t y = 0; y < h; ++y) {
    std::string row;
    for (int32_t x = 0; x < w; ++x) row += static_cast<char>('0' + out[static_cast<size_t>(y) * w + x]);
    rows.push_back(row);
  }
  return rows;
}

struct CacheFixture {
  StampCache* cache = NewStampCache();
  ~CacheFixture() { FreeStampCache(cache); }
};

}  // namespace

TEST(ParallelogramBlit, NearestPixelOfEachCentre) {
  const DibPtr two = MaskFromText({"10"});
  // Doubled: each stamp pixel covers two columns; both rows alike.
  EXPECT_EQ(Blit(*two, Box(4, 2)), (std::vector<std::string>{"1100", "1100"}));
  // Corner 0 on the right: the stamp's left edge lands on the right (negative area).
  EXPECT_EQ(Blit(*two, StampCorners{{4, 0, 0, 4}, {0, 0, 2, 2}}), (std::vector<std::string>{"0011", "0011"}));

  // Halved: centres 0.5 and 1.5 map to u * 4 = 1 and 3 exactly, stamp pixels 1 and 3.
  const DibPtr four = MaskFromText({"1010"});
  EXPECT_EQ(Blit(*four, Box(2, 1)), (std::vector<std::string>{"00"}));

  // A quarter turn counter-clockwise: the stamp's top row runs up the left column, its left
  // column along the bottom row. Box pixel (x, y) = stamp (2 - y, x).
  const DibPtr l = MaskFromText({"110", "100"});
  EXPECT_EQ(Blit(*l, StampCorners{{0, 0, 2, 2}, {3, 0, 0, 3}}), (std::vector<std::string>{"00", "10", "11"}));

  // No area: nothing is covered.
  EXPECT_EQ(Blit(*two, StampCorners{{0, 3, 3, 0}, {0, 3, 3, 0}}),
            (std::vector<std::string>{"000", "000", "000"}));
}

TEST(StampCache, HitsReturnTheSameTransform) {
  CacheFixture f;
  ASSERT_NE(f.cache, nullptr);
  const DibPtr stamp = MaskFromText({"10"});
  const DibPtr other = MaskFromText({"10"});
  const TransformedStamp* first = TransformStampCached(*f.cache, *stamp, Box(4, 2));
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(first->width, 4);
  EXPECT_EQ(first->height, 2);
  EXPECT_EQ(first->pixels[0] + first->pixels[1] + first->pixels[2] + first->pixels[3], 2);
  EXPECT_EQ(TransformStampCached(*f.cache, *stamp, Box(4, 2)), first);
  EXPECT_EQ(f.cache->hits, 1);
  EXPECT_EQ(f.cache->misses, 1);

  // Another stamp, or the same one after the cache was emptied, is transformed afresh.
  EXPECT_NE(TransformStampCached(*f.cache, *other, Box(4, 2)), first);
  EXPECT_EQ(f.cache->misses, 2);
  EmptyStampCache(f.cache);
  for (const TransformedStamp& e : f.cache->entries) EXPECT_EQ(e.age, 0);
  ASSERT_NE(TransformStampCached(*f.cache, *stamp, Box(4, 2)), nullptr);
  EXPECT_EQ(f.cache->misses, 3);

  // An empty box is not cached.
  EXPECT_EQ(TransformStampCached(*f.cache, *stamp, Box(0, 2)), nullptr);
  EXPECT_EQ(f.cache->misses, 3);
}

TEST(StampCache, TheOldestEntryGivesWayAndAHitIsNewest) {
  CacheFixture f;
  const DibPtr stamp = MaskFromText({"1"});
  const TransformedStamp* slot[kStampCacheEntries];
  for (int i = 0; i < kStampCacheEntries; ++i) slot[i] = TransformStampCached(*f.cache, *stamp, Box(i + 1, 1));
  // Filled in order: key i is 256 - i uses old.
  for (int i = 0; i < kStampCacheEntries; ++i) ASSERT_EQ(slot[i]->age, kStampCacheEntries - i) << i;

  // A hit on the oldest makes it newest; the others that were newer age by one.
  EXPECT_EQ(TransformStampCached(*f.cache, *stamp, Box(1, 1)), slot[0]);
  EXPECT_EQ(slot[0]->age, 1);
  EXPECT_EQ(slot[1]->age, 256);
  EXPECT_EQ(slot[255]->age, 2);

  // A new key replaces key 1, now the oldest.
  const TransformedStamp* fresh = TransformStampCached(*f.cache, *stamp, Box(300, 1));
  EXPECT_EQ(fresh, slot[1]);
  EXPECT_EQ(fresh->width, 300);
  EXPECT_EQ(fresh->age, 1);
  EXPECT_EQ(slot[0]->age, 2);
  EXPECT_EQ(slot[2]->age, 256);
  const int64_t misses = f.cache->misses;
  EXPECT_EQ(TransformStampCached(*f.cache, *stamp, Box(1, 1)), slot[0]);   // still cached
  EXPECT_EQ(f.cache->misses, misses);
  TransformStampCached(*f.cache, *stamp, Box(2, 1));                       // key 1 is gone
  EXPECT_EQ(f.cache->misses, misses + 1);

  // Ages stay a permutation of 1..256.
  std::vector<int> seen(kStampCacheEntries + 1, 0);
  for (const TransformedStamp& e : f.cache->entries) ++seen[e.age];
  for (int a = 1; a <= kStampCacheEntries; ++a) EXPECT_EQ(seen[a], 1) << a;
}
