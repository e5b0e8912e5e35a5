#include "view/composition.h"

#include <gtest/gtest.h>

#include <cstring>

#include "canvas/canvas_test_support.h"
#include "canvas/status.h"
#include "view/brush_outline.h"
#include "reduce/composition_hooks.h"
#include "view/view_test_support.h"

namespace {

constexpr uint32_t kMarker = 0x00123456u;  // "not redrawn"

uint32_t Rgb(int r, int g, int b) { return static_cast<uint32_t>(b | g << 8 | r << 16); }

// An 8-bit composed picture whose index i shows colour RGB(i, 2i, 3i) (mod 256), and its mask.
DibPtr IndexedPicture(const std::vector<std::string>& rows) {
  DibPtr picture = CanvasFromHex(rows);
  for (int i = 0; i < kDibColourCount; ++i)
    picture->colours[i] = {static_cast<uint8_t>(3 * i), static_cast<uint8_t>(2 * i), static_cast<uint8_t>(i), 0};
  return picture;
}
uint32_t IndexColour(int i) { return Rgb(i & 255, (2 * i) & 255, (3 * i) & 255); }

DibPtr BlackWhiteMask(const std::vector<std::string>& rows) {
  DibPtr mask = MaskFromText(rows);
  mask->colours[0] = {0, 0, 0, 0};
  mask->colours[1] = {255, 255, 255, 0};
  return mask;
}

// A view of a canvas at a scale, drawing into its own back buffer.
struct ComposedView {
  TestView t;
  CanvasView& view = t.view;
  DibPtr backBuffer;
  ComposedView(int canvasWidth, int canvasHeight, int clientWidth, int clientHeight, float scale)
      : t(canvasWidth, canvasHeight, clientWidth, clientHeight) {
    view.scale = scale;
    ChooseSampler(view);
    backBuffer.reset(CreateDibBitmap(32, nullptr, 0, clientWidth, clientHeight));
    view.backBuffer = backBuffer.get();
    FillPixels(*backBuffer, {0, 0, clientWidth, clientHeight}, kMarker);
  }
  ~ComposedView() {
    view.composed = nullptr;
    view.outsideMask = nullptr;
    view.paper = nullptr;
  }
};

}  // namespace

TEST(MagnifiedView, EveryCanvasPixelIsABlockAlignedToTheOrigin) {
  // Scale 0.25: a 3 x 2 canvas composed at canvas resolution, shown 4 times larger at (2, 1).
  ComposedView c(3, 2, 20, 12, 0.25f);
  DibPtr picture = IndexedPicture({"01 02 03", "04 05 06"});
  DibPtr mask = BlackWhiteMask({"000", "000"});
  c.view.composed = picture.get();
  c.view.outsideMask = mask.get();
  c.view.originX = 2;
  c.view.originY = 1;
  RenderViewRect(c.view, {0, 0, 20, 12});
  for (int y = 0; y < 12; ++y) {
    for (int x = 0; x < 20; ++x) {
      const bool inside = x >= 2 && x < 14 && y >= 1 && y < 9;
      const uint32_t expected = inside ? IndexColour(1 + (x - 2) / 4 + 3 * ((y - 1) / 4)) : kSurroundPixel;
      ASSERT_EQ(PixelAt(*c.backBuffer, x, y), expected) << x << ", " << y;
    }
  }
}

TEST(MagnifiedView, AOnePixelRectangleRedrawsItsWholeBlock) {
  ComposedView c(3, 2, 20, 12, 0.25f);
  DibPtr picture = IndexedPicture({"01 02 03", "04 05 06"});
  c.view.composed = picture.get();
  c.view.originX = 2;
  c.view.originY = 1;
  // Client (5, 5) is view (3, 4): block column 0, row 1, drawn at x 2..5, y 5..8.
  RenderViewRect(c.view, {5, 5, 6, 6});
  for (int y = 0; y < 12; ++y) {
    for (int x = 0; x < 20; ++x) {
      const bool block = x >= 2 && x < 6 && y >= 5 && y < 9;
      ASSERT_EQ(PixelAt(*c.backBuffer, x, y), block ? IndexColour(4) : kMarker) << x << ", " << y;
    }
  }
  // A rectangle left of and above the picture snaps to blocks too, but draws only grey there.
  RenderViewRect(c.view, {0, 0, 1, 1});
  EXPECT_EQ(PixelAt(*c.backBuffer, 0, 0), kSurroundPixel);
  EXPECT_EQ(PixelAt(*c.backBuffer, 1, 0), kMarker);
  EXPECT_EQ(PixelAt(*c.backBuffer, 2, 1), kMarker);
}

TEST(MagnifiedView, OutsidePixelsBecomeTheSurroundGrey) {
  // Scale 0.5 (k = 2). The mask marks the two right pixels of the top row as outside.
  ComposedView c(3, 2, 6, 4, 0.5f);
  DibPtr picture = IndexedPicture({"FF FF FF", "FF 00 FF"});
  picture->colours[0xFF] = {255, 255, 255, 0};  // white inside stays white after OR with black
  DibPtr mask = BlackWhiteMask({"011", "000"});
  c.view.composed = picture.get();
  c.view.outsideMask = mask.get();
  RenderViewRect(c.view, {0, 0, 6, 4});
  EXPECT_EQ(PixelAt(*c.backBuffer, 0, 0), Rgb(255, 255, 255));
  EXPECT_EQ(PixelAt(*c.backBuffer, 1, 1), Rgb(255, 255, 255));
  EXPECT_EQ(PixelAt(*c.backBuffer, 2, 0), kSurroundPixel);
  EXPECT_EQ(PixelAt(*c.backBuffer, 5, 1), kSurroundPixel);
  EXPECT_EQ(PixelAt(*c.backBuffer, 2, 2), IndexColour(0));
  EXPECT_EQ(PixelAt(*c.backBuffer, 3, 3), IndexColour(0));
}

TEST(MagnifiedView, MaskStepsUseTheMasksOwnColours) {
  // A mask whose colour 0 is not black: inside pixels take the OR of it (a masked blit would).
  ComposedView c(1, 1, 2, 2, 0.5f);
  DibPtr picture = IndexedPicture({"00"});
  DibPtr mask = BlackWhiteMask({"0"});
  mask->colours[0] = {0x0F, 0, 0, 0};
  c.view.composed = picture.get();
  c.view.outsideMask = mask.get();
  RenderViewRect(c.view, {0, 0, 2, 2});
  EXPECT_EQ(PixelAt(*c.backBuffer, 1, 1), 0x0000000Fu);
}

TEST(StraightView, CopiesTheComposedImageAndFillsTheRestGrey) {
  ComposedView c(8, 4, 10, 6, 2.0f);
  DibPtr picture(CreateDibBitmap(32, nullptr, 0, 4, 2));
  for (int y = 0; y < 2; ++y)
    for (int x = 0; x < 4; ++x) SetPixel(*picture, x, y, Rgb(10 * x, 20 * y, 7) | 0xFF000000u);
  c.view.composed = picture.get();
  c.view.originX = 3;
  c.view.originY = 2;
  RenderViewRect(c.view, {0, 0, 10, 6});
  EXPECT_EQ(PixelAt(*c.backBuffer, 3, 2), Rgb(0, 0, 7));  // the fourth byte is written 0
  EXPECT_EQ(PixelAt(*c.backBuffer, 6, 3), Rgb(30, 20, 7));
  EXPECT_EQ(PixelAt(*c.backBuffer, 2, 2), kSurroundPixel);
  EXPECT_EQ(PixelAt(*c.backBuffer, 7, 2), kSurroundPixel);
  EXPECT_EQ(PixelAt(*c.backBuffer, 3, 4), kSurroundPixel);
  // An empty rectangle draws nothing.
  SetPixel(*c.backBuffer, 3, 2, kMarker);
  RenderViewRect(c.view, {3, 2, 3, 5});
  EXPECT_EQ(PixelAt(*c.backBuffer, 3, 2), kMarker);
}

TEST(StraightView, PaperIsBlendedOnlyWhenSwitchedOn) {
  ComposedView c(4, 2, 2, 1, 2.0f);
  DibPtr picture(CreateDibBitmap(32, nullptr, 0, 2, 1));
  SetPixel(*picture, 0, 0, Rgb(200, 200, 200));
  SetPixel(*picture, 1, 0, Rgb(200, 200, 200));
  DibPtr paper(CreateDibBitmap(32, nullptr, 0, 2, 1));
  SetPixel(*paper, 0, 0, Rgb(128, 128, 128));
  SetPixel(*paper, 1, 0, Rgb(255, 255, 255));
  c.view.composed = picture.get();
  c.view.paper = paper.get();
  int32_t switchValue = 0;
  c.view.settings.paperTexture = &switchValue;
  RenderViewRect(c.view, {0, 0, 2, 1});
  EXPECT_EQ(PixelAt(*c.backBuffer, 0, 0), Rgb(200, 200, 200));
  switchValue = 1;
  RenderViewRect(c.view, {0, 0, 2, 1});
  EXPECT_EQ(PixelAt(*c.backBuffer, 0, 0), Rgb(149, 149, 149));  // f = 64 + 127 = 191
  EXPECT_EQ(PixelAt(*c.backBuffer, 1, 0), Rgb(200, 200, 200));  // white paper: unchanged
  c.view.settings.paperTexture = nullptr;
}

TEST(BlendPaper, FollowsTheIntegerRule) {
  DibPtr target(CreateDibBitmap(32, nullptr, 0, 3, 1));
  DibPtr paper(CreateDibBitmap(32, nullptr, 0, 3, 1));
  SetPixel(*target, 0, 0, Rgb(200, 0, 255) | 0x7F000000u);
  SetPixel(*paper, 0, 0, Rgb(128, 128, 0));
  SetPixel(*target, 1, 0, Rgb(200, 200, 200));
  SetPixel(*paper, 1, 0, Rgb(255, 255, 255));
  SetPixel(*target, 2, 0, Rgb(255, 255, 255));
  SetPixel(*paper, 2, 0, Rgb(255, 255, 200));
  EXPECT_TRUE(BlendPaper(*target, 3, 1, *paper, 128));
  // red 200 * 191 = 38200 -> (38200 + 149 + 1) >> 8 = 149; green 0; blue paper 0: f = 127,
  // 255 * 127 = 32385 -> (32385 + 126 + 1) >> 8 = 127. The fourth byte is kept.
  EXPECT_EQ(PixelAt(*target, 0, 0), Rgb(149, 0, 127) | 0x7F000000u);
  EXPECT_EQ(PixelAt(*target, 1, 0), Rgb(200, 200, 200));  // pure white paper
  // Paper 255 with strength 128: f = 127 + 127 = 254; 255 * 254 = 64770 -> 254; paper 200:
  // f = 100 + 127 = 227; 255 * 227 = 57885 -> (57885 + 226 + 1) >> 8 = 227.
  EXPECT_EQ(PixelAt(*target, 2, 0), Rgb(254, 254, 227));
}

TEST(BlendPaper, KeepsToTheSmallestSizeAndRejectsOtherDepths) {
  DibPtr target(CreateDibBitmap(32, nullptr, 0, 2, 2));
  DibPtr paper(CreateDibBitmap(32, nullptr, 0, 1, 1));  // black paper
  FillPixels(*target, {0, 0, 2, 2}, Rgb(100, 100, 100));
  EXPECT_TRUE(BlendPaper(*target, 5, 5, *paper, 128));
  EXPECT_EQ(PixelAt(*target, 0, 0), Rgb(49, 49, 49));  // f = 127: 12700 -> (12700 + 49 + 1) >> 8
  EXPECT_EQ(PixelAt(*target, 1, 0), Rgb(100, 100, 100));
  EXPECT_EQ(PixelAt(*target, 0, 1), Rgb(100, 100, 100));

  DibPtr eightBit = CanvasFromHex({"10 20"});
  EXPECT_FALSE(BlendPaper(*eightBit, 2, 1, *paper, 128));
  EXPECT_EQ(CanvasToHex(*eightBit), (std::vector<std::string>{"10 20"}));
}

TEST(PaperImage, TilesTheTextureFromTheTopLeft) {
  DibPtr texture = CanvasFromHex({"00 01", "02 03"});
  for (int i = 0; i < 4; ++i) texture->colours[i] = {static_cast<uint8_t>(i), 0, 0, 0};
  DibPtr paper(PreparePaperImage(*texture, 5, 3));
  ASSERT_TRUE(paper);
  EXPECT_EQ(DibDepth(*paper), 32);
  EXPECT_EQ(PixelAt(*paper, 0, 0), 0u);
  EXPECT_EQ(PixelAt(*paper, 1, 0), 1u);
  EXPECT_EQ(PixelAt(*paper, 4, 0), 0u);
  EXPECT_EQ(PixelAt(*paper, 3, 1), 3u);
  EXPECT_EQ(PixelAt(*paper, 1, 2), 1u);
}

TEST(BrushOutline, SmallBrushesDrawNothingLargeOnesACross) {
  const BrushOutline tiny = BrushOutlineAt(3, 1.0f, 50, 40);
  EXPECT_EQ(tiny.size, 3);
  EXPECT_FALSE(tiny.ellipse);
  EXPECT_FALSE(tiny.cross);

  const BrushOutline large = BrushOutlineAt(20, 1.0f, 50, 40);
  EXPECT_EQ(large.size, 20);
  ASSERT_TRUE(large.ellipse);
  EXPECT_EQ(large.ellipseBox, (PixelRect{40, 30, 60, 50}));
  ASSERT_TRUE(large.cross);
  EXPECT_EQ(large.crossLines[0], (OutlineLine{45, 40, 56, 40}));
  EXPECT_EQ(large.crossLines[1], (OutlineLine{50, 35, 50, 46}));

  // The size is on the screen: 20 canvas pixels at scale 2 are 10, an ellipse without a cross;
  // at scale 8 they are 2, nothing.
  const BrushOutline reduced = BrushOutlineAt(20, 2.0f, 50, 40);
  EXPECT_EQ(reduced.size, 10);
  EXPECT_TRUE(reduced.ellipse);
  EXPECT_EQ(reduced.ellipseBox, (PixelRect{45, 35, 55, 45}));
  EXPECT_FALSE(reduced.cross);
  EXPECT_EQ(BrushOutlineAt(20, 8.0f, 50, 40).size, 2);
  EXPECT_EQ(BrushOutlineAt(11, 1.0f, 50, 40).ellipseBox, (PixelRect{45, 35, 56, 46}));
}

TEST(BrushOutline, IsCentredOnTheMagnifiedPixelUnderThePen) {
  TestView t(100, 100, 400, 300);
  t.view.scale = 0.25f;
  InputState input = NewInputState();
  // Screen (41, 23) with the client at the screen origin and view origin (0, 0): canvas
  // (10.25, 5.75), truncated (10, 5), client (40, 20), plus 0.5 / 0.25 = 2.
  input.current.x = 41 * 16;
  input.current.y = 23 * 16;
  const BrushOutline o = CurrentBrushOutline(t.view, input, 4);
  EXPECT_EQ(o.centreX, 42);
  EXPECT_EQ(o.centreY, 22);
  EXPECT_EQ(o.size, 16);
}

TEST(RenderCost, IsCyclesPerThousandPixels) {
  // 1 ms on a 1000 x 500 picture: 3,000,000 cycles / 500 = 6000.
  EXPECT_EQ(RenderCostFrom(1e6, 1000, 500), 6000);
  EXPECT_EQ(RenderCostFrom(0.0, 1000, 500), 1);  // measured, however fast
  EXPECT_EQ(RenderCostFrom(1e6, 0, 500), 0);
}
