#include "app/view_commands_run.h"

#include <gtest/gtest.h>

#include <memory>

#include "brush/pen_kind.h"
#include "settings/command_ids.h"

namespace {

// A session on a blank 16 x 16 canvas at scale 1 whose current pen paints layer 0.
struct Session {
  std::unique_ptr<AppState> state = std::make_unique<AppState>();
  Session() {
    AppState& s = *state;
    BindAppState(s);
    s.settings.pens[0].KindOfPen = kKindPressurePen;
    s.settings.pens[0].Size = 10;
    s.settings.pens[0].Hardness = 50;
    s.settings.pens[7].EnablePalette = 1;
    s.settings.pens[7].Palette = 5;
    s.input.maxPressure = 1;
    EXPECT_TRUE(StartBlankCanvas(s, 16, 16, nullptr, nullptr));
    s.view.clientWidth = s.view.clientHeight = 16;
    s.view.scale = 1.0f;
    ChooseSampler(s.view);
  }
  ~Session() { ReleaseAppState(*state); }
  void Stroke() {
    for (int i = 0; i < 4; ++i) {
      PenSample p{};
      p.x = 16 * (4 + i);
      p.y = 16 * 8;
      p.pressure = i < 3 ? 1 : 0;
      FeedPenSample(state->context, state->step, p, SampleConditions{});
    }
  }
  uint8_t At(int x, int y) const { return DibRow(*state->canvas.bitmap, y)[x]; }
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
