#include "canvas/hue_chroma.h"

#include <gtest/gtest.h>

namespace {

constexpr float kPi = 3.14159265f;

TEST(HueChroma, PrimaryAndSecondaryColoursLieAroundTheRing) {
  // 0x00BBGGRR: the usual hue h of each colour gives theta = -(h - 180) / 180 pi.
  const struct {
    uint32_t colour;
    float theta;
  } cases[] = {
      {0x0000FF, kPi},             // red, hue 0: the left of the ring
      {0x00FFFF, 2 * kPi / 3},     // yellow, 60
      {0x00FF00, kPi / 3},         // green, 120
      {0xFFFF00, 0.0f},            // cyan, 180 (green is the first maximum found)
      {0xFF0000, -kPi / 3},        // blue, 240
      {0xFF00FF, -2 * kPi / 3},    // magenta: -60 from the red maximum, 300 once wrapped
  };
  for (const auto& c : cases) {
    const HueChroma h = HueChromaOfColour(c.colour);
    EXPECT_NEAR(h.theta, c.theta, 1e-5f) << std::hex << c.colour;
    EXPECT_FLOAT_EQ(h.chroma, 1.0f);
    EXPECT_FLOAT_EQ(h.lightness, 0.5f);
  }
}

TEST(HueChroma, GreyHasHueZeroAndNoChroma) {
  const HueChroma h = HueChromaOfColour(0x808080);
  EXPECT_NEAR(h.theta, kPi, 1e-6f);
  EXPECT_FLOAT_EQ(h.chroma, 0.0f);
  EXPECT_NEAR(h.lightness, 0.21952f, 1e-4f);  // (128 / 255)^2.2
}

TEST(HueChroma, EachSextantRisesOrFallsBetweenItsCorners) {
  const struct {
    float theta, chroma, lightness;
    LinearRgb expected;
  } cases[] = {
      {0.0f, 1.0f, 0.5f, {0.0f, 1.0f, 1.0f}},         // h = 60: cyan
      {kPi / 2, 1.0f, 0.5f, {0.5f, 1.0f, 0.0f}},      // h = 150: red half way up
      {-kPi / 2, 1.0f, 0.5f, {0.5f, 0.0f, 1.0f}},     // h = -30, wrapped to 330: red half way down
      {kPi, 0.5f, 0.5f, {0.75f, 0.25f, 0.25f}},       // h = 240: red at max, the others at min
      {kPi, 1.0f, 0.9f, {1.0f, 0.4f, 0.4f}},          // max 1.4 clamped
      {kPi, 0.0f, 0.3f, {0.3f, 0.3f, 0.3f}},          // no chroma: grey
  };
  for (const auto& c : cases) {
    const LinearRgb rgb = LinearOfHueChroma(c.theta, c.chroma, c.lightness);
    EXPECT_NEAR(rgb.red, c.expected.red, 1e-5f) << c.theta;
    EXPECT_NEAR(rgb.green, c.expected.green, 1e-5f) << c.theta;
    EXPECT_NEAR(rgb.blue, c.expected.blue, 1e-5f) << c.theta;
  }
}

TEST(HueChroma, BytesComeBackThroughTheInversePower) {
  EXPECT_EQ(EncodeLinear(0.0f), 0);
  EXPECT_EQ(EncodeLinear(1.0f), 255);
  EXPECT_EQ(EncodeLinear(0.5f), 186);  // 0.5^(1/2.2) = 0.7297, * 255 = 186.1
  EXPECT_EQ(EncodeLinear(2.0f), 255);
  EXPECT_EQ(EncodeLinear(-1.0f), 0);
  EXPECT_EQ(HueChromaPixel(kPi, 1.0f, 0.5f), 0xFF0000u);  // red, as 0x00RRGGBB
  const HueChroma grey = HueChromaOfColour(0x808080);
  EXPECT_EQ(HueChromaPixel(grey.theta, grey.chroma, grey.lightness), 0x808080u);
}

}  // namespace
