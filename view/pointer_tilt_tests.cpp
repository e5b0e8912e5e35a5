#include "view/pointer_tilt.h"

#include <gtest/gtest.h>

TEST(PenTilt, UntiltedPenReportsTheDefaults) {
  EXPECT_EQ(PenPointerOrientation(0, 0, 0, false, 0), (PenOrientation{1300, 550}));
  EXPECT_EQ(PenPointerOrientation(0, 0, 0, true, 90), (PenOrientation{1300, -550}));
}

TEST(PenTilt, TiltTowardTheUser) {
  // tx = 0, ty = 30: ca = cos 90 = 0, cb = cos 120 = -0.5, az = atan2(-0.5, 0) = -90 degrees.
  // e = 90 - acos(1 / sqrt(1.25)) = 90 - 26.565 = 63.435; cos^2 az = 0, sin^2 az = 1, so
  // alt = (63.435 + 0 * 90 + 1 * 60) / 2 = 61.717 -> floor(617.17 + 0.5) = 617.
  // azimuth: trunc(-90 - 90 + 0) = -180, non-negative mod 360 = 180 -> 1800.
  EXPECT_EQ(PenPointerOrientation(0, 30, 0, false, 0), (PenOrientation{1800, 617}));
  EXPECT_EQ(PenPointerOrientation(0, 30, 0, true, 0), (PenOrientation{1800, -617}));
  EXPECT_EQ(PenPointerOrientation(0, 30, 0, false, 90), (PenOrientation{2700, 617}));
}

TEST(PenTilt, UnequalTiltsWeighTheirOwnAxes) {
  // tx = -20, ty = 45: ca = cos 70 = 0.34202, cb = cos 135 = -0.70711, az = -64.187 degrees.
  // e = 90 - acos(1 / sqrt(1.61698)) = 90 - 38.142 = 51.858; cos^2 az = 0.18954 weighs
  // 90 - 20 = 70, sin^2 az = 0.81046 weighs 90 - 45 = 45:
  // alt = (51.858 + 13.268 + 36.471) / 2 = 50.798 -> 508.
  // azimuth: -64.187 - 90 = -154.187 truncates toward zero to -154 -> 206 -> 2060.
  EXPECT_EQ(PenPointerOrientation(-20, 45, 0, false, 0), (PenOrientation{2060, 508}));
}

TEST(PenTilt, DisplayOffsetFollowsTheDisplaysNaturalShape) {
  EXPECT_EQ(DisplayOffsetDegrees(0, 1920, 1080), 0);
  EXPECT_EQ(DisplayOffsetDegrees(2, 1080, 1080), 0);
  EXPECT_EQ(DisplayOffsetDegrees(1, 1080, 1920), 0);   // landscape panel turned upright
  EXPECT_EQ(DisplayOffsetDegrees(0, 1080, 1920), 90);  // portrait panel
  EXPECT_EQ(DisplayOffsetDegrees(3, 1920, 1080), 90);
}

TEST(PenPosition, DeviceRectangleToSixteenths) {
  // x: (5001 - 1000) / 8000 * 800 + 100 = 500.1, * 16 = 8001.6 -> 8001.
  // y: (4000 - 2000) / 4000 * 600 + 50 = 350 -> 5600.
  int32_t x = -1, y = -1;
  EXPECT_TRUE(PointerDevicePosition({1000, 2000, 9000, 6000}, {100, 50, 900, 650}, 5001, 4000, x, y));
  EXPECT_EQ(x, 8001);
  EXPECT_EQ(y, 5600);
  // A display left of the primary one: (0 / 8000) * 800 - 1920 = -1920 -> -30720.
  EXPECT_TRUE(PointerDevicePosition({0, 0, 8000, 4000}, {-1920, 0, -1120, 600}, 0, 0, x, y));
  EXPECT_EQ(x, -30720);
  x = y = 7;
  EXPECT_FALSE(PointerDevicePosition({0, 0, 0, 4000}, {0, 0, 800, 600}, 10, 10, x, y));
  EXPECT_FALSE(PointerDevicePosition({0, 0, 8000, 4000}, {0, 600, 800, 600}, 10, 10, x, y));
  EXPECT_EQ(x, 7);
}
