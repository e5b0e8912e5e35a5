#include "reduce/view_samplers.h"

#include <gtest/gtest.h>

#include <cstring>

#include "reduce/nearest_picture.h"
#include "reduce/reduce_internal.h"
#include "reduce/reduce_test_support.h"

namespace {

// The composed image of a fresh whole recomposition, as comparable values.
std::vector<uint32_t> FreshReduced(ReduceView& t) {
  DibBitmap* kept = t.view.composed;
  t.view.composed = nullptr;
  EXPECT_EQ(RecomposeViewImage(t.view, {0, nullptr}), RecomposeFailure::kNone);
  std::vector<uint32_t> v = Pixels32(*t.view.composed);
  FreeDibBitmap(t.view.composed);
  t.view.composed = kept;
  return v;
}

}  // namespace

TEST(ViewSamplers, RecomposeBuildsThePictureOfTheViewKind) {
  ReduceView t(200, 100);
  ReduceEngineKind used;
  t.Set(4.0f, 0.0f, 0);
  ASSERT_EQ(RecomposeViewImage(t.view, {1, nullptr}, &used), RecomposeFailure::kNone);
  EXPECT_EQ(used, ReduceEngineKind::kPool);
  EXPECT_EQ(DibDepth(*t.view.composed), 32);
  EXPECT_EQ(DibWidth(*t.view.composed), 50);
  EXPECT_EQ(DibHeight(*t.view.composed), 25);
  EXPECT_EQ(t.view.outsideMask, nullptr);
  EXPECT_EQ(Pixel32(*t.view.composed, 10, 10), 0xFFFFFFu);  // paper
  t.Set(0.5f, 0.0f, 0);
  ASSERT_EQ(RecomposeViewImage(t.view, {1, nullptr}, &used), RecomposeFailure::kNone);
  EXPECT_EQ(used, ReduceEngineKind::kNearest);
  EXPECT_EQ(DibDepth(*t.view.composed), 8);
  EXPECT_EQ(DibWidth(*t.view.composed), 200);  // canvas resolution when magnified
  ASSERT_NE(t.view.outsideMask, nullptr);
  EXPECT_EQ(DibDepth(*t.view.outsideMask), 1);
  EXPECT_EQ(t.view.scale, 0.5f);
  t.Set(12.0f, 0.0f, 0);
  ASSERT_EQ(RecomposeViewImage(t.view, {1, nullptr}, &used), RecomposeFailure::kNone);
  EXPECT_EQ(used, ReduceEngineKind::kWide);
  // No canvas bitmap: nothing to show.
  t.canvas->bitmap = nullptr;
  EXPECT_EQ(RecomposeViewImage(t.view, {1, nullptr}), RecomposeFailure::kNoCanvas);
  EXPECT_EQ(t.view.composed, nullptr);
}

TEST(ViewSamplers, ReducingSamplerEqualsAWholeRecomposition) {
  ReduceView t(400, 300);
  DrawTestPicture(*t.bitmap, 5);
  InstallViewSamplers(t.view);
  for (float rotation : {0.0f, 30.0f}) {
    for (float scale : {2.5f, 11.0f}) {
      t.Set(scale, rotation, 0);
      ASSERT_EQ(t.view.sampler, ReducingSampler);
      ASSERT_EQ(RecomposeViewImage(t.view, {1, nullptr}), RecomposeFailure::kNone);
      // Paint a stroke across the rectangle, then update only the rectangle.
      const PixelRect dirty{101, 57, 167, 121};
      for (int y = dirty.top; y < dirty.bottom; ++y)
        for (int x = dirty.left; x < dirty.right; ++x)
          if ((x + y) % 3 != 0) t.At(x, y) = 0x3C;
      ASSERT_TRUE(t.view.sampler(t.view, *t.canvas, dirty, 1));
      EXPECT_EQ(Pixels32(*t.view.composed), FreshReduced(t)) << scale << " " << rotation;
    }
  }
}

TEST(ViewSamplers, RecomposingAtTheSameSizeReusesThePicture) {
  ReduceView t(600, 400);
  DrawTestPicture(*t.bitmap, 8);
  for (float rotation : {0.0f, 30.0f}) {
    for (float scale : {2.0f, 12.0f}) {
      t.Set(scale, rotation, 0);
      ASSERT_EQ(RecomposeViewImage(t.view, {1, nullptr}), RecomposeFailure::kNone);
      // A palette change keeps the size: the same memory, every pixel written anew.
      const uint8_t* memory = t.view.composed->bits;
      std::memset(t.view.composed->bits, 0x5A, BitmapBytes(*t.view.composed));
      t.bitmap->colours[0x7F] = {10, 200, 30, 0};
      ASSERT_EQ(RecomposeViewImage(t.view, {1, nullptr}), RecomposeFailure::kNone);
      EXPECT_EQ(t.view.composed->bits, memory) << scale << " " << rotation;
      EXPECT_EQ(Pixels32(*t.view.composed), FreshReduced(t)) << scale << " " << rotation;
      FillTestPalette(t.bitmap->colours);
    }
  }
  // Another size: a new picture of that size.
  t.Set(3.0f, 30.0f, 0);
  ASSERT_EQ(RecomposeViewImage(t.view, {1, nullptr}), RecomposeFailure::kNone);
  EXPECT_EQ(DibWidth(*t.view.composed), ReducedImageRect(t.view).right);
  EXPECT_EQ(Pixels32(*t.view.composed), FreshReduced(t));
  // A magnified view replaces it with its 8-bit picture.
  t.Set(0.5f, 30.0f, 0);
  ASSERT_EQ(RecomposeViewImage(t.view, {1, nullptr}), RecomposeFailure::kNone);
  EXPECT_EQ(DibDepth(*t.view.composed), 8);
}

TEST(ViewSamplers, NearestSamplerUpdatesPictureAndMask) {
  ReduceView t(64, 48);
  InstallViewSamplers(t.view);
  t.Set(0.25f, 30.0f, 0);
  ASSERT_EQ(t.view.sampler, NearestSampler);
  ASSERT_EQ(RecomposeViewImage(t.view, {1, nullptr}), RecomposeFailure::kNone);
  for (int y = 10; y < 20; ++y)
    for (int x = 30; x < 34; ++x) t.At(x, y) = 0x12;
  ASSERT_TRUE(t.view.sampler(t.view, *t.canvas, {30, 10, 34, 20}, 1));
  DibBitmap* mask = nullptr;
  DibPtr fresh(NearestViewPicture(t.view, *t.bitmap, &mask, 0));
  DibPtr maskOwner(mask);
  EXPECT_EQ(CanvasToHex(*t.view.composed), CanvasToHex(*fresh));
}

TEST(ViewSamplers, NearestSamplerWithoutPictureFails) {
  ReduceView t(16, 16);
  InstallViewSamplers(t.view);
  EXPECT_FALSE(t.view.sampler(t.view, *t.canvas, {0, 0, 4, 4}, 1));
}
