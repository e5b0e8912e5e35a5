#include "app/stroke_script.h"

#include <gtest/gtest.h>

#include "canvas/canvas_test_support.h"

TEST(StrokeScript, ADabCommitsUndoesAndRedoes) {
  // Pen-down and pen-up at (10.5, 10.5): each call paints the disc of radius 1.5 at
  // (10.75, 10.75). Rows 9.5: h = 0.829 -> 10..11; 10.5: h = 1.479 -> 9..11; 11.5: h = 1.299
  // -> 9..11. Eight pixels of layer 2 (value 0xFB).
  ScriptCanvas s;
  StrokeScriptResult r = RunStrokeScript(s.canvas,
                                         "pen KindOfPen=0 Size=3 Hardness=50 EnablePalette=0  # plain pen\n"
                                         "layer 2\n"
                                         "down 10.5 10.5 1\n"
                                         "up 10.5 10.5\n");
  ASSERT_TRUE(r.ok) << r.line << ": " << r.error;
  EXPECT_EQ(s.Count(0xFB), 8);
  EXPECT_EQ(s.At(9, 9), 0xFF);
  EXPECT_EQ(s.At(10, 9), 0xFB);
  EXPECT_EQ(s.At(11, 11), 0xFB);
  EXPECT_EQ(s.canvas.undo.newest, 0);
  EXPECT_EQ(CanvasToHex(*s.canvas.previous), CanvasToHex(*s.canvas.bitmap));
  ASSERT_TRUE(RunStrokeScript(s.canvas, "undo\n").ok);
  EXPECT_EQ(s.Count(0xFF), 24 * 24);
  ASSERT_TRUE(RunStrokeScript(s.canvas, "redo\n").ok);
  EXPECT_EQ(s.Count(0xFB), 8);
}

TEST(StrokeScript, ClearKeepsLockedLayersAndHexNumbersWork) {
  ScriptCanvas s;
  ASSERT_TRUE(RunStrokeScript(s.canvas,
                              "pen KindOfPen=0 Size=0x10 EnablePalette=0\n"
                              "layer 1\n"
                              "down 5 12 1\nmove 18 12 1\nup 18 12\n"
                              "layer 3\n"
                              "down 5 12 1\nmove 18 12 1\nup 18 12\n")
                  .ok);
  EXPECT_EQ(s.At(12, 12), 0xF5);  // layers 1 and 3
  ASSERT_TRUE(RunStrokeScript(s.canvas, "layerset 3 locked=1\nclear\n").ok);
  EXPECT_EQ(s.At(12, 12), 0xF7);  // layer 3 stays, layer 1 erased
  EXPECT_EQ(s.canvas.layers.rows[3].locked, 1);
}

// Slot 5 of the default presets is a ballpoint pen of size 6 on its own layer 1: selecting it
// makes layer 1 current, and its dab lands there (0xFD) whatever layer was current before.
TEST(StrokeScript, SelectTakesAPresetWithItsLayer) {
  ScriptCanvas s;
  ASSERT_TRUE(RunStrokeScript(s.canvas, "layer 4\nselect 5\ndown 12 12 1\nup 12 12\n").ok);
  EXPECT_EQ(s.canvas.currentLayer, 1);
  EXPECT_EQ(s.At(12, 12), 0xFD);
  EXPECT_EQ(s.Count(0xEF), 0);
}

TEST(StrokeScript, ErrorsNameTheLine) {
  ScriptCanvas s;
  const struct {
    const char* script;
    int line;
  } cases[] = {
      {"# nothing\n\nfly 1 2\n", 3},
      {"down 1 1 2\n", 1},
      {"pen Colour=3\n", 1},
      {"layer 9\n", 1},
      {"select 16\n", 1},
      {"down 1 1\n", 1},
      {"correction 21\n", 1},
      {"move 1 1 0.5\nlayerset 2 hidden=1\n", 2},
      {"texture /no/such/file.bmp\n", 1},
  };
  for (const auto& c : cases) {
    const StrokeScriptResult r = RunStrokeScript(s.canvas, c.script);
    EXPECT_FALSE(r.ok) << c.script;
    EXPECT_EQ(r.line, c.line) << c.script;
    EXPECT_FALSE(r.error.empty());
  }
}
