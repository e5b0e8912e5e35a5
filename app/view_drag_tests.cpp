#include "app/view_drag.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <vector>

#include "view/view_test_support.h"

TEST(ViewDrag, ModifiersChooseTheDragOnlyInPanMode) {
  struct Case {
    bool pan, ctrl, shift;
    ViewDragMode mode;
  };
  constexpr Case kCases[] = {
      {false, true, true, ViewDragMode::kNone},  {true, false, false, ViewDragMode::kPan},
      {true, true, false, ViewDragMode::kRotate}, {true, true, true, ViewDragMode::kRotate},
      {true, false, true, ViewDragMode::kZoom},
  };
  for (const Case& c : kCases) EXPECT_EQ(DragModeFor(c.pan, c.ctrl, c.shift), c.mode) << c.pan << c.ctrl << c.shift;
}

TEST(ViewDrag, PanningScrollsByThePreviousPositionMinusTheNewOne) {
  TestView t(1000, 1000);
  ViewDrag drag;
  BeginViewDrag(drag, ViewDragMode::kPan, 100, 100);
  DragStep step = MoveViewDrag(drag, t.view, 90, 130);
  EXPECT_EQ(step.kind, DragStep::kScroll);
  EXPECT_EQ(step.dx, 10);
  EXPECT_EQ(step.dy, -30);
  EXPECT_EQ(MoveViewDrag(drag, t.view, 90, 130).kind, DragStep::kNothing);
  EXPECT_FALSE(FinishViewDrag(drag, t.view));
}

TEST(ViewDrag, TurningPreviewsTheAngleFromTheFirstMoveAndAppliesItOnRelease) {
  TestView t(1000, 1000, 400, 300);  // centre (200, 150)
  t.RecordHooks();
  ViewDrag drag;
  BeginViewDrag(drag, ViewDragMode::kRotate, 300, 150);
  EXPECT_EQ(MoveViewDrag(drag, t.view, 300, 150).kind, DragStep::kNothing);  // right of the centre: pi/2
  const DragStep step = MoveViewDrag(drag, t.view, 200, 250);               // below it: 0
  ASSERT_EQ(step.kind, DragStep::kRotatePreview);
  EXPECT_FLOAT_EQ(step.rotation.angle, -1.5707964f);
  EXPECT_EQ(step.rotation.centreX, 200);
  EXPECT_EQ(step.rotation.centreY, 150);
  EXPECT_TRUE(FinishViewDrag(drag, t.view));
  EXPECT_FLOAT_EQ(t.view.rotation, 270.0f);
  EXPECT_EQ(drag.mode, ViewDragMode::kNone);
}

TEST(ViewDrag, ZoomingMeasuresFromAtLeastAHundredPixelsAndNeverMagnifiesPastOneToOne) {
  TestView t(1000, 1000, 400, 300);
  t.RecordHooks();
  t.view.scale = 4.0f;
  ViewDrag drag;
  BeginViewDrag(drag, ViewDragMode::kZoom, 230, 150);
  MoveViewDrag(drag, t.view, 230, 150);  // 30 pixels out: the start distance is 100
  EXPECT_EQ(drag.startRadius, 100);
  const DragStep step = MoveViewDrag(drag, t.view, 400, 150);  // 200 out: twice as large
  ASSERT_EQ(step.kind, DragStep::kZoomPreview);
  EXPECT_FLOAT_EQ(step.zoom, 2.0f);
  EXPECT_TRUE(FinishViewDrag(drag, t.view));
  EXPECT_FLOAT_EQ(t.view.scale, 2.0f);

  BeginViewDrag(drag, ViewDragMode::kZoom, 300, 150);
  MoveViewDrag(drag, t.view, 300, 150);
  EXPECT_FLOAT_EQ(MoveViewDrag(drag, t.view, 200 + 1000, 150).zoom, 2.0f);  // scale / m stays at 1
  FinishViewDrag(drag, t.view);
  EXPECT_FLOAT_EQ(t.view.scale, 1.0f);
}

TEST(PreviewWorker, ALaterRequestReplacesOneNotYetStarted) {
  PreviewWorker worker;
  std::atomic<bool> started{false}, release{false};
  std::vector<int> ran;
  ASSERT_TRUE(worker.Request([&] {
    started = true;
    while (!release) std::this_thread::yield();
    ran.push_back(1);
  }));
  while (!started) std::this_thread::yield();  // the next two wait behind the running job
  ASSERT_TRUE(worker.Request([&] { ran.push_back(2); }));
  ASSERT_TRUE(worker.Request([&] { ran.push_back(3); }));
  release = true;
  worker.WaitIdle();
  EXPECT_EQ(ran, (std::vector<int>{1, 3}));
}
