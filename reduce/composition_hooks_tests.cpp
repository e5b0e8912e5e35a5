#include "reduce/composition_hooks.h"

#include <gtest/gtest.h>

#include <cstring>

#include "canvas/canvas_test_support.h"
#include "view/composition.h"
#include "view/view_operations.h"
#include "view/view_test_support.h"

namespace {

// A view of a canvas given as hex rows; index 0x00 is black, every other index white.
struct HookedView {
  TestView t;
  DibPtr bitmap;
  explicit HookedView(const std::vector<std::string>& rows)
      : t(static_cast<int>((rows[0].size() + 1) / 3), static_cast<int>(rows.size())) {
    bitmap = CanvasFromHex(rows);
    for (int i = 1; i < kDibColourCount; ++i) bitmap->colours[i] = {255, 255, 255, 0};
    t.canvas->bitmap = bitmap.get();
    InstallCompositionHooks(t.view);
  }
  ~HookedView() {
    FreeDibBitmap(t.view.composed);
    FreeDibBitmap(t.view.outsideMask);
    t.canvas->bitmap = nullptr;
  }
  bool Recompose() {
    RecomposeOptions options{};
    options.threaded = 1;
    return RecomposeView(t.view, options, nullptr) == RecomposeFailure::kNone;
  }
  // The whole picture of the view as set: sampler chosen, recomposed once, rendered.
  DibPtr Render() {
    ChooseSampler(t.view);
    EXPECT_TRUE(Recompose());
    return DibPtr(RenderWholePicture(t.view));
  }
};

}  // namespace

TEST(WholePicture, RotatedAtOneToOneHasGreyCorners) {
  // A 40 x 30 black canvas at 30 degrees: the bounding box's corners lie off the canvas.
  std::string row = "00";
  for (int x = 1; x < 40; ++x) row += " 00";
  HookedView v(std::vector<std::string>(30, row));
  v.t.view.rotation = 30.0f;
  DibPtr picture = v.Render();
  ASSERT_TRUE(picture);
  const int w = DibWidth(*picture), h = DibHeight(*picture);
  // BW = 40 cos 30 + 30 sin 30 = 49.6, BH = 40 sin 30 + 30 cos 30 = 46.0 (one view pixel per
  // canvas pixel at scale 1).
  EXPECT_EQ(w, 50);
  EXPECT_EQ(h, 46);
  EXPECT_EQ(PixelAt(*picture, 0, 0), kSurroundPixel);
  EXPECT_EQ(PixelAt(*picture, w - 1, 0), kSurroundPixel);
  EXPECT_EQ(PixelAt(*picture, 0, h - 1), kSurroundPixel);
  EXPECT_EQ(PixelAt(*picture, w - 1, h - 1), kSurroundPixel);
  EXPECT_EQ(PixelAt(*picture, w / 2, h / 2), kBlack);
}

TEST(WholePicture, MagnifiedViewsAreBlocksOfCanvasPixels) {
  HookedView v({"00 FF 00", "FF FF 00"});
  v.t.view.scale = 0.25f;
  DibPtr picture = v.Render();
  ASSERT_TRUE(picture);
  ASSERT_EQ(DibWidth(*picture), 12);
  ASSERT_EQ(DibHeight(*picture), 8);
  const char* expected[2] = {"BWB", "WWB"};
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x < 12; ++x)
      ASSERT_EQ(PixelAt(*picture, x, y), expected[y / 4][x / 4] == 'B' ? kBlack : kWhite) << x << ", " << y;
}

TEST(WholePicture, ReducedViewsAverageInLinearLight) {
  HookedView v({"00 FF 00 FF", "FF 00 FF 00"});
  v.t.view.scale = 2.0f;
  DibPtr picture = v.Render();
  ASSERT_TRUE(picture);
  ASSERT_EQ(DibWidth(*picture), 2);
  ASSERT_EQ(DibHeight(*picture), 1);
  EXPECT_EQ(PixelAt(*picture, 0, 0), 0x00BABABAu);  // 186: half black, half white in linear light
  EXPECT_EQ(PixelAt(*picture, 1, 0), 0x00BABABAu);
}

TEST(Recomposition, MeasuresTheRenderCostOnceForReducedViews) {
  HookedView v({"00 FF 00 FF", "FF 00 FF 00"});
  ASSERT_TRUE(v.Recompose());  // scale 1: nearest, not measured
  EXPECT_EQ(v.t.view.renderCost, 0);
  v.t.view.scale = 2.0f;
  ChooseSampler(v.t.view);
  ASSERT_TRUE(v.Recompose());
  EXPECT_GT(v.t.view.renderCost, 0);
  v.t.view.renderCost = 77;
  ASSERT_TRUE(v.Recompose());
  EXPECT_EQ(v.t.view.renderCost, 77);
}

TEST(Recomposition, ViewOperationsDrawThroughTheInstalledHooks) {
  HookedView v({"00 FF 00", "FF FF 00"});
  DibPtr screen(CreateDibBitmap(32, nullptr, 0, 400, 300));
  v.t.view.backBuffer = screen.get();
  ASSERT_TRUE(v.Recompose());  // at scale 1: the canvas-resolution picture magnified views share
  // Scale 0.25, centred on the 12 x 8 magnified picture: origin (200 - 6, 150 - 4).
  SetViewScale(v.t.view, 0.25f);
  v.t.view.centreX = 6;
  v.t.view.centreY = 4;
  UpdateViewOrigin(v.t.view);
  v.t.view.hooks.renderViewRect(v.t.view, ViewClientRect(v.t.view));
  EXPECT_EQ(PixelAt(*screen, 194, 146), kBlack);
  EXPECT_EQ(PixelAt(*screen, 198, 146), kWhite);
  EXPECT_EQ(PixelAt(*screen, 205, 153), kBlack);
  EXPECT_EQ(PixelAt(*screen, 193, 146), kSurroundPixel);
  EXPECT_EQ(PixelAt(*screen, 206, 153), kSurroundPixel);
  v.t.view.backBuffer = nullptr;
}
