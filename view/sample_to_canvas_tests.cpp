#include "view/sample_to_canvas.h"

#include <gtest/gtest.h>

#include "view/view_mapping.h"
#include "view/view_test_support.h"

namespace {

// A 100 x 80 canvas, client at screen (200, 100), origin (10, 20), scale 1, straight.
struct SampleMapping : testing::Test {
  TestView t{100, 80};
  CanvasView& view = t.view;
  InputState input = NewInputState();
  void SetUp() override {
    view.clientScreenX = 200;
    view.clientScreenY = 100;
    view.originX = 10;
    view.originY = 20;
    input.maxPressure = 1024;
  }
  // A raw current sample at screen position (sx, sy) in sixteenths.
  void Feed(int32_t sx, int32_t sy, uint32_t pressure = 512, int32_t azimuth = 900) {
    PenSample s{};
    s.x = sx;
    s.y = sy;
    s.pressure = pressure;
    s.azimuth = azimuth;
    s.altitude = 550;
    StoreRawSample(input, s);
  }
};

}  // namespace

TEST_F(SampleMapping, ScreenSixteenthsToCanvasPixels) {
  // x: 3960 / 16 = 247.5 screen, minus client 200 and origin 10 -> 37.5.
  // y: 2112 / 16 = 132, minus 100 and 20 -> 12.
  Feed(3960, 2112);
  CanvasSample c = SampleToCanvas(input, view, true, false);
  EXPECT_EQ(c.x, 37.5f);
  EXPECT_EQ(c.y, 12.0f);
  EXPECT_EQ(c.pressure, 0.5f);
  EXPECT_EQ(c.direction, 90.0f);
  EXPECT_EQ(c.altitude, 550.0f);

  view.scale = 2.0f;  // client offset (5, 3) covers twice as many canvas pixels
  Feed((200 + 10 + 5) * 16, (100 + 20 + 3) * 16);
  c = SampleToCanvas(input, view, true, false);
  EXPECT_EQ(c.x, 10.0f);
  EXPECT_EQ(c.y, 6.0f);
}

TEST_F(SampleMapping, MirrorUsesTheLastColumnAndTurnsTheDirection) {
  view.mirrored = 1;
  Feed(3960, 2112, 512, 900);
  CanvasSample c = SampleToCanvas(input, view, true, false);
  EXPECT_EQ(c.x, 61.5f);  // (100 - 1) - 37.5
  EXPECT_EQ(c.y, 12.0f);
  EXPECT_EQ(c.direction, 270.0f);  // 360 - 90
  Feed(3960, 2112, 512, 0);
  EXPECT_EQ(SampleToCanvas(input, view, true, false).direction, 0.0f);  // not 360
}

TEST_F(SampleMapping, DirectionAddsTheViewRotation) {
  view.rotation = 30.0f;
  Feed(3960, 2112, 512, 3505);  // trunc(3505 / 10) = 350, + 30 = 380 -> 20
  EXPECT_EQ(SampleToCanvas(input, view, true, false).direction, 20.0f);
}

TEST_F(SampleMapping, MouseDragIsFullPressure) {
  StoreRawSample(input, MouseSample(250, 140, true, input.maxPressure));
  EXPECT_EQ(SampleToCanvas(input, view, true, false).pressure, 1.0f);
}

TEST_F(SampleMapping, SelectsRawOrSmoothedCurrentOrPrevious) {
  input.previous.x = 16 * 211;          // canvas x 1
  input.current.x = 16 * 212;           // 2
  input.smoothedPrevious.x = 16 * 213;  // 3
  input.smoothedCurrent.x = 16 * 214;   // 4
  EXPECT_EQ(SampleToCanvas(input, view, true, true).x, 1.0f);
  EXPECT_EQ(SampleToCanvas(input, view, true, false).x, 2.0f);
  EXPECT_EQ(SampleToCanvas(input, view, false, true).x, 3.0f);
  EXPECT_EQ(SampleToCanvas(input, view, false, false).x, 4.0f);
}

TEST_F(SampleMapping, AgreesWithTheForwardMappingWhenTurned) {
  view.scale = 0.5f;
  view.rotation = 90.0f;
  // Turned a quarter, the canvas top-right corner (100, 0) is the view box's top-left corner.
  Feed((200 + 10) * 16, (100 + 20) * 16);
  CanvasSample corner = SampleToCanvas(input, view, true, false);
  EXPECT_NEAR(corner.x, 100.0f, 1e-4f);
  EXPECT_NEAR(corner.y, 0.0f, 1e-4f);

  view.rotation = 30.0f;
  ViewPointF client = CanvasToClientF(view, 41.0f, 17.0f);
  Feed(static_cast<int32_t>((client.x + 200.0f) * 16.0f), static_cast<int32_t>((client.y + 100.0f) * 16.0f));
  CanvasSample c = SampleToCanvas(input, view, true, false);
  // Sixteenths of a screen pixel at scale 0.5 are 1/32 canvas pixel.
  EXPECT_NEAR(c.x, 41.0f, 0.05f);
  EXPECT_NEAR(c.y, 17.0f, 0.05f);
}
