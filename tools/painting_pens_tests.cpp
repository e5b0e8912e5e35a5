// The painting pens driven through their handlers on a canvas shown at scale 1.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <utility>
#include <vector>

#include "tools/painting_pens.h"
#include "tools/pen_test_support.h"
#include "view/view_test_support.h"
#include "brush/tone_screen.h"
#include "brush/xorshift.h"

// ---- Pen settings ------------------------------------------------------------------------

TEST(PenSettings, PressureGammaFromHardness) {
  EXPECT_FLOAT_EQ(PressureGamma(0), 0.25f);
  EXPECT_FLOAT_EQ(PressureGamma(50), 1.0f);
  EXPECT_FLOAT_EQ(PressureGamma(100), 4.0f);
  // Size 20 at pressure 0.5: linear 10; soft 20 x 0.5^0.25 = 16.82; hard 20 x 0.0625 = 1.25.
  EXPECT_FLOAT_EQ(20.0f * ShapePressure(0.5f, PressureGamma(50)), 10.0f);
  EXPECT_NEAR(20.0f * ShapePressure(0.5f, PressureGamma(0)), 16.8179f, 1e-3);
  EXPECT_FLOAT_EQ(20.0f * ShapePressure(0.5f, PressureGamma(100)), 1.25f);
}

TEST(PenSettings, KindTable) {
  EXPECT_EQ(PenKindTable(0), &PressurePen);
  EXPECT_EQ(PenKindTable(3), &GrainTonePen);
  EXPECT_NE(PenKindTable(22), nullptr);
  EXPECT_EQ(PenKindTable(23), nullptr);
  EXPECT_EQ(PenKindTable(-1), nullptr);
  EXPECT_TRUE(IsToolKind(12));
  EXPECT_FALSE(IsToolKind(19));
  EXPECT_FALSE(IsToolKind(10));
}

// ---- Pressure pens -------------------------------------------------------------------------

TEST(PressurePen, HalfPressureSize20PaintsATenPixelBandAndTheStartDisc) {
  // w = 10. Hull corners P1 +- (0, 5) and P0 +- (0, 5): rows 15..24, columns floor(10.5) ..
  // floor(19.5). Disc at (10.25, 20.25), r = 5: row 15 (h = 1.561) spans 9..11, row 20
  // (h = 4.994) spans floor(5.756) = 5 .. floor(14.74) = 14, row 24 (h = 2.634) spans 8..12.
  PenFixture f(40, 40, kKindPressurePen, 20);
  EXPECT_EQ(f.Segment(10, 20, 0.5f, 20, 20, 0.5f), 1);
  for (int y = 15; y <= 24; ++y)
    for (int x = 10; x <= 19; ++x) EXPECT_TRUE(f.Painted(x, y)) << x << "," << y;
  EXPECT_EQ(f.At(10, 20), 0xFE);  // layer 0
  // (20, 20) is blank: the disc at the current sample is the next call's.
  f.ExpectPainted({{5, 20}, {9, 15}, {8, 24}}, {{4, 20}, {8, 15}, {10, 14}, {10, 25}, {20, 20}});
  // Margin floor(10 / 2 + 1) = 6 around the box (10, 20)-(20, 20).
  EXPECT_EQ(f.dirty, (PixelRect{4, 14, 27, 27}));
}

TEST(PressurePen, RisingPressureStartsWithNothingThenALineThenTheHull) {
  // Size 10, pressure 0 at (10, 10) rising to 1 at (30, 10): w1 = 0, w0 = 10. The width reaches
  // 0.7 at x = 11.4 (line from (11.9, 10.5) to (30.5, 10.5): pixels 11..29 of row 10) and 1 at
  // x = 12 (hull's thin end at (12.25, 10.25) +- (0, 0.5)). Far corners from the tangents:
  // B = P0 + 5 x (-100, -+387.3) / 400 = (28.75, 5.16) and (28.75, 14.84).
  PenFixture f(40, 20, kKindPressurePen, 10);
  EXPECT_EQ(f.Segment(10, 10, 0.0f, 30, 10, 1.0f), 1);
  // Still one pixel wide near the start (12, 9), wide near the end (28, 6), nothing past
  // x = 28.75 (29, 6).
  f.ExpectPainted({{11, 10}, {29, 10}, {28, 6}, {28, 14}}, {{10, 10}, {12, 9}, {12, 11}, {28, 4}, {29, 6}});
  EXPECT_EQ(f.dirty, (PixelRect{4, 4, 37, 17}));
}

TEST(PressurePen, VeryLightPressurePaintsNothingButReportsTheSegment) {
  PenFixture f(30, 30, kKindPressurePen, 10);
  EXPECT_EQ(f.Segment(5, 5, 0.05f, 15, 8, 0.05f), 1);  // widths 0.5
  EXPECT_EQ(f.CountChanged(), 0);
  EXPECT_EQ(f.dirty, (PixelRect{4, 4, 17, 10}));       // margin floor(0.25 + 1) = 1
}

TEST(PressurePen, CoincidingSamplesPaintOnlyTheDisc) {
  // r = 1.5 at (10.25, 10.25): row centres 9.5 .. 11.5. Row 9.5: h = sqrt(2.25 - 0.5625) =
  // 1.299 -> floor(9.45) .. floor(11.05) = 9..11; row 10.5: h = 1.479 -> 9..11; row 11.5:
  // h = 0.829 -> floor(9.92) .. floor(10.58) = 9..10. Eight pixels.
  PenFixture f(20, 20, kKindPressurePen, 3);
  EXPECT_EQ(f.Segment(10, 10, 1.0f, 10, 10, 1.0f), 1);
  EXPECT_EQ(f.CountChanged(), 8);
  f.ExpectPainted({{11, 9}}, {{11, 11}});
}

TEST(PressurePen, TailEndErasesAndErasersEraseWithEitherEnd) {
  for (int kind : {kKindPressurePen, kKindTexturePen, kKindHalftonePen}) {
    PenFixture f(20, 20, kind, 4, 0x00);
    f.canvas.currentLayer = 2;
    f.Segment(5, 5, 1.0f, 12, 5, 1.0f, -550);
    EXPECT_EQ(f.At(8, 5), 0x04) << "kind " << kind;
  }
  PenFixture e(20, 20, kKindPressureEraser, 4, 0x00);
  e.Segment(5, 5, 1.0f, 12, 5, 1.0f, 550);
  EXPECT_EQ(e.At(8, 5), 0x01);
}

TEST(PressurePen, LockedOrHiddenCurrentLayerStopsEveryKindButTheAllLayerErasers) {
  for (int kind = 0; kind <= 8; ++kind) {
    for (bool hidden : {false, true}) {
      PenFixture f(20, 20, kind, 4);
      (hidden ? f.canvas.layers.rows[0].visible : f.canvas.layers.rows[0].locked) = hidden ? 0 : 1;
      EXPECT_EQ(f.Segment(5, 5, 1.0f, 12, 5, 1.0f), 0) << "kind " << kind;
      EXPECT_EQ(f.CountChanged(), 0) << "kind " << kind;
    }
  }
  for (int kind : {kKindPressureEraserAllLayers, kKindTiltEraserAllLayers}) {
    PenFixture f(20, 20, kind, 4, 0x00);
    f.canvas.layers.rows[0].locked = 1;
    f.canvas.layers.rows[6].visible = 0;
    EXPECT_EQ(f.Segment(5, 5, 1.0f, 12, 5, 1.0f, 900, 900), 1) << "kind " << kind;
    EXPECT_EQ(f.At(8, 5), 0xBE) << "kind " << kind;  // every bit but 0 and 6
  }
}

TEST(PressurePen, OwnLayerPenPaintsItsPaletteWhateverLayerIsCurrent) {
  PenFixture f(20, 20, kKindPressurePen, 4);
  f.Pen().EnablePalette = 1;
  f.Pen().Palette = 3;
  f.canvas.currentLayer = 5;
  f.Segment(5, 5, 1.0f, 12, 5, 1.0f);
  EXPECT_EQ(f.At(8, 5), 0xF7);
}

TEST(TexturePen, PaintsOnlyWhereTheTextureIsSet) {
  // A 32-wide texture with only columns 0..3 set, OX = 0: spans paint x mod 32 in 0..3.
  PenFixture f(64, 20, kKindTexturePen, 8);
  DibPtr texture = FilledCanvas(32, 4, 0);
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 4; ++x) DibRow(*texture, y)[x] = 1;
  f.app.texture = texture.get();
  f.Segment(2, 10, 1.0f, 60, 10, 1.0f);
  f.ExpectPainted({{33, 10}}, {{36, 10}, {20, 10}});
  f.app.texture = nullptr;
}

TEST(HalftonePen, FullPressurePaintsASolidBand) {
  // Level 1024: every texel set. w = 6: rows of centres from 10.25 - 3 to 10.25 + 3, i.e.
  // rows 8..12 (centres 7.5 is above 7.25, 13.5 below 13.25); columns floor(10.75) ..
  // floor(29.75) of the band = 10..29.
  PenFixture f(40, 24, kKindHalftonePen, 6);
  EXPECT_EQ(f.Segment(10, 10, 1.0f, 30, 10, 1.0f), 1);
  for (int y = 8; y <= 12; ++y)
    for (int x = 11; x <= 29; ++x) EXPECT_TRUE(f.Painted(x, y)) << x << "," << y;
  EXPECT_EQ(f.dirty, (PixelRect{4, 4, 37, 17}));
}

TEST(HalftonePen, HalfDensityPaintsAboutHalfOfASolidBlock) {
  // Level 512 of the clustered screen sets 512 of 1024 cells: a block covering whole tiles
  // gets exactly half of its pixels.
  PenFixture f(128, 128, kKindHalftonePen, 100);
  f.Segment(32, 64, 0.5f, 96, 64, 0.5f);
  int painted = 0;
  for (int y = 32; y < 96; ++y)
    for (int x = 32; x < 96; ++x) painted += f.Painted(x, y);
  EXPECT_EQ(painted, 64 * 64 / 2);
}

// ---- Paper-grain pens ------------------------------------------------------------------------

TEST(GrainTonePen, FullPressureIsSolidAndNoMaterialIsSolid) {
  for (bool grain : {true, false}) {
    PenFixture f(64, 32, kKindGrainTonePen, 10);
    if (grain) f.SetGrain(3);  // a deep pit passes at d = 1: T = 2^31 - 1
    f.Segment(10, 16, 1.0f, 50, 16, 1.0f);
    for (int x = 10; x <= 50; ++x) EXPECT_TRUE(f.Painted(x, 16)) << x;
    for (int y = 12; y <= 20; ++y) EXPECT_TRUE(f.Painted(30, y)) << y;
  }
  PenFixture light(64, 32, kKindGrainTonePen, 10);
  light.Segment(10, 16, 0.1f, 50, 16, 0.1f);  // without material: no screen either
  for (int x = 10; x <= 50; ++x) EXPECT_TRUE(light.Painted(x, 16)) << x;
}

TEST(GrainTonePen, LightPressureInksOnlyScreenCellsOnHighOrVeryDeepGrain) {
  // Pressure 0.0625: level 64 (64 cells of each 32 x 32 tile), d^0.25 = 0.5, T = 2^30 - 1.
  // Grain 63: 63 << 24 <= T, passes. 64: just fails. 128 and above are negative: pass.
  const struct {
    uint8_t grain;
    int expected;
  } cases[] = {{63, 64}, {64, 0}, {100, 0}, {127, 0}, {128, 64}, {255, 64}};
  for (const auto& c : cases) {
    PenFixture f(128, 128, kKindGrainTonePen, 100);
    f.SetGrain(c.grain);
    f.Segment(32, 64, 0.0625f, 96, 64, 0.0625f);
    int painted = 0;
    for (int y = 32; y < 64; ++y)
      for (int x = 32; x < 64; ++x) painted += f.Painted(x, y);
    EXPECT_EQ(painted, c.expected) << "grain " << int(c.grain);
  }
}

TEST(GrainDabPen, DabsOfTheInterpolatedWidthOnHighGrain) {
  // Grain 255 shrinks nothing. Size 10 at full pressure: size 10, spacing ceil(2) = 2, dabs at
  // x = 10, 12, 14, 16, 18 (t < 10). The last dab, at (18.25, 10.25) r 5, ends on row 10 at
  // floor(18.25 + 4.994 - 0.5) = 22; the first starts at floor(10.25 - 4.994 + 0.5) = 5.
  PenFixture f(40, 24, kKindGrainDabPen, 10);
  f.SetGrain(255);
  EXPECT_EQ(f.Segment(10, 10, 1.0f, 20, 10, 1.0f), 1);
  f.ExpectPainted({{5, 10}, {22, 10}}, {{4, 10}, {23, 10}});
  EXPECT_EQ(f.dirty, (PixelRect{5, 5, 26, 16}));  // margin trunc(11 x 0.5) = 5
}

TEST(GrainDabPen, DeepGrainSwallowsSmallPensAndOneStoredPositionPaintsNothing) {
  // Grain 0 takes floor(255 / 16) = 15 pixels off every dab: Size 16 leaves 1, nothing.
  PenFixture f(40, 24, kKindGrainDabPen, 16);
  f.SetGrain(0);
  EXPECT_EQ(f.Segment(10, 10, 1.0f, 30, 10, 1.0f), 1);
  EXPECT_EQ(f.CountChanged(), 0);
  PenFixture g(40, 24, kKindGrainDabPen, 16);
  g.SetGrain(255);
  EXPECT_EQ(g.Segment(10, 10, 1.0f, 10, 10, 1.0f), 1);
  EXPECT_EQ(g.CountChanged(), 0);
}

// ---- Tilt pens ----------------------------------------------------------------------------------

TEST(TiltPencil, UprightPencilPaintsSmallRoundDabsOnePixelApart) {
  // |alt| = 900: b = max(cos^4(90) x 5, 0.1, 2) = 2, a = 2 / sin^4(90) = 2, spacing
  // max(1, trunc(0.4)) = 1. Azimuth 90 degrees: theta = 0, the dab centre is 2 pixels right
  // of Q. With nothing carried the walk paints first at t = 1, so dabs at Q = 11 .. 19: centres
  // 13.25 .. 21.25. With A = 2 the dab polygon is the diamond of radius 2; on row 10 (0.25
  // below the centres) it reaches from 11.5 (a left edge: out) to 23.0 (right edge: in).
  PenFixture f(40, 24, kKindTiltPencil, 10);
  EXPECT_EQ(f.Segment(10, 10, 1.0f, 20, 10, 1.0f, 900, 900), 1);
  f.ExpectPainted({{12, 10}, {22, 10}}, {{11, 10}, {23, 10}, {16, 13}});
  EXPECT_FLOAT_EQ(f.app.tools.tiltPencilCarry, 1.0f);  // last dab at t = 9: D - (t - sigma) = 10 - 9
}

TEST(TiltPencil, ThirtyDegreesPaintsALongEllipseAlongTheAzimuth) {
  // |alt| = 300: b = cos^4(30) x 5 = 2.8125, a = b / sin^4(30) = 45, spacing 1. One dab, at
  // t = 1 (Q = 21): the ellipse runs from the pen point x = 21.25 to 111.25 along theta = 0,
  // centre (66.25, 20.25). On row 20 (v = 0.25) its polygon (180 vertices, one per pixel of u)
  // spans about 21.67 .. 110.83: pixels 22..110. Across it reaches rows 17.44 .. 23.06.
  PenFixture f(160, 40, kKindTiltPencil, 10);
  f.Segment(20, 20, 1.0f, 22, 20, 1.0f, 300, 900);
  f.ExpectPainted({{22, 20}, {110, 20}, {66, 22}}, {{21, 20}, {111, 20}, {66, 23}});
}

namespace {

constexpr double kHalfTurn = 3.14159265358979323846;

// How far the dab's polygon strays from the ellipse it stands for: the largest distance of an
// arc of the ellipse from the chord joining its ends, over all edges (the vertices lie on it).
double OutlineDeviation(float along, float across, double theta) {
  const std::vector<PointF> points = EllipseDabOutline(0.0f, 0.0f, along, across, theta);
  const double c = std::cos(theta), s = std::sin(theta);
  // A point in the dab's own frame: u along the long axis, v across.
  auto local = [&](const PointF& p) { return std::pair{p.x * c - p.y * s, -p.x * s - p.y * c}; };
  double worst = 0.0;
  for (size_t i = 0; i < points.size(); ++i) {
    const auto [u0, v0] = local(points[i]);
    const auto [u1, v1] = local(points[(i + 1) % points.size()]);
    // The arc between the two vertices in the ellipse's angle, sampled.
    const double t0 = std::atan2(v0 / across, u0 / along), t1 = std::atan2(v1 / across, u1 / along);
    double dt = t1 - t0;
    if (dt > kHalfTurn) dt -= 2 * kHalfTurn;
    if (dt < -kHalfTurn) dt += 2 * kHalfTurn;
    const double length = std::hypot(u1 - u0, v1 - v0);
    for (int k = 0; k <= 16; ++k) {
      const double t = t0 + dt * k / 16.0;
      const double u = along * std::cos(t), v = across * std::sin(t);
      worst = std::max(worst, std::fabs((u - u0) * (v1 - v0) - (v - v0) * (u1 - u0)) / length);
    }
  }
  return worst;
}

}  // namespace

// The ellipse dab's polygon has 4 x floor(A) vertices whatever its length, so it stays within
// half a pixel of the ellipse: a flat tilt pencil of Size 1000 paints a dab 20000 pixels long.
TEST(TiltPencil, TheEllipseOutlineStaysWithinHalfAPixelAtEverySize) {
  const struct {
    float along, across;
    int vertices;
  } dabs[] = {
      {10000.0f, 500.0f, 40000},  // Size 1000 held flat: b = 500, a = 20 b
      {45.0f, 2.8125f, 180},      // Size 10 at 30 degrees
      {500.0f, 500.0f, 2000},     // a round eraser dab of Size 1000
      {2.99f, 2.99f, 8},          // the fewest vertices for the widest step
      {3.5f, 1.0f, 12},
  };
  for (const auto& dab : dabs) {
    for (const double theta : {0.0, 0.3, kHalfTurn / 2, 2.5}) {
      SCOPED_TRACE(std::to_string(dab.along) + " x " + std::to_string(dab.across) + " at " + std::to_string(theta));
      EXPECT_EQ(dab.vertices, EllipseDabVertexCount(dab.along));
      EXPECT_EQ(static_cast<size_t>(dab.vertices), EllipseDabOutline(0.0f, 0.0f, dab.along, dab.across, theta).size());
      EXPECT_LT(OutlineDeviation(dab.along, dab.across, theta), 0.5);
    }
  }
  // Sizes beyond the largest pen's stay finite.
  EXPECT_EQ(40000, EllipseDabVertexCount(1e9f));
  EXPECT_EQ(4, EllipseDabVertexCount(2.0f));
}

TEST(TiltPencil, ShortSegmentsCarryTheirLengthToTheNextDab) {
  // Size 100 at 45 degrees: s1 = 100, b = cos^4(45) x 50 = 12.5, spacing trunc(2.5) = 2. A
  // segment of length 1 paints nothing and carries 1; the next segment's first dab comes at
  // 2 - 1 = 1 from its start instead of 2, and leaves 2 - 1 = 1 to carry.
  PenFixture f(200, 80, kKindTiltPencil, 100);
  f.Segment(20, 20, 1.0f, 21, 20, 1.0f, 450, 900);
  EXPECT_EQ(f.CountChanged(), 0);
  EXPECT_FLOAT_EQ(f.app.tools.tiltPencilCarry, 1.0f);
  f.Segment(21, 20, 1.0f, 23, 20, 1.0f, 450, 900);
  // The dab starts at Q = 22, x = 22.25.
  f.ExpectPainted({{23, 20}}, {{21, 20}});
  EXPECT_FLOAT_EQ(f.app.tools.tiltPencilCarry, 1.0f);
}

TEST(TiltPencil, ARawPenDownStartsWithNothingCarried) {
  // A stroke's first segment has both smoothed samples at the pen-down point; only the raw pair
  // shows the pen-down. The carry of 1 left by an earlier stroke is dropped, so the first dab
  // comes a full spacing (2) from the start, at Q = 22, not at 21.
  PenFixture f(200, 80, kKindTiltPencil, 100);
  f.app.tools.tiltPencilCarry = 1.0f;
  f.input.previous.pressure = 0;
  f.input.current.pressure = 1000;
  f.Segment(20, 20, 1.0f, 23, 20, 1.0f, 450, 900);
  // The dab at Q = 22 starts at x = 22.25.
  f.ExpectPainted({{23, 20}}, {{21, 20}});
  // One dab at t = 2 leaves 3 - 2 = 1; the stale carry would have put it at t = 1, leaving 2.
  EXPECT_FLOAT_EQ(f.app.tools.tiltPencilCarry, 1.0f);
}

TEST(TiltEraser, SizeOneErasesOnlyAtFullPressureAndLowAltitudeErasesNothing) {
  PenFixture f(30, 30, kKindTiltEraser, 1, 0x00);
  f.Segment(5, 5, 0.9f, 20, 5, 0.9f, 900, 900);  // trunc(0.45 + 0.5) = 0 at both ends
  EXPECT_EQ(f.CountChanged(0x00), 0);
  f.Segment(5, 8, 1.0f, 20, 8, 1.0f, 900, 900);
  EXPECT_GT(f.CountChanged(0x00), 0);

  PenFixture g(30, 30, kKindTiltEraser, 20, 0x00);
  g.app.tools.tiltEraserCarry = 0;
  EXPECT_EQ(g.Segment(5, 5, 1.0f, 20, 5, 1.0f, 250, 900), 1);  // k = 0: no width across
  EXPECT_EQ(g.CountChanged(0x00), 0);
  EXPECT_GT(g.dirty.right, 20);
}

TEST(TiltPencil, GrainSpeckleDiffersBetweenIdenticalStrokes) {
  // One session draws the same stroke twice on a fresh canvas: the generator runs on.
  PenFixture f(60, 60, kKindTiltPencil, 30);
  f.SetGrain(255);
  f.Segment(10, 30, 0.5f, 40, 30, 0.5f, 450, 900);
  std::vector<uint8_t> first;
  for (int y = 0; y < 60; ++y)
    for (int x = 0; x < 60; ++x) first.push_back(f.At(x, y));
  for (int y = 0; y < 60; ++y) std::fill_n(DibRow(*f.bitmap, y), 60, uint8_t{0xFF});
  f.app.tools.tiltPencilCarry = 0;
  f.Segment(10, 30, 0.5f, 40, 30, 0.5f, 450, 900);
  EXPECT_GT(f.CountChanged(), 0);
  int differ = 0;
  for (int y = 0; y < 60; ++y)
    for (int x = 0; x < 60; ++x) differ += first[static_cast<size_t>(y * 60 + x)] != f.At(x, y);
  EXPECT_GT(differ, 0);
}
