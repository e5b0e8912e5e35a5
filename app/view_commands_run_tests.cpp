#include "app/view_commands_run.h"

#include <gtest/gtest.h>

#include <iterator>

#include "app/session_test_support.h"
#include "settings/command_ids.h"

namespace {

// A 16 x 16 session with the pressure pen of size 10; pen slot 7 paints its own layer 5.
struct Session : TestSession {
  Session() : TestSession(16, kKindPressurePen, 10) {
    State().settings.pens[7].EnablePalette = 1;
    State().settings.pens[7].Palette = 5;
  }
  void Stroke() { TestSession::Stroke(4, 6, 8); }
};

}  // namespace

TEST(SessionCommands, UndoAndRedoStepThroughTheHistory) {
  Session t;
  t.Stroke();
  ASSERT_EQ(t.At(5, 8), 0xFE);
  EXPECT_TRUE(RunSessionCommand(*t.state, CMD_UNDO).title);
  EXPECT_EQ(t.At(5, 8), 0xFF);
  EXPECT_FALSE(RunSessionCommand(*t.state, CMD_UNDO).title);  // nothing left to undo
  RunSessionCommand(*t.state, CMD_REDO);
  EXPECT_EQ(t.At(5, 8), 0xFE);
}

TEST(SessionCommands, ViewPenAndSizeCommands) {
  Session t;
  AppState& s = *t.state;
  const CommandOutcome zoom = RunSessionCommand(s, CMD_ZOOM_IN);
  EXPECT_TRUE(zoom.handled && zoom.title && zoom.view);
  EXPECT_LT(s.view.scale, 1.0f);
  RunSessionCommand(s, CMD_ROTATE_PRESET_90);
  EXPECT_EQ(s.view.rotation, 90.0f);
  RunSessionCommand(s, CMD_MIRROR_VIEW);
  EXPECT_EQ(s.view.mirrored, 1);

  EXPECT_TRUE(RunSessionCommand(s, CMD_SELECT_PEN_7).pen);
  EXPECT_EQ(s.settings.numPenSetting, 7);
  EXPECT_EQ(s.canvas.currentLayer, 5);  // the pen's own layer

  s.settings.pens[7].Size = 10;
  RunSessionCommand(s, CMD_SIZE_UP);
  EXPECT_EQ(s.settings.pens[7].Size, 12);  // the step after 10
  RunSessionCommand(s, CMD_SIZE_DOWN);
  RunSessionCommand(s, CMD_SIZE_DOWN);
  EXPECT_EQ(s.settings.pens[7].Size, 9);

  EXPECT_FALSE(RunSessionCommand(s, CMD_SAVE).handled);  // a file command: the window's own
}

TEST(SessionCommands, DigitKeysPickThePenOfTheirDigit) {
  // Key k's default id: 301, 302, 303 for 1..3, then 305..309 for 4..8; 304 has no key.
  constexpr int32_t kIds[] = {301, 302, 303, 304, 305, 309, 310, 40201};
  constexpr int32_t kSlots[] = {0, 1, 2, -1, 3, 7, -1, -1};
  for (size_t i = 0; i < std::size(kIds); ++i) EXPECT_EQ(DigitKeyPenSlot(kIds[i]), kSlots[i]) << kIds[i];
  Session t;
  EXPECT_TRUE(RunSessionCommand(*t.state, CMD_DIGIT_303).pen);
  EXPECT_EQ(t.state->settings.numPenSetting, 2);
}
