#include "reduce/reduce.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

#include "reduce/linear_light.h"
#include "reduce/reduce_internal.h"
#include "reduce/reduce_test_support.h"
#include "reduce/thread_pool.h"

namespace {

struct EngineCase {
  const char* name;
  ReduceEngine engine;
};
const EngineCase kEngines[] = {{"pool", ReducePool}, {"wide", ReduceWide}, {"strips", ReduceStrips}};

// Straight from the rules: every canvas pixel's 16.16 position from the stepping record, wide
// sums, the divide. No runs, tiles, bands or pair table.
std::vector<uint32_t> Reference(const CanvasView& view, const DibBitmap& canvas, const PixelRect& source,
                                uint32_t background) {
  ReduceStepping s;
  if (!ComputeReduceStepping(view, source, s)) return {};
  const int w = s.destination.right - s.destination.left, h = s.destination.bottom - s.destination.top;
  std::vector<WideAccumulator> acc(static_cast<size_t>(w) * h, WideAccumulator{0, 0, 0, 0});
  WideIncrement inc[kDibColourCount];
  BuildWideIncrements(canvas.colours, inc);
  for (int y = s.source.top; y < s.source.bottom; ++y) {
    for (int x = s.source.left; x < s.source.right; ++x) {
      const int64_t dx = x - s.source.left, dy = y - s.source.top;
      const int64_t cx = (s.startX + dx * s.colX + dy * s.rowX) >> 16;
      const int64_t cy = (s.startY + dx * s.colY + dy * s.rowY) >> 16;
      if (cx < 0 || cy < 0 || cx >= w || cy >= h) continue;
      WideAccumulator& a = acc[static_cast<size_t>(cy * w + cx)];
      const WideIncrement& i = inc[DibRow(canvas, y)[x]];
      a.red += i.red;
      a.green += i.green;
      a.blue += i.blue;
      a.count += 1;
    }
  }
  const DivideContext c = MakeDivideContext(background);
  std::vector<uint32_t> out;
  for (const WideAccumulator& a : acc) out.push_back(DivideWide(c, a));
  return out;
}

}  // namespace

TEST(ReduceChoice, EngineByScaleRotationGpuAndSize) {
  const int64_t a4 = 4961LL * 7016;
  EXPECT_EQ(ChooseReduceEngine(1.0f, 0.0f, false, a4), ReduceEngineKind::kNearest);  // s = 1 <= |sin| + |cos|
  EXPECT_EQ(ChooseReduceEngine(0.25f, 0.0f, true, a4), ReduceEngineKind::kNearest);
  // At 45 degrees d = sqrt 2: the averaging engines start only above it.
  const float root2 = std::sqrt(2.0f);
  EXPECT_EQ(ChooseReduceEngine(std::nextafter(root2, 2.0f), 45.0f, false, a4), ReduceEngineKind::kPool);
  EXPECT_EQ(ChooseReduceEngine(std::nextafter(root2, 1.0f), 45.0f, false, a4), ReduceEngineKind::kNearest);
  EXPECT_EQ(ChooseReduceEngine(1.2f, 0.0f, false, a4), ReduceEngineKind::kPool);
  // f = 10 still packs; just above it the wide engine runs even with the GPU ready.
  EXPECT_EQ(ChooseReduceEngine(10.0f, 0.0f, true, a4), ReduceEngineKind::kGpu);
  EXPECT_EQ(ChooseReduceEngine(std::nextafter(10.0f, 11.0f), 0.0f, true, a4), ReduceEngineKind::kWide);
  EXPECT_EQ(ChooseReduceEngine(7.2f, 45.0f, true, a4), ReduceEngineKind::kWide);  // f = 10.18
  EXPECT_EQ(ChooseReduceEngine(4.0f, 0.0f, false, 40000000), ReduceEngineKind::kPool);
  EXPECT_EQ(ChooseReduceEngine(4.0f, 0.0f, false, 40000001), ReduceEngineKind::kStrips);
  EXPECT_EQ(ReduceEngineFor(ReduceEngineKind::kGpu, nullptr), ReducePool);
  EXPECT_EQ(ReduceEngineFor(ReduceEngineKind::kNearest, nullptr), nullptr);
}

TEST(ReduceGeometry, StraightScaleEight) {
  ReduceView t(4961, 16);
  t.Set(8.0f, 0.0f, 0);
  // ceil(4961 / 8) = 621, 16 / 8 = 2.
  EXPECT_EQ(ReducedImageRect(t.view), (PixelRect{0, 0, 621, 2}));
  ReduceStepping s;
  ASSERT_TRUE(ComputeReduceStepping(t.view, {0, 0, 4961, 16}, s));
  // Pixel centre 0.5 / 8 = 1/16 of a view pixel = 4096; one column = 1/8 = 8192.
  EXPECT_EQ(s.startX, 4096);
  EXPECT_EQ(s.startY, 4096);
  EXPECT_EQ(s.colX, 8192);
  EXPECT_EQ(s.rowY, 8192);
  EXPECT_EQ(s.colY, 0);
  EXPECT_EQ(s.rowX, 0);
  // A part of the canvas: canvas x 100..164 covers view 12.5..20.5, i.e. pixels 12..20; the
  // start stays anchored at canvas (0, 0): (100.5 / 8 - 12) * 65536 = 36864.
  ASSERT_TRUE(ComputeReduceStepping(t.view, {100, 0, 164, 8}, s));
  EXPECT_EQ(s.destination, (PixelRect{12, 0, 21, 1}));
  EXPECT_EQ(s.startX, 36864);
  EXPECT_FALSE(ComputeReduceStepping(t.view, {5000, 0, 5100, 8}, s));  // off the canvas
}

TEST(ReduceEngines, AlternatingBlackAndWhiteAverageInLinearLight) {
  // Columns alternate black (0) and white (0xFF): a 2:1 reduction gives the linear mean,
  // trunc(FastPow(0.5) * 255 + 0.5) = 186 per channel, not 128.
  ReduceView t(8, 4);
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 8; x += 2) t.At(x, y) = 0;
  t.Set(2.0f, 0.0f, 0);
  for (const EngineCase& e : kEngines) {
    for (int threaded : {0, 1}) {
      DibPtr out(e.engine(t.view, *t.bitmap, {0, 0, 8, 4}, kReduceBackground, threaded));
      ASSERT_TRUE(out) << e.name;
      ASSERT_EQ(DibWidth(*out), 4);
      ASSERT_EQ(DibHeight(*out), 2);
      for (uint32_t p : Pixels32(*out)) EXPECT_EQ(p, 0xBABABAu) << e.name;
      EXPECT_EQ(DibRow(*out, 0)[0], 186);  // blue byte first
    }
  }
}

TEST(ReduceEngines, UnreachedPixelsAreBackgroundGrey) {
  // Rotated 30 degrees, the corners of the bounding box lie off the canvas.
  ReduceView t(64, 48, 0x00);
  for (float scale : {2.0f, 12.0f}) {
    t.Set(scale, 30.0f, 0);
    for (const EngineCase& e : kEngines) {
      DibPtr out(e.engine(t.view, *t.bitmap, {0, 0, 64, 48}, kReduceBackground, 1));
      ASSERT_TRUE(out) << e.name;
      const int w = DibWidth(*out), h = DibHeight(*out);
      EXPECT_EQ(Pixel32(*out, 0, 0), 0xC0C0C0u) << e.name << " " << scale;
      EXPECT_EQ(Pixel32(*out, w - 1, 0), 0xC0C0C0u) << e.name;
      EXPECT_EQ(Pixel32(*out, 0, h - 1), 0xC0C0C0u) << e.name;
      EXPECT_EQ(Pixel32(*out, w - 1, h - 1), 0xC0C0C0u) << e.name;
      EXPECT_EQ(Pixel32(*out, w / 2, h / 2), 0u) << e.name;  // the black canvas
    }
  }
}

TEST(ReduceEngines, MirrorPutsTheFirstColumnOnTheRight) {
  ReduceView t(16, 4);
  for (int y = 0; y < 4; ++y) t.At(0, y) = 0;
  t.Set(2.0f, 0.0f, 1);
  DibPtr out(ReducePool(t.view, *t.bitmap, {0, 0, 16, 4}, kReduceBackground, 0));
  ASSERT_TRUE(out);
  // Canvas columns 0 and 1 (black, white) land in view column 7.
  EXPECT_EQ(Pixel32(*out, 7, 0), 0xBABABAu);
  EXPECT_EQ(Pixel32(*out, 0, 0), 0xFFFFFFu);
}

TEST(ReduceEngines, EveryEngineAndSplitGivesTheSamePicture) {
  // Large enough for the parallel paths: destinations of 128 x 128 (pool) and 256 x 256 (wide).
  // Scales 2, 4 and 8 give the whole-word paths at 0 and 180 degrees, 1.5 the general one.
  ReduceView t(1030, 1030);
  DrawTestPicture(*t.bitmap);
  const PixelRect all{0, 0, 1030, 1030};
  for (float rotation : {0.0f, 30.0f, 90.0f, 180.0f, 250.0f}) {
    for (int mirrored : {0, 1}) {
      for (float scale : {1.5f, 2.0f, 4.0f, 8.0f}) {
        t.Set(scale, rotation, mirrored);
        if (ChooseReduceEngine(scale, rotation, false, 1030 * 1030) == ReduceEngineKind::kNearest) continue;
        const std::vector<uint32_t> expected = Reference(t.view, *t.bitmap, all, kReduceBackground);
        for (const EngineCase& e : kEngines) {
          for (int threaded : {0, 1}) {
            DibPtr out(e.engine(t.view, *t.bitmap, all, kReduceBackground, threaded));
            ASSERT_TRUE(out);
            EXPECT_EQ(Pixels32(*out), expected)
                << e.name << " threaded " << threaded << " scale " << scale << " rotation " << rotation
                << " mirrored " << mirrored;
          }
        }
      }
    }
  }
}

TEST(ReduceEngines, WideEngineBandsAddEverySample) {
  // f > 10 with a destination of 256 x 256 and more: the banded count on worker threads.
  ReduceView t(3000, 3000);
  DrawTestPicture(*t.bitmap, 777);
  const PixelRect all{0, 0, 3000, 3000};
  for (float rotation : {0.0f, 33.0f, 180.0f}) {
    t.Set(11.0f, rotation, 0);
    const std::vector<uint32_t> expected = Reference(t.view, *t.bitmap, all, kReduceBackground);
    DibPtr threaded(ReduceWide(t.view, *t.bitmap, all, kReduceBackground, 1));
    DibPtr single(ReduceWide(t.view, *t.bitmap, all, kReduceBackground, 0));
    ASSERT_TRUE(threaded && single);
    EXPECT_GE(DibWidth(*threaded), 256);
    EXPECT_EQ(Pixels32(*threaded), expected) << rotation;
    EXPECT_EQ(Pixels32(*single), expected) << rotation;
    // The pool engine hands such reductions to the wide accumulators instead of overflowing.
    DibPtr pool(ReducePool(t.view, *t.bitmap, all, kReduceBackground, 1));
    EXPECT_EQ(Pixels32(*pool), expected) << rotation;
  }
}

TEST(ReduceEngines, SixteenToOneInWideAccumulators) {
  // Runs and blocks of 16 pixels: the blocks are cut at 7 rows so a packed block sum stays
  // below 128 samples.
  ReduceView t(700, 500);
  DrawTestPicture(*t.bitmap, 31);
  for (int mirrored : {0, 1}) {
    t.Set(16.0f, 0.0f, mirrored);
    DibPtr out(ReduceWide(t.view, *t.bitmap, {0, 0, 700, 500}, kReduceBackground, 1));
    ASSERT_TRUE(out);
    EXPECT_EQ(Pixels32(*out), Reference(t.view, *t.bitmap, {0, 0, 700, 500}, kReduceBackground));
  }
}

TEST(ReduceEngines, PartOfTheCanvasMatchesTheWholeWhereComplete) {
  // ReduceIntoImage completes the edge pixels of a partial rectangle from the canvas around it,
  // so writing a part into the whole picture changes nothing: straight and turned, packed
  // (scale 2.5, and 6, which turned counts by crossings) and wide (scale 12, crossings in
  // 21-bit sums when turned) sums.
  ReduceView t(300, 200);
  DrawTestPicture(*t.bitmap, 99);
  struct PartCase {
    EngineCase engine;
    float scale;
  };
  for (const PartCase& c : {PartCase{{"pool", ReducePool}, 2.5f}, PartCase{{"pool", ReducePool}, 6.0f},
                            PartCase{{"wide", ReduceWide}, 12.0f}}) {
    const EngineCase& e = c.engine;
    const float scale = c.scale;
    for (float rotation : {0.0f, 30.0f}) {
      t.Set(scale, rotation, 1);
      DibPtr whole(e.engine(t.view, *t.bitmap, {0, 0, 300, 200}, kReduceBackground, 0));
      ASSERT_TRUE(whole);
      const std::vector<uint32_t> before = Pixels32(*whole);
      for (const PixelRect& part : {PixelRect{17, 23, 61, 90}, PixelRect{0, 0, 1, 1}, PixelRect{250, 150, 400, 400}}) {
        EXPECT_TRUE(ReduceIntoImage(t.view, *t.bitmap, part, kReduceBackground, 1, e.engine, *whole));
        EXPECT_EQ(Pixels32(*whole), before) << e.name << " " << scale << " " << rotation;
      }
    }
  }
}

TEST(ReduceEngines, TurnedBandsAddEverySampleOnce) {
  // Turned views count bands of 64 destination rows, each source row's stretch that lands in
  // the band: pixel by pixel at small reductions, by cell crossings from cells of about three
  // pixels along a row on. The cases: pixels crossing both cell boundaries at once (45
  // degrees, by pixels at 3, by crossings at 7.3 and 8), one axis that never moves along a row
  // (90 by pixels, 270 by crossings), runs cut at 64 pixels in wide sums (scale 90 at half a
  // degree: runs of about 90 pixels, too many samples a cell for crossings), steps of a whole
  // cell or more (scale 0.75, which only a direct call asks for), packed sums added pixel by
  // pixel (scales 1.5 to 3), the wide engine in packed sums (1/8 at 30 degrees), crossings in
  // 21-bit sums (1/16 at 30 degrees, 1/19 at 10: up to 480 samples a cell), pictures of
  // many bands, and a destination over 32,768 pixels wide, too wide for the 32-bit positions
  // of indexed short runs (20000 x 4 at 0.6 and a tenth of a degree: 33,328 x 65).
  struct Case {
    int width, height;
    float scale, rotation;
    int mirrored;
  };
  const Case cases[] = {{900, 700, 3.0f, 45.0f, 1}, {900, 700, 7.3f, 45.0f, 0},  {500, 300, 2.0f, 90.0f, 0},
                        {500, 300, 5.0f, 270.0f, 1}, {1500, 1200, 90.0f, 0.5f, 0}, {301, 203, 0.75f, 30.0f, 1},
                        {1100, 900, 16.0f, 30.0f, 0}, {1100, 900, 1.5f, 359.0f, 1}, {1100, 900, 8.0f, 30.0f, 1},
                        {900, 700, 8.0f, 45.0f, 1},   {1300, 1000, 19.0f, 10.0f, 1}, {20000, 4, 0.6f, 0.1f, 0}};
  for (const Case& c : cases) {
    ReduceView t(c.width, c.height);
    DrawTestPicture(*t.bitmap, 2024);
    t.Set(c.scale, c.rotation, c.mirrored);
    const PixelRect all{0, 0, c.width, c.height};
    const std::vector<uint32_t> expected = Reference(t.view, *t.bitmap, all, kReduceBackground);
    ASSERT_FALSE(expected.empty());
    for (const EngineCase& e : kEngines) {
      for (int threaded : {0, 1}) {
        DibPtr out(e.engine(t.view, *t.bitmap, all, kReduceBackground, threaded));
        ASSERT_TRUE(out) << e.name;
        EXPECT_EQ(Pixels32(*out), expected) << e.name << " threaded " << threaded << " scale " << c.scale
                                            << " rotation " << c.rotation << " mirrored " << c.mirrored;
      }
    }
  }
}

TEST(ReduceEngines, LargePicturesEqualTheReference) {
  // A 2900 x 2900 canvas at scale 2: the 1450 x 1450 picture (8.4 MB) is big enough to be put
  // on large pages, and at 40 degrees its box is 2043 rows high, many tiles in every pass.
  ReduceView t(2900, 2900);
  DrawTestPicture(*t.bitmap, 4242);
  const PixelRect all{0, 0, 2900, 2900};
  for (float rotation : {0.0f, 40.0f}) {
    t.Set(2.0f, rotation, 0);
    const std::vector<uint32_t> expected = Reference(t.view, *t.bitmap, all, kReduceBackground);
    for (int threaded : {0, 1}) {
      DibPtr out(ReducePool(t.view, *t.bitmap, all, kReduceBackground, threaded));
      ASSERT_TRUE(out);
      EXPECT_GE(BitmapBytes(*out), kLargePagesFrom);
      if (rotation != 0.0f) {
        EXPECT_EQ(DibHeight(*out), 2043);
      }
      EXPECT_EQ(Pixels32(*out), expected) << rotation << " threaded " << threaded;
    }
  }
}

TEST(ReduceEngines, PackedSumsFitOnlyWhereNoPixelGetsMoreThan127Samples) {
  // Every turned view the bound lets through, its samples counted pixel by pixel.
  ReduceView t(300, 300);
  int fitting = 0;
  for (float scale = 6.0f; scale <= 12.0f; scale += 0.25f) {
    for (float rotation : {0.5f, 7.0f, 30.0f, 44.0f, 45.0f, 61.0f, 89.5f, 120.0f, 210.0f}) {
      for (int mirrored : {0, 1}) {
        t.Set(scale, rotation, mirrored);
        ReduceStepping s;
        ASSERT_TRUE(ComputeReduceStepping(t.view, {0, 0, 300, 300}, s));
        if (!PackedSumsFit(s)) continue;
        ++fitting;
        const int w = s.destination.right - s.destination.left, h = s.destination.bottom - s.destination.top;
        std::vector<int> samples(static_cast<size_t>(w) * h, 0);
        for (int64_t dy = 0; dy < 300; ++dy) {
          for (int64_t dx = 0; dx < 300; ++dx) {
            const int64_t x = (s.startX + dx * s.colX + dy * s.rowX) >> 16, y = (s.startY + dx * s.colY + dy * s.rowY) >> 16;
            if (x >= 0 && y >= 0 && x < w && y < h) ++samples[static_cast<size_t>(y * w + x)];
          }
        }
        EXPECT_LE(*std::max_element(samples.begin(), samples.end()), kPackedMaxCount)
            << scale << " " << rotation << " " << mirrored;
      }
    }
  }
  EXPECT_GT(fitting, 50);
  // The same bound for crossings in 21-bit sums: at most 511 samples.
  int wideFitting = 0;
  for (float scale = 12.0f; scale <= 24.0f; scale += 1.5f) {
    for (float rotation : {0.5f, 10.0f, 30.0f, 45.0f, 77.0f}) {
      t.Set(scale, rotation, 0);
      ReduceStepping s;
      ASSERT_TRUE(ComputeReduceStepping(t.view, {0, 0, 300, 300}, s));
      if (MostSamplesPerCell(s) > kWideLanesMaxCount) continue;
      ++wideFitting;
      const int w = s.destination.right - s.destination.left, h = s.destination.bottom - s.destination.top;
      std::vector<int> samples(static_cast<size_t>(w) * h, 0);
      for (int64_t dy = 0; dy < 300; ++dy) {
        for (int64_t dx = 0; dx < 300; ++dx) {
          const int64_t x = (s.startX + dx * s.colX + dy * s.rowX) >> 16, y = (s.startY + dx * s.colY + dy * s.rowY) >> 16;
          if (x >= 0 && y >= 0 && x < w && y < h) ++samples[static_cast<size_t>(y * w + x)];
        }
      }
      EXPECT_LE(*std::max_element(samples.begin(), samples.end()), kWideLanesMaxCount) << scale << " " << rotation;
    }
  }
  EXPECT_GT(wideFitting, 20);
  // 1/8 at 30 degrees (f = 10.9, the wide engine) counts in packed sums.
  t.Set(8.0f, 30.0f, 0);
  ReduceStepping s;
  ASSERT_TRUE(ComputeReduceStepping(t.view, {0, 0, 300, 300}, s));
  EXPECT_TRUE(PackedSumsFit(s));
  t.Set(8.0f, 0.0f, 0);
  ASSERT_TRUE(ComputeReduceStepping(t.view, {0, 0, 300, 300}, s));
  EXPECT_FALSE(PackedSumsFit(s));
}

TEST(ReduceEngines, RefusesCanvasOfAnotherSize) {
  ReduceView t(40, 40);
  t.Set(2.0f, 0.0f, 0);
  DibPtr other(CreateDibBitmap(8, nullptr, 0, 20, 40));
  EXPECT_EQ(ReducePool(t.view, *other, {0, 0, 40, 40}, kReduceBackground, 0), nullptr);
  EXPECT_EQ(ReduceWide(t.view, *t.bitmap, {50, 50, 60, 60}, kReduceBackground, 0), nullptr);
}

TEST(ThreadPool, RunsEveryItemOnce) {
  std::vector<int> hits(1000, 0);
  RunPoolBatch(1000, [](void* c, int i) { ++(*static_cast<std::vector<int>*>(c))[static_cast<size_t>(i)]; },
               &hits);
  for (int h : hits) ASSERT_EQ(h, 1);
  EXPECT_GE(PoolThreadCount(), 1);
}
