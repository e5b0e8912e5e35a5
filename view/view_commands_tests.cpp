#include "view/view_commands.h"

#include <gtest/gtest.h>

#include <numbers>
#include <string>

#include "view/view_test_support.h"

TEST(ZoomSteps, InAndOutStopAtTheEnds) {
  EXPECT_EQ(ZoomInScale(3.0f), 2.0f);
  EXPECT_EQ(ZoomOutScale(3.0f), 4.0f);
  EXPECT_EQ(ZoomInScale(16.0f), 8.0f);
  EXPECT_EQ(ZoomOutScale(0.125f), 0.25f);
  EXPECT_EQ(ZoomInScale(0.125f), 0.0f);  // nothing below 0.125
  EXPECT_EQ(ZoomOutScale(16.0f), 0.0f);  // nothing above 16
  EXPECT_EQ(ZoomInScale(1.0f), 0.5f);    // strictly below
  EXPECT_EQ(ZoomOutScale(1.0f), 2.0f);   // strictly above

  TestView t(800, 600);
  t.view.scale = 0.125f;
  EXPECT_FALSE(ZoomIn(t.view));
  EXPECT_EQ(t.view.scale, 0.125f);
  EXPECT_TRUE(ZoomOut(t.view));
  EXPECT_EQ(t.view.scale, 0.25f);
}

TEST(ZoomSteps, PresetsAndTheirRepeat) {
  TestView t(800, 600);
  t.view.scale = 3.0f;
  EXPECT_TRUE(ZoomPreset(t.view, 5));
  EXPECT_EQ(t.view.scale, 1.0f);
  EXPECT_FALSE(ZoomPreset(t.view, 5));  // already there
  EXPECT_TRUE(ZoomPreset(t.view, 8));
  EXPECT_EQ(t.view.scale, 0.125f);
  EXPECT_FALSE(ZoomPreset(t.view, 9));
}

TEST(ZoomSteps, ScaleChangesRunUnderTheWaitCursor) {
  static std::string cursor;
  TestView t(800, 600);
  t.view.hooks.waitCursor = [](CanvasView& v, int on) {
    cursor += on ? "wait@" + std::to_string(v.scale) + " " : "restore@" + std::to_string(v.scale);
  };
  t.view.scale = 3.0f;
  ZoomIn(t.view);
  EXPECT_EQ(cursor, "wait@3.000000 restore@2.000000");
}

TEST(Wheel, OneStepPerNotchWhateverTheDelta) {
  int32_t sum = 0;
  EXPECT_EQ(AccumulateWheel(sum, 60), kWheelNone);
  EXPECT_EQ(AccumulateWheel(sum, 59), kWheelNone);
  EXPECT_EQ(AccumulateWheel(sum, 1), kWheelZoomOut);  // 120 reached
  EXPECT_EQ(sum, 0);
  EXPECT_EQ(AccumulateWheel(sum, -480), kWheelZoomIn);  // four notches at once: one step
  EXPECT_EQ(sum, 0);
  EXPECT_EQ(AccumulateWheel(sum, -119), kWheelNone);
  EXPECT_EQ(AccumulateWheel(sum, 119), kWheelNone);
}

TEST(Fit, ShowsTheWholeCanvasButNeverMagnifies) {
  TestView t(800, 600, 400, 300);
  EXPECT_EQ(FitScale(t.view), 2.0f);  // max(800 / 400, 600 / 300)
  TestView wide(800, 100, 400, 300);
  EXPECT_EQ(FitScale(wide.view), 2.0f);  // max(2, 0.33)
  TestView small(200, 100, 400, 300);
  EXPECT_EQ(FitScale(small.view), 1.0f);  // 0.5 clamps to 1
  TestView huge(3200, 100, 100, 300);
  EXPECT_EQ(FitScale(huge.view), 16.0f);  // 32 clamps to 16

  FitViewToWindow(t.view);
  EXPECT_EQ(t.view.scale, 2.0f);
  EXPECT_EQ(t.view.rotation, 0.0f);
}

TEST(RotationCommands, QuarterSteps) {
  EXPECT_EQ(NextQuarterRotation(0.0f), 90);
  EXPECT_EQ(NextQuarterRotation(45.5f), 90);
  EXPECT_EQ(NextQuarterRotation(90.0f), 180);
  EXPECT_EQ(PreviousQuarterRotation(90.0f), 0);     // (179 / 90) * 90 - 90
  EXPECT_EQ(PreviousQuarterRotation(100.0f), 90);   // (189 / 90) * 90 - 90
  EXPECT_EQ(PreviousQuarterRotation(0.0f), -90);    // stored as 270

  TestView t(800, 600);
  RotateToPreviousQuarter(t.view);
  EXPECT_EQ(t.view.rotation, 270.0f);
  RotateToNextQuarter(t.view);  // 360 normalises to 0
  EXPECT_EQ(t.view.rotation, 0.0f);
  RotateBy(t.view, -15.0f);
  EXPECT_EQ(t.view.rotation, 345.0f);
  RotationPreset(t.view, 3);
  EXPECT_EQ(t.view.rotation, 180.0f);
}

TEST(Title, ZoomTextReadsAsAFractionOrAMagnification) {
  char16_t text[32];
  EXPECT_EQ(FormatZoomTitle(2.0f, text, 32), 10);
  EXPECT_EQ(std::u16string(text), u" - 1/2.000");
  FormatZoomTitle(1.0f, text, 32);
  EXPECT_EQ(std::u16string(text), u" - 1/1.000");
  FormatZoomTitle(0.25f, text, 32);
  EXPECT_EQ(std::u16string(text), u" - x4.000");
  EXPECT_EQ(FormatZoomTitle(2.0f, text, 10), -1);  // needs 11 units with the zero
  EXPECT_EQ(text[0], u'\0');
}

TEST(Drag, RotateAndZoomArithmetic) {
  // Centre of a 401 x 300 client: (200, 150).
  EXPECT_EQ(DragAngle(200, 150, 401, 300), 0.0);
  EXPECT_DOUBLE_EQ(DragAngle(210, 150, 401, 300), std::numbers::pi / 2);  // right of centre
  EXPECT_DOUBLE_EQ(DragRotationDegrees(0.0, std::numbers::pi / 2), 90.0);

  EXPECT_EQ(DragZoomStartRadius(230, 160, 400, 300), 100);  // 30 is raised to 100
  EXPECT_EQ(DragZoomStartRadius(50, 10, 400, 300), 150);    // max(150, 140)
  EXPECT_EQ(DragZoomScale(4.0f, 200, 100), 2.0f);           // 4 / (200 / 100)
  EXPECT_EQ(DragZoomScale(4.0f, 50, 100), 8.0f);
  EXPECT_EQ(DragZoomScale(1.0f, 400, 100), 1.0f);           // 0.25 clamps to 1
  EXPECT_EQ(DragZoomScale(8.0f, 10, 100), 16.0f);           // 80 clamps to 16
}
