#include "canvas/palette.h"

#include <gtest/gtest.h>

namespace {

struct Rgb {
  int r, g, b;
  bool operator==(const Rgb&) const = default;
};

std::ostream& operator<<(std::ostream& os, const Rgb& c) {
  return os << "(" << c.r << ", " << c.g << ", " << c.b << ")";
}

Rgb Entry(const DibColour* palette, int v) { return {palette[v].red, palette[v].green, palette[v].blue}; }

// Indices: a pixel value with exactly the given layers painted (their bits 0).
int Painted(std::initializer_list<int> layers) {
  int v = 0xFF;
  for (int k : layers) v &= ~(1 << k);
  return v;
}

// A table where every layer is normal, opaque, unclipped and the paper is white.
LayerTable NormalLayers() {
  LayerTable t = DefaultLayerTable();
  for (int i = 0; i < kLayerCount; ++i) t.rows[i].blendMode = kBlendNormal;
  return t;
}

}  // namespace

TEST(ComputePalette, DefaultLayersPaperAndLayerZero) {
  DibColour p[256]{};
  ComputePalette(DefaultLayerTable(), p);
  EXPECT_EQ(Entry(p, 255), (Rgb{255, 255, 255}));
  EXPECT_EQ(Entry(p, 254), (Rgb{0, 0, 0}));  // black multiplied onto white
  // Layer 1 (0xCC4747) alone multiplied onto white is its own colour after the round trip.
  EXPECT_EQ(Entry(p, Painted({1})), (Rgb{0x47, 0x47, 0xCC}));
  // Multiplying anything onto layer 0's black stays black.
  EXPECT_EQ(Entry(p, Painted({0, 1, 5})), (Rgb{0, 0, 0}));
  EXPECT_EQ(Entry(p, 0), (Rgb{0, 0, 0}));
}

TEST(ComputePalette, LeavesReservedBytesAlone) {
  DibColour p[256];
  for (DibColour& c : p) c.reserved = 0x5A;
  ComputePalette(DefaultLayerTable(), p);
  for (const DibColour& c : p) EXPECT_EQ(c.reserved, 0x5A);
}

TEST(ComputePalette, EveryLayerHiddenGivesThePaperEverywhere) {
  LayerTable t = DefaultLayerTable();
  for (int i = 0; i < kLayerCount; ++i) t.rows[i].visible = 0;
  t.rows[kPaperRow].colour = 0x3080F0;  // red 0xF0, green 0x80, blue 0x30
  DibColour p[256]{};
  ComputePalette(t, p);
  for (int v = 0; v < 256; ++v) EXPECT_EQ(Entry(p, v), (Rgb{0xF0, 0x80, 0x30})) << v;
}

TEST(ComputePalette, EqualLayerColoursGiveEqualEntries) {
  LayerTable t = DefaultLayerTable();
  t.rows[2].colour = t.rows[3].colour = 0x204060;
  DibColour p[256]{};
  ComputePalette(t, p);
  EXPECT_EQ(Entry(p, Painted({2})), Entry(p, Painted({3})));
  EXPECT_EQ(Entry(p, Painted({2})), (Rgb{0x60, 0x40, 0x20}));
}

TEST(ComputePalette, HalfOpaqueBlackOnWhite) {
  // cur = 1 - 128/255 = 0.49804 in linear light; 0.49804^(1/2.2) * 255 = 185.76 -> 186.
  LayerTable t = NormalLayers();
  t.rows[0].opacity = 128;
  DibColour p[256]{};
  ComputePalette(t, p);
  EXPECT_EQ(Entry(p, Painted({0})), (Rgb{186, 186, 186}));
}

TEST(ComputePalette, OpacityZeroChangesNothingInAnyBlendMode) {
  for (int mode : {0, 1, 2, 7}) {  // normal, multiply, add, not a mode
    LayerTable t = DefaultLayerTable();
    t.rows[kPaperRow].colour = 0x326496;  // (150, 100, 50)
    t.rows[0].blendMode = mode;
    t.rows[0].colour = 0x0000FF;
    t.rows[0].opacity = 0;
    DibColour p[256]{};
    ComputePalette(t, p);
    EXPECT_EQ(Entry(p, Painted({0})), (Rgb{150, 100, 50})) << "mode " << mode;
  }
}

TEST(ComputePalette, BlendModesAddAndUnknown) {
  LayerTable t = DefaultLayerTable();
  t.rows[kPaperRow].colour = 0x000000;
  t.rows[0].blendMode = kBlendAdd;
  t.rows[0].colour = 0x000080;  // red 0x80
  t.rows[1].blendMode = kBlendAdd;
  t.rows[1].colour = 0xFFFFFF;  // saturates
  t.rows[2].blendMode = 3;      // not a mode: leaves the colour below
  t.rows[2].colour = 0x00FF00;
  DibColour p[256]{};
  ComputePalette(t, p);
  EXPECT_EQ(Entry(p, Painted({0})), (Rgb{0x80, 0, 0}));
  EXPECT_EQ(Entry(p, Painted({0, 1})), (Rgb{255, 255, 255}));
  EXPECT_EQ(Entry(p, Painted({0, 2})), (Rgb{0x80, 0, 0}));
}

TEST(ComputePalette, StackOrderDecidesWhichNormalLayerShows) {
  LayerTable t = NormalLayers();
  t.rows[0].colour = 0x0000FF;  // red
  t.rows[1].colour = 0xFF0000;  // blue
  DibColour p[256]{};
  ComputePalette(t, p);
  EXPECT_EQ(Entry(p, Painted({0, 1})), (Rgb{0, 0, 255}));  // layer 1 on top
  t.rows[0].order = 1;
  t.rows[1].order = 0;
  ComputePalette(t, p);
  EXPECT_EQ(Entry(p, Painted({0, 1})), (Rgb{255, 0, 0}));  // layer 0 on top
}

TEST(ComputePalette, ClippedLayerShowsOnlyOverItsBase) {
  LayerTable t = NormalLayers();
  t.rows[0].colour = 0x0000FF;  // red base
  t.rows[1].colour = 0xFF0000;  // blue, clipped to layer 0
  t.rows[1].clipped = 1;
  DibColour p[256]{};
  ComputePalette(t, p);
  EXPECT_EQ(Entry(p, Painted({1})), (Rgb{255, 255, 255}));  // base empty: nothing
  EXPECT_EQ(Entry(p, Painted({0})), (Rgb{255, 0, 0}));
  EXPECT_EQ(Entry(p, Painted({0, 1})), (Rgb{0, 0, 255}));
  // A hidden base hides the clipped layer with it.
  t.rows[0].visible = 0;
  ComputePalette(t, p);
  EXPECT_EQ(Entry(p, Painted({0, 1})), (Rgb{255, 255, 255}));
}

TEST(ComputePalette, ClippedLayerIsFadedByItsBaseOpacity) {
  LayerTable t = NormalLayers();
  t.rows[0].colour = 0x000000;
  t.rows[0].opacity = 0;      // invisible base
  t.rows[1].colour = 0x000000;
  t.rows[1].clipped = 1;      // opaque black, but faded by the base's opacity 0
  DibColour p[256]{};
  ComputePalette(t, p);
  EXPECT_EQ(Entry(p, Painted({0, 1})), (Rgb{255, 255, 255}));
  t.rows[0].opacity = 128;
  ComputePalette(t, p);
  // Base: cur = 0.49804. Clipped layer: e = (1 - 0.50196) * 0.49804 = 0.24804, cur = e.
  // 0.24804^(1/2.2) * 255 = 135.3 -> 135.
  EXPECT_EQ(Entry(p, Painted({0, 1})), (Rgb{135, 135, 135}));
}

TEST(ComputePalette, ClipWalkThatReachesTheBottomTakesTheBottomLayer) {
  // Layers 0, 1, 2 are all clipped. Layer 2's walk passes layer 1 and stops at the bottom,
  // whose layer 0 is the base whatever its flag; layer 0 at the bottom is its own base.
  LayerTable t = NormalLayers();
  t.rows[0].colour = 0x0000FF;  // red
  t.rows[1].colour = 0x00FF00;  // green
  t.rows[2].colour = 0xFF0000;  // blue
  t.rows[0].clipped = t.rows[1].clipped = t.rows[2].clipped = 1;
  DibColour p[256]{};
  ComputePalette(t, p);
  EXPECT_EQ(Entry(p, Painted({0})), (Rgb{255, 0, 0}));
  EXPECT_EQ(Entry(p, Painted({0, 2})), (Rgb{0, 0, 255}));      // base is layer 0, not layer 1
  EXPECT_EQ(Entry(p, Painted({1, 2})), (Rgb{255, 255, 255}));  // layer 0 empty: neither shows
  EXPECT_EQ(Entry(p, Painted({0, 1, 2})), (Rgb{0, 0, 255}));
}

TEST(ComputePalette, WritesIntoTheBitmapTable) {
  DibBitmap* canvas = CreateDibBitmap(8, nullptr, 0, 2, 2);
  ASSERT_NE(canvas, nullptr);
  ComputePalette(*canvas, DefaultLayerTable());
  EXPECT_EQ(canvas->colours[255].red, 255);
  EXPECT_EQ(canvas->colours[254].red, 0);
  FreeDibBitmap(canvas);
}
