#include "reduce/loupe.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "canvas/canvas_test_support.h"
#include "view/composition.h"
#include "view/view_test_support.h"

namespace {

constexpr uint32_t kInvertedGrey = 0x003F3F3Fu;

// A canvas of width x height whose columns left of `split` are index 0 (black) and the rest
// index 0xFF (white paper), shown straight at scale 1.
struct LoupeCanvas {
  TestView t;
  DibPtr bitmap;
  DibPtr loupe{CreateDibBitmap(32, nullptr, 0, kLoupeSide, kLoupeSide)};
  LoupeCanvas(int width, int height, int split) : t(width, height, 400, 300) {
    bitmap.reset(CreateDibBitmap(8, nullptr, 0, width, height));
    for (int y = 0; y < height; ++y)
      for (int x = 0; x < width; ++x) DibRow(*bitmap, y)[x] = x < split ? 0x00 : 0xFF;
    bitmap->colours[0xFF] = {255, 255, 255, 0};
    t.canvas->bitmap = bitmap.get();
  }
  ~LoupeCanvas() { t.canvas->bitmap = nullptr; }
};

}  // namespace

TEST(TabInfo, PrintsTheRawSampleAndStatusCode) {
  PenSample sample{};
  sample.x = 1234;
  sample.y = -5;
  sample.pressure = 7;
  sample.azimuth = 3599;
  sample.altitude = -550;
  const TabInfoText text = FormatTabInfo(sample, 41);
  EXPECT_EQ(std::string(text.lines[0]), "X: 1234  Y:   -5");
  EXPECT_EQ(std::string(text.lines[1]), "press:    7 inf:41");
  EXPECT_EQ(std::string(text.lines[2]), "tilt:-550 rotate:3599");
}

TEST(TabInfo, AMouseWithTheButtonDownShowsFullPressureAndTheDefaultOrientation) {
  const TabInfoText text = FormatTabInfo(MouseSample(10, 20, true, 1024), 0);
  EXPECT_EQ(std::string(text.lines[0]), "X:  160  Y:  320");
  EXPECT_EQ(std::string(text.lines[1]), "press: 1024 inf: 0");
  EXPECT_EQ(std::string(text.lines[2]), "tilt: 550 rotate:1300");
}

TEST(Loupe, AtTheCanvasCornerOnlyTheLowerRightQuarterShowsCanvas) {
  LoupeCanvas c(200, 200, 0);  // all white
  // Canvas (0, 0): the loupe shows canvas (x - 63, y - 63) at its pixel (x, y).
  ASSERT_TRUE(ComposeLoupeAt(c.t.view, 0.5f, 0.5f, *c.loupe));
  for (int y = 1; y < 126; ++y) {
    for (int x = 1; x < 126; ++x) {
      if (x == 64 && y >= 57 && y < 72) continue;  // the cross
      if (y == 64 && x >= 57 && x < 72) continue;
      ASSERT_EQ(PixelAt(*c.loupe, x, y), x >= 63 && y >= 63 ? kWhite : kSurroundPixel) << x << ", " << y;
    }
  }
  // The cross inverts: grey left of the corner, white right of it; the centre is on both lines.
  EXPECT_EQ(PixelAt(*c.loupe, 60, 64), kInvertedGrey);
  EXPECT_EQ(PixelAt(*c.loupe, 70, 64), kBlack);
  EXPECT_EQ(PixelAt(*c.loupe, 64, 71), kBlack);
  EXPECT_EQ(PixelAt(*c.loupe, 72, 64), kWhite);  // end point excluded
  EXPECT_EQ(PixelAt(*c.loupe, 64, 64), kWhite);
  // The 126 pixels of canvas leave column and row 126 to the fill; the frame is dark grey.
  EXPECT_EQ(PixelAt(*c.loupe, 126, 100), kLoupeFill);
  EXPECT_EQ(PixelAt(*c.loupe, 0, 0), kLoupeFrame);
  EXPECT_EQ(PixelAt(*c.loupe, 127, 50), kLoupeFrame);
  EXPECT_EQ(PixelAt(*c.loupe, 50, 127), kLoupeFrame);
}

TEST(Loupe, FollowsThePenAtOneToOneWhateverTheScale) {
  LoupeCanvas c(400, 300, 200);  // left half black, right half white
  c.t.view.scale = 8.0f;
  InputState input = NewInputState();
  // Scale 8, origin (0, 0), client at the screen origin: screen (25, 18.75) is canvas (200, 150).
  input.current.x = 400;
  input.current.y = 300;
  ASSERT_TRUE(ComposeLoupe(c.t.view, input, *c.loupe));
  EXPECT_EQ(PixelAt(*c.loupe, 62, 30), kBlack);  // canvas x 199
  EXPECT_EQ(PixelAt(*c.loupe, 63, 30), kWhite);  // canvas x 200
  EXPECT_EQ(PixelAt(*c.loupe, 20, 110), kBlack);
  EXPECT_EQ(PixelAt(*c.loupe, 110, 110), kWhite);
}

TEST(Loupe, TurnsWithTheView) {
  LoupeCanvas c(400, 300, 200);
  c.t.view.rotation = 90.0f;
  // At 90 degrees the canvas's right shows upward: the white half is the loupe's top.
  ASSERT_TRUE(ComposeLoupeAt(c.t.view, 200.0f, 150.0f, *c.loupe));
  EXPECT_EQ(PixelAt(*c.loupe, 20, 20), kWhite);
  EXPECT_EQ(PixelAt(*c.loupe, 110, 20), kWhite);
  EXPECT_EQ(PixelAt(*c.loupe, 20, 110), kBlack);
  EXPECT_EQ(PixelAt(*c.loupe, 110, 110), kBlack);
  // Mirrored as well: the black half comes to the right before the turn, so it shows on top.
  c.t.view.mirrored = 1;
  ASSERT_TRUE(ComposeLoupeAt(c.t.view, 200.0f, 150.0f, *c.loupe));
  EXPECT_EQ(PixelAt(*c.loupe, 20, 20), kBlack);
  EXPECT_EQ(PixelAt(*c.loupe, 20, 110), kWhite);
}
