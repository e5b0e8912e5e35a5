// Selections and drops through the stroke-script replay.
#include <gtest/gtest.h>

#include "canvas/canvas_test_support.h"
#include "app/stroke_script.h"

namespace {

struct ReplayCanvas : ScriptCanvas {
  ReplayCanvas() : ScriptCanvas(16, 16) {}
  // True when exactly the pixels x0..x1, y0..y1 hold value and all others are 0xFF.
  bool OnlyBlock(int x0, int y0, int x1, int y1, uint8_t value) const {
    for (int y = 0; y < canvas.height; ++y)
      for (int x = 0; x < canvas.width; ++x) {
        const bool inside = x >= x0 && x <= x1 && y >= y0 && y <= y1;
        if (At(x, y) != (inside ? value : 0xFF)) return false;
      }
    return true;
  }
};

// Lasso fill of the rectangle (2,2)-(5,4) on layer 1: x 2..5, y 2..4 become 0xFD.
constexpr char kPaintBlock[] =
    "pen KindOfPen=20 EnablePalette=0\n"
    "layer 1\n"
    "down 2.5 2.5 1\n"
    "move 5.5 2.5 1\n"
    "move 5.5 4.5 1\n"
    "move 2.5 4.5 1\n"
    "up 2.5 4.5\n";

// A rectangle selection of all layers over the same block.
constexpr char kSelectBlock[] =
    "pen KindOfPen=17\n"
    "down 2.5 2.5 1\n"
    "move 5.5 4.5 1\n"
    "up 5.5 4.5\n";

}  // namespace

TEST(SelectionReplay, DropMovesTheSelectionByCanvasPixels) {
  ReplayCanvas s;
  const std::string script = std::string(kPaintBlock) + kSelectBlock + "drop 6 3\n";
  const StrokeScriptResult r = RunStrokeScript(s.canvas, script);
  ASSERT_TRUE(r.ok) << r.line << ": " << r.error;
  EXPECT_TRUE(s.OnlyBlock(8, 5, 11, 7, 0xFD));
}

TEST(SelectionReplay, FloatingSelectionLeftAtTheEndLandsInPlace) {
  ReplayCanvas s;
  const StrokeScriptResult r = RunStrokeScript(s.canvas, std::string(kPaintBlock) + kSelectBlock);
  ASSERT_TRUE(r.ok) << r.line << ": " << r.error;
  EXPECT_TRUE(s.OnlyBlock(2, 2, 5, 4, 0xFD));
}

TEST(SelectionReplay, UndoAfterADropTakesBackTheDropThenTheLift) {
  ReplayCanvas s;
  RunStrokeScript(s.canvas, std::string(kPaintBlock) + kSelectBlock + "drop 6 3\nundo\n");
  EXPECT_EQ(s.Count(0xFF), 256);  // the drop undone: the block is still lifted
  ReplayCanvas t;
  RunStrokeScript(t.canvas, std::string(kPaintBlock) + kSelectBlock + "drop 6 3\nundo\nundo\n");
  EXPECT_TRUE(t.OnlyBlock(2, 2, 5, 4, 0xFD));
}

TEST(SelectionReplay, SingleLayerSelectionAndDropErrors) {
  ReplayCanvas s;
  const std::string script = std::string(kPaintBlock) +
                             "pen KindOfPen=15\n"
                             "down 2.5 2.5 1\n"
                             "up 5.5 4.5\n"
                             "drop -2 8\n";
  const StrokeScriptResult r = RunStrokeScript(s.canvas, script);
  ASSERT_TRUE(r.ok) << r.line << ": " << r.error;
  EXPECT_TRUE(s.OnlyBlock(0, 10, 3, 12, 0xFD));

  ReplayCanvas t;
  const StrokeScriptResult none = RunStrokeScript(t.canvas, "drop\n");
  EXPECT_FALSE(none.ok);
  EXPECT_EQ(none.line, 1);
  const StrokeScriptResult bad = RunStrokeScript(t.canvas, std::string(kSelectBlock) + "drop 1\n");
  EXPECT_FALSE(bad.ok);
  EXPECT_EQ(bad.line, 5);
}
