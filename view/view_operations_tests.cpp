#include "view/view_operations.h"

#include <gtest/gtest.h>

#include <limits>

#include "view/view_mapping.h"
#include "view/view_test_support.h"

namespace {

// An 800 x 600 canvas in a 400 x 300 client area at scale 1.
struct ViewOperations : testing::Test {
  TestView t{800, 600};
  CanvasView& view = t.view;
  void SetUp() override { t.RecordHooks(); }
  void Centre(int x, int y) {
    view.centreX = x;
    view.centreY = y;
    UpdateViewOrigin(view);
  }
};

}  // namespace

TEST(NormaliseRotation, KeepsAnglesInZeroTo360) {
  EXPECT_EQ(NormaliseRotation(-30.0f), 330.0f);
  EXPECT_EQ(NormaliseRotation(725.5f), 5.5f);
  EXPECT_EQ(NormaliseRotation(-0.5f), 359.5f);   // i = 0: f + 360
  EXPECT_EQ(NormaliseRotation(-360.0f), 360.0f); // i mod 360 = 0 and negative: f + 360
  EXPECT_EQ(NormaliseRotation(360.0f), 0.0f);
  EXPECT_EQ(NormaliseRotation(-390.5f), 329.5f); // -30 + 360 = 330, plus f = -0.5
  EXPECT_EQ(NormaliseRotation(15.0f), 15.0f);
}

TEST_F(ViewOperations, RotationKeepsTheCentredCanvasPoint) {
  Centre(500, 200);  // straight at scale 1: canvas (500, 200)
  SetViewRotation(view, 90.0f);
  // At 90 degrees dx = 100, dy = -100: rx = dy = -100, ry = -dx = -100; box 600 x 800, so the
  // view point is (-100 + 300, -100 + 400) = (200, 300).
  EXPECT_EQ(view.rotation, 90.0f);
  EXPECT_EQ(view.centreX, 200);
  EXPECT_EQ(view.centreY, 300);
  EXPECT_EQ(view.originX, 0);      // 400 / 2 - 200
  EXPECT_EQ(view.originY, -150);   // 300 / 2 - 300
  EXPECT_EQ(ViewToCanvas(view, 200, 300), (ViewPoint{500, 200}));
  EXPECT_EQ(t.calls.recomposed, 1);
  ASSERT_FALSE(t.calls.rendered.empty());
  EXPECT_EQ(t.calls.rendered.back(), (PixelRect{0, 0, 400, 300}));
}

TEST_F(ViewOperations, RotationIgnoresNonNumbers) {
  SetViewRotation(view, std::numeric_limits<float>::quiet_NaN());
  EXPECT_EQ(view.rotation, 0.0f);
  EXPECT_EQ(t.calls.recomposed, 0);
}

TEST_F(ViewOperations, ScaleKeepsTheCentreAndRecomposesOnlyWhenReduced) {
  view.scale = 8.0f;
  Centre(50, 40);
  SetViewScale(view, 4.0f);
  // centre = trunc(50 * 8 * (1/4)) = 100, trunc(40 * 8 / 4) = 80.
  EXPECT_EQ(view.centreX, 100);
  EXPECT_EQ(view.centreY, 80);
  EXPECT_EQ(view.originX, 100);
  EXPECT_EQ(view.originY, 70);
  EXPECT_EQ(view.samplerKind, kSamplerReducing);
  EXPECT_EQ(t.calls.recomposed, 1);

  view.scale = 1.0f;
  SetViewScale(view, 0.5f);  // both at or below d = 1: the canvas-resolution image still fits
  EXPECT_EQ(t.calls.recomposed, 1);
  EXPECT_EQ(view.samplerKind, kSamplerNearest);
  SetViewScale(view, 2.0f);
  EXPECT_EQ(t.calls.recomposed, 2);

  SetViewScale(view, 100.0f);
  EXPECT_EQ(view.scale, kMaxViewScale);
}

TEST_F(ViewOperations, ScaleMultipliesTheCentreByTheOldScaleFirst) {
  // (centre * old) * (1 / new): 5 * 5 = 25, and 25 * 0.16f = 3.99999991 rounds to 4.0f.
  // Taking old * (1 / new) first would round 0.8 down to 0.79999995 and give 3.
  view.scale = 5.0f;
  Centre(5, 10);
  SetViewScale(view, 6.25f);
  EXPECT_EQ(view.centreX, 4);
  EXPECT_EQ(view.centreY, 8);
}

TEST_F(ViewOperations, ScrollMovesTheOriginAndRendersTheUncoveredStrips) {
  Centre(200, 150);
  ScrollViewBy(view, 10, -5);
  EXPECT_EQ(view.originX, -10);
  EXPECT_EQ(view.originY, 5);
  EXPECT_EQ(view.centreX, 210);
  EXPECT_EQ(view.centreY, 145);
  // dy < 0: the top strip 5 rows high first; dx > 0: then the right strip 10 columns wide.
  ASSERT_EQ(t.calls.rendered.size(), 2u);
  EXPECT_EQ(t.calls.rendered[0], (PixelRect{0, 0, 400, 5}));
  EXPECT_EQ(t.calls.rendered[1], (PixelRect{390, 0, 400, 300}));
}

TEST_F(ViewOperations, MirrorTwiceReturnsToTheSameCentre) {
  Centre(300, 200);
  ToggleViewMirror(view);
  // Canvas (300, 200) mirrored is shown at x = 800 - 300 = 500.
  EXPECT_EQ(view.mirrored, 1);
  EXPECT_EQ(view.centreX, 500);
  EXPECT_EQ(view.centreY, 200);
  ToggleViewMirror(view);
  EXPECT_EQ(view.mirrored, 0);
  EXPECT_EQ(view.centreX, 300);
  EXPECT_EQ(view.centreY, 200);
  EXPECT_EQ(t.calls.recomposed, 2);
}

TEST_F(ViewOperations, ResetGoesStraightAtPrintSizeAndCentres) {
  int32_t screenDpi = 96, printDpi = 600;
  view.settings.screenDpi = &screenDpi;
  view.settings.printDpi = &printDpi;
  view.rotation = 30.0f;
  view.mirrored = 1;
  ResetView(view);
  // 600 / 96 = 6.25; the image is 800 / 6.25 = 128 by 600 / 6.25 = 96, centred at (64, 48).
  EXPECT_EQ(view.rotation, 0.0f);
  EXPECT_EQ(view.mirrored, 0);
  EXPECT_EQ(view.scale, 6.25f);
  EXPECT_EQ(view.centreX, 64);
  EXPECT_EQ(view.centreY, 48);
  EXPECT_EQ(view.originX, 200 - 64);
  EXPECT_EQ(view.originY, 150 - 48);
}

TEST_F(ViewOperations, ResetRecomposesAStraightenedViewEvenAtTheSameScale) {
  // 300 / 600 = 0.5 clamps to 1: the scale stays 1 (not above d), yet the picture was turned.
  int32_t screenDpi = 600, printDpi = 300;
  view.settings.screenDpi = &screenDpi;
  view.settings.printDpi = &printDpi;
  view.rotation = 30.0f;
  ResetView(view);
  EXPECT_EQ(view.scale, 1.0f);
  EXPECT_EQ(t.calls.recomposed, 1);
}

TEST_F(ViewOperations, ResizeKeepsTheCentre) {
  Centre(120, 80);
  t.calls.rendered.clear();
  EXPECT_TRUE(ResizeView(view, 400, 300));
  EXPECT_TRUE(t.calls.rendered.empty());  // same size: nothing happens

  EXPECT_TRUE(ResizeView(view, 500, 401));
  EXPECT_EQ(view.originX, 250 - 120);
  EXPECT_EQ(view.originY, 200 - 80);
  EXPECT_EQ(t.calls.rendered.back(), (PixelRect{0, 0, 500, 401}));

  view.hooks.resizeBackBuffer = [](CanvasView&, int32_t, int32_t) { return false; };
  EXPECT_FALSE(ResizeView(view, 640, 480));
  EXPECT_EQ(view.clientWidth, 500);
  EXPECT_EQ(view.originX, 130);
}
