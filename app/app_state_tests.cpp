#include "app/app_state.h"

#include <gtest/gtest.h>

#include "app/session_test_support.h"
#include "canvas/undo_history.h"

namespace {

// A 32 x 32 session whose pen slot 3 is current: the pressure pen of size 4 on its own layer 2.
struct Session : TestSession {
  Session() : TestSession(32, kKindPressurePen, 4) {
    AppState& s = State();
    s.settings.pens[3] = s.settings.pens[0];
    s.settings.pens[3].EnablePalette = 1;
    s.settings.pens[3].Palette = 2;
    EXPECT_TRUE(SelectPen(s.context, 3, nullptr));
  }
  void Feed(float x, float y, float pressure) { TestSession::Feed(x, y, static_cast<uint32_t>(pressure * 1024.0f)); }
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
