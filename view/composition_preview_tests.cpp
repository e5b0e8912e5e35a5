#include "view/composition_preview.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <numbers>

#include "canvas/canvas_test_support.h"
#include "view/composition.h"
#include "view/view_test_support.h"

namespace {

// A 32-bit picture whose pixel (x, y) is the number 100 * y + x, so every lookup is visible.
DibPtr NumberedPicture(int width, int height) {
  DibPtr p(CreateDibBitmap(32, nullptr, 0, width, height));
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) SetPixel(*p, x, y, static_cast<uint32_t>(100 * y + x));
  return p;
}

uint32_t Number(int x, int y) { return static_cast<uint32_t>(100 * y + x); }

}  // namespace

TEST(ZoomPreview, FactorKeepsTheReleasedScaleBetweenOneAndSixteen) {
  EXPECT_EQ(ZoomPreviewFactor(8.0f, 200.0f, 100.0f), 2.0f);
  EXPECT_EQ(ZoomPreviewFactor(8.0f, 25.0f, 100.0f), 0.5f);  // 8 / 0.25 = 32 > 16: m = 8 / 16
  EXPECT_EQ(ZoomPreviewFactor(2.0f, 400.0f, 100.0f), 2.0f); // 2 / 4 < 1: m = scale
  EXPECT_EQ(ZoomPreviewFactor(2.0f, 100.0f, 0.0f), 1.0f);   // no start distance
}

TEST(ZoomPreview, StretchesTheCentreOfTheComposedImage) {
  TestView t(16, 16, 8, 8);
  t.view.scale = 2.0f;
  DibPtr picture = NumberedPicture(8, 8);
  DibPtr screen(CreateDibBitmap(32, nullptr, 0, 8, 8));
  t.view.composed = picture.get();
  t.view.backBuffer = screen.get();
  t.view.centreX = 4;
  t.view.centreY = 4;
  // m = 2: the 4 x 4 source square from (2, 2), each source pixel twice as large.
  RenderZoomPreview(t.view, 2.0f);
  EXPECT_EQ(PixelAt(*screen, 0, 0), Number(2, 2));
  EXPECT_EQ(PixelAt(*screen, 1, 1), Number(2, 2));
  EXPECT_EQ(PixelAt(*screen, 2, 0), Number(3, 2));
  EXPECT_EQ(PixelAt(*screen, 7, 7), Number(5, 5));
  // m = 0.5: the 16 x 16 source square from (-4, -4) shrinks into the client area; the part
  // off the image stays grey.
  RenderZoomPreview(t.view, 0.5f);
  EXPECT_EQ(PixelAt(*screen, 0, 0), kSurroundPixel);  // source -4 + (1 * 16) / 16 = -3
  EXPECT_EQ(PixelAt(*screen, 2, 2), Number(1, 1));    // -4 + (5 * 16) / 16 = 1
  EXPECT_EQ(PixelAt(*screen, 7, 7), kSurroundPixel);  // -4 + 15 = 11
  t.view.composed = nullptr;
  t.view.backBuffer = nullptr;
}

TEST(ZoomPreview, MagnifiedViewsReadTheImageAtCanvasResolution) {
  TestView t(4, 4, 8, 8);
  t.view.scale = 0.5f;
  DibPtr picture = CanvasFromHex({"00 01 02 03", "04 05 06 07", "08 09 0A 0B", "0C 0D 0E 0F"});
  for (int i = 0; i < 16; ++i) picture->colours[i] = {static_cast<uint8_t>(i), 0, 0, 0};
  DibPtr mask = MaskFromText({"0000", "0000", "0000", "0001"});
  DibPtr screen(CreateDibBitmap(32, nullptr, 0, 8, 8));
  t.view.composed = picture.get();
  t.view.outsideMask = mask.get();
  t.view.backBuffer = screen.get();
  t.view.centreX = 4;  // view point (4, 4) is canvas point (2, 2)
  t.view.centreY = 4;
  // m = 1: the client's 8 x 8 view pixels times the scale are 4 x 4 canvas pixels about canvas
  // (2, 2), from (0, 0); destination i takes (2i + 1) * 4 / 16.
  RenderZoomPreview(t.view, 1.0f);
  EXPECT_EQ(PixelAt(*screen, 0, 0), 0u);
  EXPECT_EQ(PixelAt(*screen, 3, 2), 5u);
  EXPECT_EQ(PixelAt(*screen, 7, 0), 3u);
  EXPECT_EQ(PixelAt(*screen, 7, 7), kSurroundPixel);  // outside the canvas by the mask
  t.view.composed = nullptr;
  t.view.outsideMask = nullptr;
  t.view.backBuffer = nullptr;
}

TEST(RotationPreview, TurnsThePictureAboutTheCentre) {
  DibPtr picture = NumberedPicture(5, 5);
  DibPtr target(CreateDibBitmap(32, nullptr, 0, 5, 5));
  ASSERT_TRUE(RotatePicture(*target, *picture, {0.0f, 2, 2, 1.0f}));
  EXPECT_EQ(PixelAt(*target, 1, 3), Number(1, 3));
  // A quarter turn: target (i, j) shows picture (2 - (j - 2), 2 + (i - 2)) = (4 - j, i), the
  // way a view rotated by 90 degrees shows the canvas (right turns up).
  ASSERT_TRUE(RotatePicture(*target, *picture, {static_cast<float>(std::numbers::pi / 2), 2, 2, 1.0f}));
  EXPECT_EQ(PixelAt(*target, 0, 0), Number(4, 0));
  EXPECT_EQ(PixelAt(*target, 2, 0), Number(4, 2));
  EXPECT_EQ(PixelAt(*target, 4, 1), Number(3, 4));
  EXPECT_EQ(PixelAt(*target, 2, 2), Number(2, 2));
  // Turned half way about the corner, only the corner itself stays on the picture.
  ASSERT_TRUE(RotatePicture(*target, *picture, {static_cast<float>(std::numbers::pi), 0, 0, 1.0f}));
  EXPECT_EQ(PixelAt(*target, 0, 0), Number(0, 0));
  EXPECT_EQ(PixelAt(*target, 1, 0), kSurroundPixel);
  EXPECT_EQ(PixelAt(*target, 4, 4), kSurroundPixel);
  // Zoom 2 about (2, 2): target (4, 4) shows picture (3, 3).
  ASSERT_TRUE(RotatePicture(*target, *picture, {0.0f, 2, 2, 2.0f}));
  EXPECT_EQ(PixelAt(*target, 4, 4), Number(3, 3));
  EXPECT_EQ(PixelAt(*target, 0, 0), Number(1, 1));
}

// Each target pixel checked on its own against the nearest picture pixel under its centre
// (16.16 steps as the request gives them): the frame only copies the stretch of each row that
// falls on the picture, and that stretch must be exactly the pixels whose source is inside.
TEST(RotationPreview, EveryPixelTakesTheNearestPictureSampleOrTheSurround) {
  DibPtr picture = NumberedPicture(29, 31);
  DibPtr target(CreateDibBitmap(32, nullptr, 0, 37, 23));
  const RotationPreviewRequest requests[] = {
      {0.0f, 18, 11, 1.0f},  {0.3f, 18, 11, 1.0f},   {static_cast<float>(std::numbers::pi / 2), 0, 0, 1.0f},
      {2.5f, 30, -5, 0.37f}, {-1.1f, 5, 20, 3.0f},   {static_cast<float>(std::numbers::pi), 40, 40, 1.0f},
      {0.7f, -60, 9, 0.125f}, {-2.9f, 14, 15, 8.0f},
  };
  for (const RotationPreviewRequest& r : requests) {
    ASSERT_TRUE(RotatePicture(*target, *picture, r));
    const int64_t cosF = std::llround(std::cos(double{r.angle}) / r.zoom * 65536.0);
    const int64_t sinF = std::llround(std::sin(double{r.angle}) / r.zoom * 65536.0);
    for (int j = 0; j < 23; ++j) {
      for (int i = 0; i < 37; ++i) {
        const int64_t di = i - r.centreX, dj = j - r.centreY;
        const int64_t sx = ((int64_t{r.centreX} << 16) + di * cosF - dj * sinF + 0x8000) >> 16;
        const int64_t sy = ((int64_t{r.centreY} << 16) + di * sinF + dj * cosF + 0x8000) >> 16;
        const bool inside = sx >= 0 && sx < 29 && sy >= 0 && sy < 31;
        ASSERT_EQ(PixelAt(*target, i, j), inside ? Number(static_cast<int>(sx), static_cast<int>(sy)) : kSurroundPixel)
            << "angle " << r.angle << " zoom " << r.zoom << " at " << i << ", " << j;
      }
    }
  }
  // Damaged requests draw the surround or the picture, and stay inside both bitmaps.
  for (const RotationPreviewRequest& r : {RotationPreviewRequest{NAN, 3, 3, 1.0f}, {1.0f, 3, 3, 1e-30f},
                                          {1.0f, INT32_MAX, INT32_MIN, 1e30f}, {INFINITY, 0, 0, -1.0f}})
    EXPECT_TRUE(RotatePicture(*target, *picture, r));
}

TEST(RotationPreview, RendersIntoTheBackBufferAndDropsRepeats) {
  TestView t(5, 5, 5, 5);
  DibPtr picture = NumberedPicture(5, 5);
  DibPtr screen(CreateDibBitmap(32, nullptr, 0, 5, 5));
  t.view.backBuffer = screen.get();
  const RotationPreviewRequest request{static_cast<float>(std::numbers::pi / 2), 2, 2, 1.0f};
  EXPECT_TRUE(RenderRotationPreview(t.view, *picture, request));
  EXPECT_EQ(PixelAt(*screen, 0, 0), Number(4, 0));
  // The back buffer cannot turn itself: it would read pixels it has already written.
  const uint32_t before = PixelAt(*screen, 1, 0);
  EXPECT_FALSE(RenderRotationPreview(t.view, *screen, request));
  EXPECT_EQ(PixelAt(*screen, 1, 0), before);
  EXPECT_TRUE(SameRotationRequest({request.angle, 0, 0, 1.0f}, request));
  EXPECT_FALSE(SameRotationRequest({request.angle, 2, 2, 1.5f}, request));
  t.view.backBuffer = nullptr;
}
