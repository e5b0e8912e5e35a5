#include "app/input_step.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>
#include <vector>

#include "tools/pen_test_support.h"
#include "brush/xorshift.h"
#include "canvas/undo_history.h"
#include "app/canvas_control.h"

namespace {

// A pen fixture with a real previous canvas and an input step whose update thread composes
// nothing (no sampler) and whose messages are counted.
struct StrokeFixture : PenFixture {
  DibPtr previous;
  InputStep step;
  int32_t strength = 0;
  int titleRefreshes = 0;
  int layerNotices = 0;
  int sampleNotices = 0;

  StrokeFixture(int kind, int size, int32_t correction)
      : PenFixture(64, 64, kind, size), previous(FilledCanvas(64, 64, 0xFF)), strength(correction) {
    canvas.previous = previous.get();
    canvas.undo.budget = kUndoBudgetBytes;
    canvas.undo.newest = canvas.undo.current = canvas.undo.oldest = -1;
    canvas.saved = 1;
    input.correctionStrength = &strength;
    step.messages.context = this;
    step.messages.refreshTitle = [](void* c) { ++static_cast<StrokeFixture*>(c)->titleRefreshes; };
    step.messages.layerChanged = [](void* c) { ++static_cast<StrokeFixture*>(c)->layerNotices; };
    step.messages.sampleChanged = [](void* c) { ++static_cast<StrokeFixture*>(c)->sampleNotices; };
  }
  ~StrokeFixture() {
    StopUpdateThread(step.update);
    ResetUndoHistory(canvas.undo);
  }

  void Feed(float x, float y, float pressure, SampleConditions c = {}) {
    FeedPenSample(app, step, Sample(x, y, pressure, 550, 1300), c);
  }
  // Pen down at the first point, pressed through every point, and lifted at the last unless
  // told to stay down.
  void Stroke(std::initializer_list<PointF> points, SampleConditions c = {}, bool lift = true) {
    Feed(points.begin()->x, points.begin()->y, 0, c);
    for (const PointF& p : points) Feed(p.x, p.y, 1, c);
    if (lift) Feed((points.end() - 1)->x, (points.end() - 1)->y, 0, c);
  }
  bool PreviousEqualsCanvas() const {
    for (int y = 0; y < 64; ++y)
      for (int x = 0; x < 64; ++x)
        if (DibRow(*bitmap, y)[x] != DibRow(*previous, y)[x]) return false;
    return true;
  }
};

}  // namespace

TEST(InputStep, WholeStrokeWithoutSmoothingPaintsAndCommits) {
  StrokeFixture f(kKindPressurePen, 6, 0);
  f.Stroke({{10, 10}, {20, 10}, {30, 10}}, {}, false);
  EXPECT_TRUE(f.step.strokeActive);
  EXPECT_EQ(f.canvas.undo.newest, -1);  // nothing committed while the pen is down
  f.Feed(30, 10, 0);
  EXPECT_FALSE(f.step.strokeActive);
  // Pen-down, two moves and the pen-up sample each call the handler once.
  EXPECT_EQ(f.step.handlerCalls, 4);
  EXPECT_TRUE(f.Painted(15, 10));
  EXPECT_TRUE(f.Painted(30, 10));  // the final disc, painted by the pen-up call
  EXPECT_EQ(f.canvas.undo.newest, 0);
  EXPECT_TRUE(f.PreviousEqualsCanvas());
  EXPECT_EQ(f.canvas.saved, 0);
  EXPECT_EQ(f.titleRefreshes, 1);
  PixelRect r{};
  ASSERT_TRUE(Undo(f.canvas, r));
  EXPECT_FALSE(f.Painted(15, 10));
}

TEST(InputStep, SmoothingDrainsAtMostTwoNPlusOneTimesAfterPenUp) {
  StrokeFixture f(kKindPressurePen, 6, 3);
  f.Feed(10, 10, 0);
  for (int i = 0; i <= 10; ++i) f.Feed(10.0f + 2.0f * i, 20, 1);
  const int64_t beforeUp = f.step.handlerCalls;
  f.Feed(30, 20, 0);
  const int64_t drained = f.step.handlerCalls - beforeUp;
  EXPECT_GE(drained, 1);
  EXPECT_LE(drained, 7);
  EXPECT_FALSE(f.step.strokeActive);
  EXPECT_EQ(f.input.smoothedCurrent.pressure, 0u);
  EXPECT_TRUE(f.PreviousEqualsCanvas());
  EXPECT_EQ(f.canvas.undo.newest, 0);
}

TEST(InputStep, FirstSegmentStartsWhereThePenCameDown) {
  // Two strokes far apart: nothing may join the second stroke to the end of the first.
  StrokeFixture f(kKindPressurePen, 2, 2);
  f.Stroke({{5, 5}, {8, 5}});
  f.Stroke({{50, 50}, {52, 50}});
  for (int i = 12; i < 46; ++i) EXPECT_FALSE(f.Painted(i, i)) << i;
}

TEST(InputStep, ShiftPanModeAndPenDownOutsideTheViewDrawNothing) {
  {
    StrokeFixture f(kKindPressurePen, 6, 0);
    SampleConditions shift;
    shift.shiftHeld = true;
    f.Stroke({{10, 10}, {30, 10}}, shift);
    EXPECT_EQ(f.CountChanged(), 0);
  }
  {
    StrokeFixture f(kKindPressurePen, 6, 0);
    ApplyCanvasControl(f.step, f.view, DecodeCanvasControl(0x1200, 0));
    f.Stroke({{10, 10}, {30, 10}});
    EXPECT_EQ(f.CountChanged(), 0);
    EXPECT_EQ(f.step.handlerCalls, 0);
  }
  {
    StrokeFixture f(kKindPressurePen, 6, 0);
    SampleConditions outside;
    outside.overCanvasWindow = false;
    f.Feed(10, 10, 0, outside);
    f.Feed(10, 10, 1, outside);
    f.Feed(30, 10, 1);
    f.Feed(30, 10, 0);
    EXPECT_FALSE(f.step.strokeActive);
    EXPECT_EQ(f.step.handlerCalls, 0);
    EXPECT_EQ(f.canvas.undo.newest, -1);
  }
}

TEST(InputStep, TellsThePenPanelsOfEverySampleThatChangedWhatTheyShow) {
  StrokeFixture f(kKindPressurePen, 6, 0);
  f.Feed(10, 10, 0);
  EXPECT_EQ(f.sampleNotices, 1);
  f.Feed(10, 10, 0);  // the same again
  EXPECT_EQ(f.sampleNotices, 1);
  f.Feed(10, 10, 1);  // pressed
  f.Feed(11, 10, 1);  // moved, also in pan mode
  ApplyCanvasControl(f.step, f.view, DecodeCanvasControl(0x1200, 0));
  f.Feed(12, 10, 1);
  EXPECT_EQ(f.sampleNotices, 4);
  SampleConditions shift;  // a sample the conditions hold back is not fed
  shift.shiftHeld = true;
  f.Feed(40, 10, 1, shift);
  EXPECT_EQ(f.sampleNotices, 4);

  PenSample a{}, b{};
  EXPECT_FALSE(SampleShowsChange(a, b));
  b.twist = 5;
  b.buttons = 1;
  EXPECT_FALSE(SampleShowsChange(a, b));
  b.altitude = 1;
  EXPECT_TRUE(SampleShowsChange(a, b));
}

TEST(InputStep, UnmeasuredRenderCostHandsOverEverySegment) {
  StrokeFixture f(kKindPressurePen, 6, 0);
  f.Stroke({{10, 10}, {20, 10}, {30, 10}}, {}, false);
  EXPECT_EQ(f.step.handOvers, 3);
  EXPECT_TRUE(IsRectEmpty(f.step.pending));
  // A measured cost batches: a 20 x 10 rectangle at scale 1 and cost 10^6 cycles gives
  // trunc((200 x 2 + 200 x 2 + 10000) x 5e-6 x 4) = trunc(0.216) = 0, one more step per batch
  // only from cost 10^7: trunc(2.16) = 2.
  EXPECT_EQ(HandOverThreshold(20, 10, 1.0f, 1000000), 0);
  EXPECT_EQ(HandOverThreshold(20, 10, 1.0f, 10000000), 2);
  EXPECT_EQ(HandOverThreshold(20, 10, 1.0f, 0), 0);
}

TEST(InputStep, RepairsTheCurrentLayerAndTellsTheLayerPanel) {
  StrokeFixture f(kKindPressurePen, 6, 0);
  f.Pen().Palette = 4;
  f.canvas.currentLayer = kPaperRow;
  f.Stroke({{10, 10}}, {}, false);
  EXPECT_EQ(f.canvas.currentLayer, 4);
  EXPECT_EQ(f.layerNotices, 1);
  f.Feed(20, 10, 1);
  EXPECT_EQ(f.At(15, 10), 0xEF);
}

TEST(InputStep, GrainPenPlacesItsScreenAfreshAtEveryPenDown) {
  StrokeFixture f(3, 6, 0);
  XorShift128 expected = f.app.tools.sharedRandom;
  const int32_t ox = static_cast<int32_t>(NextXorShift(expected) & 0xFF);
  const int32_t oy = static_cast<int32_t>(NextXorShift(expected) & 0xFF);
  f.Stroke({{10, 10}}, {}, false);
  EXPECT_EQ(f.Pen().TextureOffsetX, ox);
  EXPECT_EQ(f.Pen().TextureOffsetY, oy);
}

TEST(CanvasControl, DecodesSignedHalvesAndIgnoresOtherOperations) {
  const CanvasControl scroll = DecodeCanvasControl(0x1201, 0xFFFB000A);
  EXPECT_EQ(scroll.operation, kCanvasControlScroll);
  EXPECT_EQ(scroll.dx, 10);
  EXPECT_EQ(scroll.dy, -5);
  EXPECT_EQ(DecodeCanvasControl(0x1203, 0).operation, kCanvasControlNone);
  InputStep step;
  CanvasView view = NewCanvasView();
  EXPECT_TRUE(ApplyCanvasControl(step, view, DecodeCanvasControl(0x1200, 0)));
  EXPECT_TRUE(step.panMode && step.externalPan);
  EXPECT_TRUE(ApplyCanvasControl(step, view, DecodeCanvasControl(0x1202, 0)));
  EXPECT_FALSE(step.panMode || step.externalPan);
}

// ---- Update thread ---------------------------------------------------------------------

namespace {

struct Recorder {
  std::mutex lock;
  std::vector<PixelRect> jobs;
  std::atomic<int> posts{0};
};
Recorder* gRecorder = nullptr;

bool RecordingSampler(CanvasView&, const Canvas&, const PixelRect& rect, int) {
  {
    std::lock_guard<std::mutex> guard(gRecorder->lock);
    gRecorder->jobs.push_back(rect);
  }
  std::this_thread::sleep_for(std::chrono::milliseconds(2));
  return true;
}

}  // namespace

TEST(UpdateThread, AllZeroRectangleStartsNothing) {
  UpdateThread u;
  CanvasView view = NewCanvasView();
  const PixelRect zero{};
  EXPECT_EQ(SubmitDirty(u, view, UpdateMessages{}, &zero), DirtyHandOver::kNothing);
  EXPECT_EQ(SubmitDirty(u, view, UpdateMessages{}, nullptr), DirtyHandOver::kNothing);
  EXPECT_FALSE(u.exists);
}

TEST(UpdateThread, BurstOfSubmissionsMergesLosesNothingAndIdles) {
  Recorder recorder;
  gRecorder = &recorder;
  Canvas canvas{};
  canvas.width = canvas.height = 1000;
  CanvasView view = NewCanvasView();
  view.canvas = &canvas;
  view.scale = 1.0f;
  view.sampler = RecordingSampler;
  UpdateThread u;
  UpdateMessages messages{};
  messages.context = &recorder;
  messages.postFinished = [](void* c) { ++static_cast<Recorder*>(c)->posts; };
  messages.sendFinished = [](void*) {};  // the window thread would paint here

  std::vector<PixelRect> submitted;
  for (int i = 0; i < 200; ++i) {
    const PixelRect r{i, 2 * i, i + 5, 2 * i + 3};
    submitted.push_back(r);
    const DirtyHandOver result = SubmitDirty(u, view, messages, &r);
    if (i == 0) EXPECT_EQ(result, DirtyHandOver::kStarted);
    else EXPECT_TRUE(result == DirtyHandOver::kWoken || result == DirtyHandOver::kQueued) << static_cast<int>(result);
  }
  // The thread finishes and goes idle.
  for (int wait = 0; wait < 500; ++wait) {
    {
      std::lock_guard<std::recursive_mutex> guard(u.lock);
      if (!u.running && IsRectEmpty(u.queued)) break;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  {
    std::lock_guard<std::recursive_mutex> guard(u.lock);
    EXPECT_FALSE(u.running);
    EXPECT_TRUE(u.posted);
  }
  // Every submitted rectangle lies inside some composed job; bursts were merged.
  {
    std::lock_guard<std::mutex> guard(recorder.lock);
    EXPECT_LT(recorder.jobs.size(), submitted.size());
    for (const PixelRect& r : submitted) {
      bool covered = false;
      for (const PixelRect& j : recorder.jobs)
        covered |= j.left <= r.left && j.top <= r.top && j.right >= r.right && j.bottom >= r.bottom;
      EXPECT_TRUE(covered) << r.left;
    }
  }
  EXPECT_GE(recorder.posts.load(), 1);
  const PixelRect painted = PaintFinished(u);
  EXPECT_FALSE(IsRectEmpty(painted));
  EXPECT_TRUE(IsRectEmpty(PaintFinished(u)));  // nothing posted any more

  // An idle thread wakes for new work.
  const size_t before = recorder.jobs.size();
  const PixelRect late{900, 900, 910, 910};
  EXPECT_EQ(SubmitDirty(u, view, messages, &late), DirtyHandOver::kWoken);
  for (int wait = 0; wait < 500; ++wait) {
    {
      std::lock_guard<std::mutex> guard(recorder.lock);
      if (recorder.jobs.size() > before) break;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  {
    std::lock_guard<std::mutex> guard(recorder.lock);
    ASSERT_GT(recorder.jobs.size(), before);
    EXPECT_EQ(recorder.jobs.back(), late);
  }
  StopUpdateThread(u);
  gRecorder = nullptr;
}

TEST(UpdateThread, AFailedSamplerIsReportedOnceToTheWindowThread) {
  Canvas canvas{};
  canvas.width = canvas.height = 100;
  CanvasView view = NewCanvasView();
  view.canvas = &canvas;
  view.sampler = [](CanvasView&, const Canvas&, const PixelRect&, int) { return false; };
  UpdateThread u;
  EXPECT_FALSE(TakeSamplerFailure(u));
  const PixelRect r{1, 1, 5, 5};
  ASSERT_EQ(SubmitDirty(u, view, UpdateMessages{}, &r), DirtyHandOver::kStarted);
  for (int wait = 0; wait < 500; ++wait) {
    {
      std::lock_guard<std::recursive_mutex> guard(u.lock);
      if (u.posted) break;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  EXPECT_TRUE(TakeSamplerFailure(u));
  EXPECT_FALSE(TakeSamplerFailure(u));
  StopUpdateThread(u);
}
