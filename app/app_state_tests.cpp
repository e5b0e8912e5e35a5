#include "app/app_state.h"

#include <gtest/gtest.h>

#include <memory>

#include "brush/pen_kind.h"
#include "canvas/undo_history.h"

namespace {

// A session on a blank 32 x 32 canvas shown at scale 1, straight, with the pressure pen of
// size 4 current on layer 2; samples at canvas (x, y) are stored as (16 x, 16 y).
struct Session {
  std::unique_ptr<AppState> state = std::make_unique<AppState>();

  Session() {
    AppState& s = *state;
    BindAppState(s);
    s.settings.numPenSetting = 3;
    PenSetting& pen = s.settings.pens[3];
    pen.KindOfPen = kKindPressurePen;
    pen.Size = 4;
    pen.Hardness = 50;
    pen.EnablePalette = 1;
    pen.Palette = 2;
    s.input.maxPressure = 1024;
    EXPECT_TRUE(StartBlankCanvas(s, 32, 32, nullptr, nullptr));
    s.view.scale = 1.0f;
    s.view.clientWidth = s.view.clientHeight = 32;
    ChooseSampler(s.view);
  }
  ~Session() { ReleaseAppState(*state); }

  void Feed(float x, float y, float pressure) {
    PenSample sample{};
    sample.x = static_cast<int32_t>(x * 16.0f);
    sample.y = static_cast<int32_t>(y * 16.0f);
    sample.pressure = static_cast<uint32_t>(pressure * 1024.0f);
    sample.azimuth = 1300;
    sample.altitude = 550;
    FeedPenSample(state->context, state->step, sample, SampleConditions{});
  }
};

}  // namespace

TEST(AppState, AStrokeThroughTheSessionPaintsThePensLayerAndCanBeUndone) {
  Session t;
  AppState& s = *t.state;
  EXPECT_EQ(s.canvas.currentLayer, 2);  // the current pen's own layer
  CommandSnapshot before = TakeCommandSnapshot(s, false);
  EXPECT_FALSE(before.canUndo);
  EXPECT_EQ(before.currentPen, 3);

  t.Feed(8, 8, 0);
  t.Feed(8, 8, 1);
  t.Feed(20, 8, 1);
  t.Feed(20, 8, 0);
  EXPECT_EQ(DibRow(*s.canvas.bitmap, 8)[14], 0xFB);  // bit 2 cleared in the middle of the stroke
  EXPECT_EQ(s.canvas.saved, 0);

  const CommandSnapshot after = TakeCommandSnapshot(s, true);
  EXPECT_TRUE(after.canUndo);
  EXPECT_FALSE(after.canRedo);
  EXPECT_TRUE(after.systemClipboardHasBitmap);
  PixelRect changed{};
  ASSERT_EQ(Undo(s.canvas, changed), 1);
  EXPECT_EQ(DibRow(*s.canvas.bitmap, 8)[14], 0xFF);
  EXPECT_TRUE(TakeCommandSnapshot(s, false).canRedo);
}

TEST(AppState, TwoSessionsShareNoStrokeState) {
  Session a, b;
  a.state->context.tools.stampCarry = 5.0f;
  NextXorShift(a.state->context.tools.sharedRandom);
  EXPECT_EQ(b.state->context.tools.stampCarry, 0.0f);
  EXPECT_EQ(b.state->context.tools.sharedRandom.w, kXorShiftSeed.w);
}
