// The colour picker's hue ring as the build drew it, read back through the program's BMP reader:
// the ring's colours are the picker's own colour model at each angle.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "canvas/dib_bitmap.h"
#include "files/bmp_reader.h"

namespace {

namespace fs = std::filesystem;

struct Rgb {
  int red, green, blue;
};

TEST(PanelPictures, HueRingRunsFromRedAtTheLeftThroughTheHues) {
  BmpFailure why{};
  DibBitmap* ring = ReadBmpFile(fs::path(DOTWRIGHT_ICON_FOLDER) / "hue_ring.bmp", &why);
  ASSERT_NE(ring, nullptr) << static_cast<int>(why);
  EXPECT_EQ(DibWidth(*ring), 384);
  EXPECT_EQ(DibHeight(*ring), 384);
  const auto at = [&](int x, int y) {
    DibColour c{};
    DibRowColours(*ring, y, x, 1, &c);
    return Rgb{c.red, c.green, c.blue};
  };
  // Radius 168, the middle of the band. Full chroma at lightness 0.5: the linear channels are
  // 1, 0 or 0.5 (byte 186) by the sextant of theta + 60 degrees. Just above the left middle
  // the whole degree is 239, one short of red: green is 1 / 60 in linear light, byte 40.
  const struct {
    int x, y;
    Rgb expected;
  } cases[] = {
      {24, 191, {255, 40, 0}},    // the left, theta just below pi: red
      {192, 24, {186, 255, 0}},   // the top, theta pi / 2: between yellow and green
      {360, 192, {0, 255, 255}},  // the right, theta 0: cyan
      {192, 360, {186, 0, 255}},  // the bottom, theta -pi / 2: between blue and magenta
      {192, 192, {240, 240, 240}},  // the middle: the panel grey the triangle is drawn over
      {0, 0, {240, 240, 240}},
  };
  for (const auto& c : cases) {
    const Rgb got = at(c.x, c.y);
    EXPECT_NEAR(got.red, c.expected.red, 8) << c.x << "," << c.y;
    EXPECT_NEAR(got.green, c.expected.green, 8) << c.x << "," << c.y;
    EXPECT_NEAR(got.blue, c.expected.blue, 8) << c.x << "," << c.y;
  }
  FreeDibBitmap(ring);
}

}  // namespace
