#include "app/bar_control.h"

#include <gtest/gtest.h>

namespace {

BarState Bar(int32_t width, BarScale scale, int32_t maximum) {
  BarState bar = NewBarState(width + 2);
  bar.scale = scale;
  bar.maximum = maximum;
  return bar;
}

int32_t ValueAt(BarState bar, float position) {
  bar.position = position;
  return BarValue(bar);
}

TEST(BarControl, StartsLinearWithTheWidthAsMaximum) {
  const BarState bar = NewBarState(101);
  EXPECT_EQ(bar.width, 99);
  EXPECT_EQ(bar.maximum, 99);
  EXPECT_EQ(bar.scale, BarScale::kLinear);
  EXPECT_FALSE(bar.dragging);
}

TEST(BarControl, LinearValuesRoundDownAndPositionsUp) {
  const BarState bar = Bar(99, BarScale::kLinear, 100);
  // 100 * 50 / 99 = 50.5 -> 50; 100 * 98 / 99 = 98.99 -> 98.
  EXPECT_EQ(ValueAt(bar, 0), 0);
  EXPECT_EQ(ValueAt(bar, 50), 50);
  EXPECT_EQ(ValueAt(bar, 98), 98);
  EXPECT_EQ(ValueAt(bar, 99), 100);
  // 99 * 50 / 100 = 49.5 -> 50, which reads back as 50.
  EXPECT_FLOAT_EQ(BarPositionOf(bar, 50), 50.0f);
  EXPECT_FLOAT_EQ(BarPositionOf(bar, 1), 1.0f);
}

TEST(BarControl, LogarithmicBarShowsOneAtTheLeftAndTheMaximumAtTheRight) {
  // 1000^0 = 1; 1000^0.5 = 31.6 -> 32; 1000^1 = 1000.
  const BarState bar = Bar(1000, BarScale::kLogarithmic, 1000);
  EXPECT_EQ(ValueAt(bar, 0), 1);
  EXPECT_EQ(ValueAt(bar, 500), 32);
  EXPECT_EQ(ValueAt(bar, 1000), 1000);
  // The pen window's size bar, 99 pixels: 1000^(33/99) = 10.
  EXPECT_EQ(ValueAt(Bar(99, BarScale::kLogarithmic, 1000), 33), 10);
}

TEST(BarControl, LogarithmicPositionsOfValues) {
  const BarState bar = Bar(99, BarScale::kLogarithmic, 1000);
  EXPECT_FLOAT_EQ(BarPositionOf(bar, 1000), 99.0f);
  EXPECT_NEAR(BarPositionOf(bar, 10), 33.0f, 1e-4);  // log 10 / log 1000 = 1/3
  EXPECT_FLOAT_EQ(BarPositionOf(bar, 1), 0.0f);
  EXPECT_FLOAT_EQ(BarPositionOf(bar, 0), 0.0f);  // no finite logarithm: the left end
}

TEST(BarControl, ValuesOutsideTheRangeGoToTheEnds) {
  for (BarScale scale : {BarScale::kLinear, BarScale::kLogarithmic}) {
    const BarState bar = Bar(99, scale, 1000);
    EXPECT_FLOAT_EQ(BarPositionOf(bar, 5000), 99.0f);
    EXPECT_FLOAT_EQ(BarPositionOf(bar, -3), 0.0f);
  }
  EXPECT_FLOAT_EQ(BarPositionOf(Bar(99, BarScale::kLogarithmic, 1), 1), 0.0f);
}

TEST(BarControl, PressJumpsAndDragFollowsWithinTheBar) {
  BarState bar = Bar(99, BarScale::kLinear, 99);
  BarReaction r = BarPress(bar, 40, false);
  EXPECT_TRUE(r.sendValue);
  EXPECT_TRUE(bar.dragging);
  EXPECT_EQ(BarValue(bar), 40);
  r = BarMove(bar, 150);
  EXPECT_TRUE(r.sendValue);
  EXPECT_EQ(BarValue(bar), 99);
  r = BarMove(bar, 150);
  EXPECT_FALSE(r.sendValue);  // did not move
  r = BarMove(bar, -20);
  EXPECT_EQ(BarValue(bar), 0);
  BarRelease(bar);
  EXPECT_FALSE(bar.dragging);
  EXPECT_FALSE(BarMove(bar, 30).repaint);  // not dragging: nothing
  EXPECT_EQ(BarValue(bar), 0);
}

TEST(BarControl, ShiftDragMovesOneSixteenthOfThePointer) {
  BarState bar = Bar(99, BarScale::kLinear, 99);
  bar.position = 20;
  const BarReaction press = BarPress(bar, 50, true);
  EXPECT_FALSE(press.sendValue);  // the press only anchors
  EXPECT_TRUE(press.repaint);
  EXPECT_FLOAT_EQ(bar.position, 20.0f);
  EXPECT_TRUE(BarMove(bar, 66).sendValue);
  EXPECT_FLOAT_EQ(bar.position, 21.0f);
  BarMove(bar, 58);
  EXPECT_FLOAT_EQ(bar.position, 20.5f);
  BarMove(bar, 58 - 16 * 30);
  EXPECT_FLOAT_EQ(bar.position, 0.0f);  // kept at the left end
}

TEST(BarControl, SetSelectsScaleMaximumAndValue) {
  BarState bar = NewBarState(101);
  EXPECT_TRUE(BarSet(bar, 2, 0));
  EXPECT_EQ(bar.scale, BarScale::kLogarithmic);
  EXPECT_TRUE(BarSet(bar, 3, 1000));
  EXPECT_EQ(bar.maximum, 1000);
  EXPECT_TRUE(BarSet(bar, 4, 1000));
  EXPECT_FLOAT_EQ(bar.position, 99.0f);
  EXPECT_TRUE(BarSet(bar, 1, 0));
  EXPECT_EQ(bar.scale, BarScale::kLinear);
  EXPECT_TRUE(BarSet(bar, 3, 0));
  EXPECT_EQ(bar.maximum, 1);
  EXPECT_FALSE(BarSet(bar, 5, 7));
}

TEST(BarControl, DrawScaleFollowsTheHeight) {
  const struct {
    int32_t height;
    float scale;
  } cases[] = {{13, 1.0f}, {18, 1.0f}, {19, 1.5f}, {25, 1.5f}, {26, 2.0f}, {38, 2.0f}, {39, 3.0f}, {60, 3.0f}};
  for (const auto& c : cases) EXPECT_FLOAT_EQ(BarDrawScale(c.height), c.scale) << c.height;
}

}  // namespace
