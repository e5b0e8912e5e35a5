#include "view/view_mapping.h"

#include <gtest/gtest.h>

#include <cmath>

#include "view/view_test_support.h"

TEST(ViewMapping, StraightOneToOneIsATranslation) {
  TestView t(64, 48);
  t.view.originX = 7;
  t.view.originY = -3;
  EXPECT_EQ(CanvasToView(t.view, 10, 20), (ViewPoint{10, 20}));
  EXPECT_EQ(CanvasToClient(t.view, 10, 20), (ViewPoint{17, 17}));
  EXPECT_EQ(CanvasToClientF(t.view, 10.25f, 20.5f), (ViewPointF{17.25f, 17.5f}));
  EXPECT_EQ(ClientToCanvasF(t.view, 17.25f, 17.5f), (ViewPointF{10.25f, 20.5f}));
  EXPECT_EQ(ViewToCanvas(t.view, 10, 20), (ViewPoint{10, 20}));
}

TEST(ViewMapping, ScaleDividesAndRoundsHalfUp) {
  TestView t(64, 48);
  t.view.scale = 2.0f;
  // (10, 6) / 2 = (5, 3); (11, 7) / 2 = (5.5, 3.5) rounds up to (6, 4).
  EXPECT_EQ(CanvasToView(t.view, 10, 6), (ViewPoint{5, 3}));
  EXPECT_EQ(CanvasToView(t.view, 11, 7), (ViewPoint{6, 4}));
  t.view.scale = 0.25f;
  EXPECT_EQ(CanvasToView(t.view, 3, 1), (ViewPoint{12, 4}));
}

TEST(ViewMapping, QuarterTurnTurnsCounterclockwiseOnScreen) {
  // W = 6, H = 4 at 90 degrees: c = 0, s = 1, BW = H = 4, BH = W = 6.
  // (0, 0): dx = -3, dy = -2; rx = dy = -2, ry = -dx = 3; view (-2 + 2, 3 + 3) = (0, 6).
  // (6, 0): rx = -2, ry = -3 -> (0, 0).  (0, 4): rx = 2, ry = 3 -> (4, 6).
  TestView t(6, 4);
  t.view.rotation = 90.0f;
  EXPECT_EQ(CanvasToView(t.view, 0, 0), (ViewPoint{0, 6}));
  EXPECT_EQ(CanvasToView(t.view, 6, 0), (ViewPoint{0, 0}));
  EXPECT_EQ(CanvasToView(t.view, 0, 4), (ViewPoint{4, 6}));
  EXPECT_EQ(CanvasRectToView(t.view, {0, 0, 6, 4}), (PixelRect{0, 0, 4, 6}));
}

TEST(ViewMapping, MirrorShowsTheLeftEdgeOnTheRight) {
  TestView t(64, 48);
  t.view.mirrored = 1;
  // x = W - x: canvas x 0 lies at view x 64, the last column's left edge (63) at 1.
  EXPECT_EQ(CanvasToViewF(t.view, 0, 5), (ViewPointF{64.0f, 5.0f}));
  EXPECT_EQ(CanvasToViewF(t.view, 63, 5), (ViewPointF{1.0f, 5.0f}));
  EXPECT_EQ(ViewToCanvas(t.view, 1, 5), (ViewPoint{63, 5}));
}

TEST(ViewMapping, IntegerRoundTripAtRightAnglesAndMirror) {
  // W / scale is whole for every scale here, so BW' = BW / scale and canvas points at multiples
  // of the scale map to whole view points and back exactly.
  TestView t(64, 48);
  for (float scale : {0.25f, 1.0f, 2.0f})
    for (float rotation : {0.0f, 90.0f, 180.0f, 270.0f})
      for (int mirrored : {0, 1}) {
        t.view.scale = scale;
        t.view.rotation = rotation;
        t.view.mirrored = mirrored;
        for (ViewPoint p : {ViewPoint{0, 0}, ViewPoint{10, 6}, ViewPoint{32, 24}, ViewPoint{62, 46}}) {
          ViewPoint v = CanvasToView(t.view, static_cast<float>(p.x), static_cast<float>(p.y));
          EXPECT_EQ(ViewToCanvas(t.view, static_cast<float>(v.x), static_cast<float>(v.y)), p)
              << "scale " << scale << " rotation " << rotation << " mirrored " << mirrored;
        }
      }
}

TEST(ViewMapping, FloatingRoundTripAtAnyAngle) {
  TestView t(64, 48);
  t.view.originX = 13;
  t.view.originY = -21;
  for (float scale : {0.5f, 3.0f})
    for (float rotation : {30.0f, 137.5f, 301.0f})
      for (int mirrored : {0, 1}) {
        t.view.scale = scale;
        t.view.rotation = rotation;
        t.view.mirrored = mirrored;
        ViewPointF c = CanvasToClientF(t.view, 17.5f, 40.25f);
        ViewPointF back = ClientToCanvasF(t.view, c.x, c.y);
        EXPECT_NEAR(back.x, 17.5f, 1e-3f);
        EXPECT_NEAR(back.y, 40.25f, 1e-3f);
      }
}

TEST(ViewMapping, SnapsOnlyWithinATenThousandth) {
  EXPECT_EQ(SnapNearInteger(2.99995f), 3.0f);
  EXPECT_EQ(SnapNearInteger(-1.00005f), -1.0f);
  EXPECT_EQ(SnapNearInteger(2.9998f), 2.9998f);
  EXPECT_EQ(RoundToInt(-0.5f), 0);  // floor(-0.5 + 0.5)
  EXPECT_EQ(RoundToInt(-0.6f), -1);
  EXPECT_EQ(RoundToInt(1e20f), INT32_MAX);
}

TEST(ViewMapping, RectanglesCoverTheirMappedCorners) {
  TestView t(64, 48);
  t.view.scale = 2.0f;
  t.view.originX = 10;
  t.view.originY = 20;
  // Corners (1, 1) and (4, 5) halve to (0.5, 0.5) and (2, 2.5): floor and ceiling give (0, 0, 2, 3).
  EXPECT_EQ(CanvasRectToView(t.view, {1, 1, 4, 5}), (PixelRect{0, 0, 2, 3}));
  EXPECT_EQ(CanvasRectToClient(t.view, {1, 1, 4, 5}), (PixelRect{10, 20, 12, 23}));

  // 45 degrees, 4 x 4, scale 1: c = s = 0.7071, box 5.657 with half 2.828. Corners of
  // (2, 2, 3, 3): (2, 2) -> (2.828, 2.828); (3, 2) -> (3.536, 2.121); (2, 3) -> (3.536, 3.536);
  // (3, 3) -> (4.243, 2.828). Cover: (2, 2, 5, 4).
  TestView r(4, 4);
  r.view.rotation = 45.0f;
  EXPECT_EQ(CanvasRectToView(r.view, {2, 2, 3, 3}), (PixelRect{2, 2, 5, 4}));
}

TEST(ViewMapping, ViewRectangleToCanvas) {
  // 8 x 8 at scale 2: image 4 x 4, u = vx - 2, x = u * 2 + 4. View (1, 1, 3, 2) -> (2, 2, 6, 4).
  TestView t(8, 8);
  t.view.scale = 2.0f;
  EXPECT_EQ(ViewRectToCanvas(t.view, {1, 1, 3, 2}), (PixelRect{2, 2, 6, 4}));
}

TEST(ViewSampler, ReducesOnlyAboveTheRotatedSpan) {
  // d = |sin| + |cos|: 1 when straight, sqrt 2 = 1.4142 at 45 degrees.
  EXPECT_EQ(ChooseSamplerKind(1.0f, 0.0f), kSamplerNearest);
  EXPECT_EQ(ChooseSamplerKind(1.5f, 0.0f), kSamplerReducing);
  EXPECT_EQ(ChooseSamplerKind(1.4f, 45.0f), kSamplerNearest);
  EXPECT_EQ(ChooseSamplerKind(1.5f, 45.0f), kSamplerReducing);
  EXPECT_EQ(ChooseSamplerKind(0.25f, 30.0f), kSamplerNearest);

  TestView t(8, 8);
  static int reducingCalls = 0;
  t.view.samplers[kSamplerReducing] = [](CanvasView&, const Canvas&, const PixelRect&, int) {
    ++reducingCalls;
    return true;
  };
  t.view.scale = 2.0f;
  ChooseSampler(t.view);
  ASSERT_NE(t.view.sampler, nullptr);
  EXPECT_TRUE(t.view.sampler(t.view, *t.canvas, {0, 0, 1, 1}, 1));
  EXPECT_EQ(reducingCalls, 1);
}
