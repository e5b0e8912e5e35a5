#include "app/colour_picker.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

constexpr float kPi = 3.14159265f;

TEST(ColourPicker, TriangleRowsEndAtTheirEdge) {
  // 121 + trunc(213 - |191.5 - y| * 213 / 122.5 + 0.5)
  EXPECT_EQ(TriangleRowEnd(191), 333);  // 213 - 0.87 + 0.5 = 212.6
  EXPECT_EQ(TriangleRowEnd(192), 333);
  EXPECT_EQ(TriangleRowEnd(69), 121);   // the top corner: only the left edge
  EXPECT_EQ(TriangleRowEnd(314), 121);
  EXPECT_EQ(TriangleRowEnd(130), 227);  // 213 - 106.94 + 0.5 = 106.6
  EXPECT_NEAR(TriangleEdge(130), 227.065f, 1e-3f);
}

TEST(ColourPicker, TriangleIsDrawnForTheHueAndNothingElseIsTouched) {
  constexpr uint32_t kUntouched = 0x01020304;
  std::vector<uint32_t> picture(kPickerSide * kPickerSide, kUntouched);
  DrawPickerTriangle(picture.data(), kPi);
  const auto at = [&](int x, int y) { return picture[static_cast<size_t>(y) * kPickerSide + x]; };
  EXPECT_EQ(at(121, 69), 0xFFFFFFu);   // lightness 1
  EXPECT_EQ(at(121, 314), 0x000000u);  // lightness 0
  EXPECT_EQ(at(333, 191) & 0xFF0000u, 0xFF0000u);  // nearly full chroma at hue pi: red
  EXPECT_EQ(at(333, 191) & 0x0000FFu, at(333, 191) >> 8 & 0xFFu);  // green and blue at the minimum
  EXPECT_NE(at(227, 130), kUntouched);
  for (const auto& [x, y] : {std::pair{334, 191}, {228, 130}, {120, 100}, {121, 68}, {121, 315}, {0, 0}})
    EXPECT_EQ(at(x, y), kUntouched) << x << "," << y;
}

TEST(ColourPicker, ClientPositionsScaleToThePicture) {
  EXPECT_EQ(PickerPointOfClient(64, 64, 128, 128), (PickerPoint{192, 192}));
  EXPECT_EQ(PickerPointOfClient(100, 50, 256, 256), (PickerPoint{150, 75}));
  EXPECT_EQ(PickerPointOfClient(383, 383, 384, 384), (PickerPoint{383, 383}));
  EXPECT_EQ(PickerPointOfClient(5, 5, 0, 0), (PickerPoint{1920, 1920}));  // no division by zero
}

TEST(ColourPicker, RingIsFurtherThan144FromTheCentre) {
  EXPECT_TRUE(OnPickerRing({192 + 145, 192}));
  EXPECT_FALSE(OnPickerRing({192 + 144, 192}));
  EXPECT_TRUE(OnPickerRing({0, 0}));
  EXPECT_FALSE(OnPickerRing({200, 200}));
  EXPECT_NEAR(RingAngleAt({0, 192}), -kPi, 1e-6f);   // the left: red (the same hue as pi)
  EXPECT_NEAR(RingAngleAt({192, 0}), kPi / 2, 1e-6f);  // the top
  EXPECT_NEAR(RingAngleAt({383, 192}), 0.0f, 1e-6f);   // the right
}

TEST(ColourPicker, PickInTriangleFollowsRowsAndClampsOutside) {
  const struct {
    PickerPoint p;
    float chroma, lightness;
  } cases[] = {
      {{100, 50}, 0.0f, 1.0f},                   // above and left
      {{121, 314}, 0.0f, 0.0f},                  // the bottom corner
      {{227, 130}, 106.0f / 213, 1 - 61.0f / 245},  // inside its row
      {{300, 130}, 106.065f / 213, 1 - 61.0f / 245},  // right of the edge: the row's most saturated
      {{200, 400}, 0.0f, 0.0f},                  // below: the edge lies left of 121, chroma not below 0
  };
  for (const auto& c : cases) {
    float chroma = -1, lightness = -1;
    PickInTriangle(c.p, chroma, lightness);
    EXPECT_NEAR(chroma, c.chroma, 1e-4f) << c.p.x << "," << c.p.y;
    EXPECT_NEAR(lightness, c.lightness, 1e-6f) << c.p.x << "," << c.p.y;
  }
}

TEST(ColourPicker, PressStartsOneDragAndReleaseEndsBoth) {
  PickerState s;
  EXPECT_EQ(PickerPress(s, {0, 192}), PickerEffect::kRedrawTriangle);
  EXPECT_TRUE(s.ringDrag);
  EXPECT_FALSE(s.triangleDrag);
  EXPECT_EQ(PickerMove(s, {192, 0}), PickerEffect::kRedrawTriangle);
  EXPECT_NEAR(s.colour.theta, kPi / 2, 1e-6f);
  (void)PickerRelease(s, {192, 0});
  EXPECT_FALSE(s.ringDrag || s.triangleDrag);
  EXPECT_EQ(PickerMove(s, {10, 10}), PickerEffect::kNone);

  EXPECT_EQ(PickerPress(s, {227, 130}), PickerEffect::kRepaint);
  EXPECT_TRUE(s.triangleDrag);
  EXPECT_EQ(PickerMove(s, {121, 69}), PickerEffect::kRepaint);
  EXPECT_EQ(s.colour.chroma, 0.0f);
  EXPECT_EQ(s.colour.lightness, 1.0f);
}

TEST(ColourPicker, ReleaseAfterARingDragKeepsTheTrianglePosition) {
  PickerState s;
  s.colour = {0.0f, 0.5f, 0.5f};
  (void)PickerPress(s, {0, 192});
  // (trunc(0.5 * 213 + 121), trunc(0.5 * 245 + 69)) = (227, 191), wherever the button goes up.
  EXPECT_EQ(PickerRelease(s, {0, 0}), (PickerPoint{227, 191}));
  EXPECT_FLOAT_EQ(s.colour.chroma, 0.5f);
  EXPECT_NEAR(s.colour.theta, -kPi, 1e-6f);
}

TEST(ColourPicker, ReleaseInTheTrianglePicksThatPixel) {
  PickerState s;
  (void)PickerPress(s, {227, 130});
  EXPECT_EQ(PickerRelease(s, {227, 130}), (PickerPoint{227, 130}));
  // Right of a row's edge: the row's last drawn pixel.
  (void)PickerPress(s, {300, 130});
  EXPECT_EQ(PickerRelease(s, {300, 130}), (PickerPoint{227, 130}));
}

TEST(ColourPicker, FullChromaReadsTheLastDrawnPixelOfItsRow) {
  // Pure red: chroma 1 at lightness 0.5 would be x = 334, past the end of row 191.
  PickerState s;
  s.colour = HueChromaOfColour(0x0000FF);
  s.ringDrag = true;
  EXPECT_EQ(PickerRelease(s, {0, 0}), (PickerPoint{333, 191}));
}

TEST(ColourPicker, PixelsBecomeLayerColours) {
  EXPECT_EQ(LayerColourOfPixel(0x112233u), 0x332211u);
  EXPECT_EQ(LayerColourOfPixel(0xFF000000u | 0x0000FFu), 0xFF0000u);  // the unused top byte goes
}

TEST(ColourPicker, MarkersSitOnTheRingAndInTheTriangle) {
  // Hue 0 on a 128-pixel picker: (64 + 56, 64), the box from -3 to +4.
  EXPECT_EQ(HueMarkerBox(0.0f, 128, 128, 1.0f), (PickerBox{117, 61, 124, 68}));
  // A grey sits on the left edge: x = 121 * 128 / 384 + 0.5 = 40.8.
  const HueChroma grey = HueChromaOfColour(0x808080);
  const PickerBox g = TriangleMarkerBox(grey.chroma, grey.lightness, 128, 128, 1.0f);
  EXPECT_EQ(g.left + 3, 40);
  // White at scale 3 on the full picture: (121.5, 69.5) truncated, -9 .. +12.
  EXPECT_EQ(TriangleMarkerBox(0.0f, 1.0f, 384, 384, 3.0f), (PickerBox{112, 60, 133, 81}));
}

}  // namespace
