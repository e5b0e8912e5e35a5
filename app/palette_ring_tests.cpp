#include "app/palette_ring.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

TEST(PaletteRing, SizeAndScaleFollowTheUiScale) {
  const struct {
    float s;
    int32_t side;
  } cases[] = {{1.0f, 96}, {1.5f, 144}, {2.0f, 192}, {3.0f, 288}};
  for (const auto& c : cases) {
    EXPECT_EQ(PaletteRingSide(c.s), c.side);
    EXPECT_EQ(PaletteRingScale(c.side), c.s);
  }
  EXPECT_EQ(PaletteRingScale(143), 1.0f);
  EXPECT_EQ(PaletteRingScale(287), 2.0f);
  EXPECT_EQ(RingHoleInset(1.5f), 36);
}

TEST(PaletteRing, SwatchesSitOnTheRing) {
  // At 96 x 96: layer 0 at the top (0.40625 * 96 = 39, 0.03125 * 96 = 3), layer 2 at the right,
  // layer 4 at the bottom, layer 6 at the left, 16 pixels square.
  EXPECT_EQ(RingSwatchBox(0, 96, 96, 1.0f), (WindowBox{39, 3, 16, 16}));
  EXPECT_EQ(RingSwatchBox(2, 96, 96, 1.0f), (WindowBox{75, 39, 16, 16}));
  EXPECT_EQ(RingSwatchBox(4, 96, 96, 1.0f), (WindowBox{39, 75, 16, 16}));
  EXPECT_EQ(RingSwatchBox(6, 96, 96, 1.0f), (WindowBox{3, 39, 16, 16}));
  EXPECT_EQ(RingSwatchBox(7, 192, 192, 2.0f), (WindowBox{27, 27, 32, 32}));
  // Every swatch's centre lies between the hole (radius 24) and the edge (radius 48).
  for (int i = 0; i < 8; ++i) {
    const WindowBox b = RingSwatchBox(i, 96, 96, 1.0f);
    const double dx = b.x + 8 - 48, dy = b.y + 8 - 48, r = std::sqrt(dx * dx + dy * dy);
    EXPECT_GT(r, 24.0) << i;
    EXPECT_LT(r, 48.0) << i;
  }
}

TEST(PaletteRing, OpensAroundThePointerInsideTheClientArea) {
  EXPECT_EQ(PaletteRingPlacement(500, 400, 96, 1000, 800), (WindowBox{452, 352, 96, 96}));
  EXPECT_EQ(PaletteRingPlacement(10, 790, 96, 1000, 800), (WindowBox{0, 704, 96, 96}));
  EXPECT_EQ(PaletteRingPlacement(995, 5, 96, 1000, 800), (WindowBox{904, 0, 96, 96}));
  EXPECT_EQ(PaletteRingPlacement(50, 50, 96, 60, 60), (WindowBox{0, 0, 96, 96}));
}

TEST(ColourSwatch, CornerAndOutlineFollowTheSize) {
  EXPECT_EQ(SwatchCornerDiameter(16, 16), 4);
  EXPECT_EQ(SwatchCornerDiameter(36, 16), 4);
  EXPECT_EQ(SwatchCornerDiameter(48, 48), 12);
  EXPECT_EQ(SwatchOutlineWidth(16), 1);
  EXPECT_EQ(SwatchOutlineWidth(24), 1);
  EXPECT_EQ(SwatchOutlineWidth(25), 3);
  EXPECT_EQ(SwatchOutlineWidth(32), 3);
  EXPECT_EQ(SwatchOutlineWidth(33), 5);
}

}  // namespace
