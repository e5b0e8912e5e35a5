#include "app/edit_commands.h"

#include <gtest/gtest.h>

#include <vector>

#include "app/session_test_support.h"
#include "brush/pen_kind.h"
#include "canvas/undo_history.h"
#include "settings/command_ids.h"

namespace {

// A 16 x 16 session drawing on the current layer, with layer 0 painted at (3, 3).
struct EditSession : TestSession {
  EditSession() : TestSession(16, kKindPressurePen, 1) {
    Pen().EnablePalette = 0;
    DibRow(*State().canvas.bitmap, 3)[3] = 0xFE;
    EXPECT_TRUE(CommitCanvasRect(State().canvas, PixelRect{3, 3, 4, 4}));
  }
  CommandOutcome Run(int32_t command) { return RunEditCommand(State(), command); }
  int Count(uint8_t value) const {
    int n = 0;
    for (int y = 0; y < 16; ++y)
      for (int x = 0; x < 16; ++x) n += At(x, y) == value;
    return n;
  }
};

}  // namespace

TEST(EditCommands, SelectAllLiftsEveryLayerAndTheDropPutsItBack) {
  EditSession t;
  EXPECT_TRUE(t.Run(CMD_SELECT_ALL).view);
  AppState& s = t.State();
  EXPECT_EQ(s.floating.floating, 1);
  EXPECT_EQ(t.Count(0xFF), 256);  // lifted off the canvas
  EXPECT_TRUE(CanUndo(s.canvas.undo));
  CommitPendingOperation(s);
  EXPECT_EQ(s.floating.floating, 0);
  EXPECT_EQ(t.At(3, 3), 0xFE);
  EXPECT_EQ(t.Count(0xFF), 255);
}

TEST(EditCommands, CutAndPasteMoveAPixelToAnotherLayer) {
  EditSession t;
  AppState& s = t.State();
  t.Run(CMD_SELECT_LAYER);  // layer 0, the current layer
  ASSERT_EQ(s.floating.floating, 1);
  t.Run(CMD_CUT);
  EXPECT_EQ(s.floating.floating, 0);  // thrown away, not dropped
  EXPECT_NE(s.clipboard.image, nullptr);
  EXPECT_EQ(t.Count(0xFF), 256);
  s.canvas.currentLayer = 2;
  EXPECT_TRUE(t.Run(CMD_PASTE).view);
  EXPECT_EQ(s.floating.floating, 1);
  EXPECT_EQ(t.Count(0xFF), 256);  // nothing lands before the drop
  CommitPendingOperation(s);
  EXPECT_EQ(t.At(3, 3), 0xFB);  // layer 2's bit
  EXPECT_EQ(t.Count(0xFF), 255);
  // The clipboard keeps its copy: a second paste floats it again.
  t.Run(CMD_PASTE);
  EXPECT_EQ(s.floating.floating, 1);
}

TEST(EditCommands, CopyNeedsAFloatingSelectionAndKeepsIt) {
  EditSession t;
  AppState& s = t.State();
  t.Run(CMD_COPY);
  EXPECT_EQ(s.clipboard.image, nullptr);
  t.Run(CMD_PASTE);
  EXPECT_EQ(s.floating.floating, 0);
  t.Run(CMD_SELECT_ALL);
  t.Run(CMD_COPY);
  EXPECT_EQ(s.floating.floating, 1);
  ASSERT_NE(s.clipboard.image, nullptr);
  EXPECT_EQ(DibWidth(*s.clipboard.image), 16);
}

TEST(EditCommands, FillLayerPaintsTheWholeLayerUnlessItIsLocked) {
  EditSession t;
  AppState& s = t.State();
  s.canvas.currentLayer = 1;
  s.canvas.layers.rows[1].locked = 1;
  t.Run(CMD_FILL_LAYER);
  EXPECT_EQ(t.Count(0xFF), 255);
  s.canvas.layers.rows[1].locked = 0;
  t.Run(CMD_FILL_LAYER);
  EXPECT_EQ(t.Count(0xFD), 255);
  EXPECT_EQ(t.At(3, 3), 0xFC);
  PixelRect changed{};
  ASSERT_TRUE(Undo(s.canvas, changed));
  EXPECT_EQ(t.Count(0xFF), 255);
  EXPECT_EQ(t.At(3, 3), 0xFE);
}

TEST(EditCommands, AnotherProgramsPictureFloatsItsDarkPixelsForTheCurrentLayer) {
  EditSession t;
  AppState& s = t.State();
  s.canvas.currentLayer = 3;
  // 20 x 2: black, white, mid grey (just light), transparent black, then dark red; too wide
  // for the canvas, so it is cut to 16.
  std::vector<uint32_t> pixels(40, 0xFFFFFFFFu);
  pixels[0] = 0xFF000000u;
  pixels[2] = 0xFF808080u;
  pixels[3] = 0x00000000u;
  pixels[21] = 0xFF7F0000u;
  ASSERT_TRUE(FloatForeignPicture(s, pixels.data(), 20, 2));
  ASSERT_EQ(s.floating.floating, 1);
  EXPECT_EQ(DibWidth(*s.floating.image), 16);
  CommitPendingOperation(s);  // the view's corner is the canvas's: it lands at (0, 0)
  EXPECT_EQ(t.At(0, 0), 0xF7);
  EXPECT_EQ(t.At(1, 1), 0xF7);
  EXPECT_EQ(t.At(2, 0), 0xFF);
  EXPECT_EQ(t.At(3, 0), 0xFF);
  EXPECT_EQ(t.At(3, 3), 0xFE);  // what was there stays
  EXPECT_FALSE(FloatForeignPicture(s, pixels.data(), 0, 2));
}

TEST(EditCommands, AnotherProgramsPicturePastedAsImportedFloatsItsColoursOnTheFirstLayers) {
  EditSession t;
  AppState& s = t.State();
  // Full red, green, blue and white light the layer of each (blue is layer 0); black lights none.
  std::vector<uint32_t> pixels(40, 0xFF000000u);
  pixels[0] = 0xFFFF0000u;
  pixels[1] = 0xFF00FF00u;
  pixels[2] = 0xFF0000FFu;
  pixels[20] = 0xFFFFFFFFu;
  ASSERT_TRUE(FloatImportedPicture(s, pixels.data(), 20, 2));
  EXPECT_EQ(DibWidth(*s.floating.image), 16);
  CommitPendingOperation(s);
  EXPECT_EQ(t.At(0, 0), 0xFB);
  EXPECT_EQ(t.At(1, 0), 0xFD);
  EXPECT_EQ(t.At(2, 0), 0xFE);
  EXPECT_EQ(t.At(0, 1), 0xF8);
  EXPECT_EQ(t.At(3, 3), 0xFE);  // its black paints nothing: what was there stays
  EXPECT_FALSE(FloatImportedPicture(s, pixels.data(), 20, 0));
}
