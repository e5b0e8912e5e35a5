#include "app/touch_gesture.h"

#include <gtest/gtest.h>

#include <numbers>

#include "view/view_mapping.h"
#include "view/view_operations.h"
#include "view/view_test_support.h"

TEST(TouchGesture, OneFingerScrollsByItsMovement) {
  TouchGesture g;
  EXPECT_EQ(TouchDown(g, 7, 100, 100).kind, TouchStep::kNothing);
  EXPECT_TRUE(TouchGestureRunning(g));
  const TouchStep step = TouchMove(g, 7, 110, 95);
  ASSERT_EQ(step.kind, TouchStep::kScroll);
  EXPECT_EQ(step.dx, -10);  // the picture follows the finger right and up
  EXPECT_EQ(step.dy, 5);
  EXPECT_EQ(TouchMove(g, 7, 110, 95).kind, TouchStep::kNothing);
  EXPECT_EQ(TouchMove(g, 8, 0, 0).kind, TouchStep::kNothing);  // a finger it does not track
  EXPECT_EQ(TouchUp(g, 7).kind, TouchStep::kNothing);
  EXPECT_FALSE(TouchGestureRunning(g));
}

TEST(TouchGesture, TwoFingersPreviewZoomAndTurnAboutTheirStartingMidpoint) {
  TouchGesture g;
  TouchDown(g, 1, 100, 100);
  EXPECT_EQ(TouchDown(g, 2, 200, 100).kind, TouchStep::kBeginPreview);
  EXPECT_EQ(TouchDown(g, 3, 500, 500).kind, TouchStep::kNothing);  // a third finger is ignored
  struct Case {
    int32_t x, y;  // where the second finger moves to; the first stays at (100, 100)
    float zoom, angle;
  };
  constexpr float kQuarter = std::numbers::pi_v<float> / 2;
  constexpr Case kCases[] = {
      {300, 100, 2.0f, 0.0f},        // twice as far apart, same direction
      {100, 150, 0.5f, -kQuarter},   // half as far, turned a quarter the other way
      {100, 50, 0.5f, kQuarter},
      {100 + 100000, 100, 8.0f, 0.0f},  // zooming is limited each way
      {101, 100, 0.125f, 0.0f},
  };
  for (const Case& c : kCases) {
    const TouchStep step = TouchMove(g, 2, c.x, c.y);
    ASSERT_EQ(step.kind, TouchStep::kPreview);
    EXPECT_FLOAT_EQ(step.preview.zoom, c.zoom) << c.x << "," << c.y;
    EXPECT_NEAR(step.preview.angle, c.angle, 1e-6) << c.x << "," << c.y;
    EXPECT_EQ(step.preview.centreX, 150);
    EXPECT_EQ(step.preview.centreY, 100);
  }
}

TEST(TouchGesture, LiftingOneOfThePairAppliesOnceAndTheOtherFingerDoesNotPan) {
  TouchGesture g;
  TouchDown(g, 1, 100, 100);
  TouchMove(g, 1, 90, 100);  // a one-finger start, then the second finger joins
  TouchDown(g, 2, 190, 100);
  TouchMove(g, 2, 290, 100);
  EXPECT_EQ(TouchUp(g, 2).kind, TouchStep::kApply);
  EXPECT_FLOAT_EQ(g.zoom, 2.0f);  // the record still holds what the pair did
  EXPECT_EQ(TouchMove(g, 1, 50, 50).kind, TouchStep::kNothing);
  EXPECT_EQ(TouchDown(g, 5, 10, 10).kind, TouchStep::kNothing);
  EXPECT_EQ(TouchUp(g, 1).kind, TouchStep::kNothing);
  EXPECT_FALSE(TouchGestureRunning(g));
  // All fingers up: the next touch pans again.
  TouchDown(g, 9, 10, 10);
  EXPECT_EQ(TouchMove(g, 9, 12, 10).kind, TouchStep::kScroll);
}

TEST(TouchGesture, FingersLandingTogetherCountAsOnePixelApart) {
  TouchGesture g;
  TouchDown(g, 1, 50, 50);
  TouchDown(g, 2, 50, 50);
  EXPECT_FLOAT_EQ(TouchMove(g, 2, 53, 54).preview.zoom, 5.0f);
}

TEST(TouchGesture, TheCanvasPointUnderTheMidpointStaysThere) {
  TestView t(2000, 2000, 400, 300);
  t.RecordHooks();
  SetViewScale(t.view, 2.0f);
  TouchGesture g;
  TouchDown(g, 1, 250, 100);
  TouchDown(g, 2, 350, 100);  // midpoint (300, 100), off the client centre (200, 150)
  TouchMove(g, 2, 450, 100);  // twice as far apart
  const ViewPointF before = ClientToCanvasF(t.view, 300, 100);
  ASSERT_EQ(TouchUp(g, 1).kind, TouchStep::kApply);
  ApplyTouchGesture(g, t.view);
  EXPECT_FLOAT_EQ(t.view.scale, 1.0f);
  EXPECT_FLOAT_EQ(t.view.rotation, 0.0f);
  const ViewPointF after = ClientToCanvasF(t.view, 300, 100);
  EXPECT_NEAR(after.x, before.x, 1.0f);
  EXPECT_NEAR(after.y, before.y, 1.0f);
}

TEST(TouchGesture, ATwistTurnsTheViewByItsAngle) {
  TestView t(2000, 2000, 400, 300);
  t.RecordHooks();
  TouchGesture g;
  TouchDown(g, 1, 200, 150);
  TouchDown(g, 2, 300, 150);  // to the right: pi/2
  TouchMove(g, 2, 200, 250);  // below: 0, the same distance
  TouchUp(g, 2);
  ApplyTouchGesture(g, t.view);
  EXPECT_FLOAT_EQ(t.view.rotation, 270.0f);  // as a rotate drag the same way
  EXPECT_FLOAT_EQ(t.view.scale, 1.0f);  // the fingers kept their distance
}
