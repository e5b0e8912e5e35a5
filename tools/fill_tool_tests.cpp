#include "tools/fill_tool.h"

#include <gtest/gtest.h>

#include "canvas/canvas_lifecycle.h"
#include "canvas/canvas_test_support.h"
#include "tools/tool_test_support.h"
#include "app/stroke_script.h"

namespace {

constexpr uint8_t kPaper = 0xFF, kLayer0 = 0xFE, kLayer1 = 0xFD;

// A 12 x 10 canvas with a closed outline on layer 1 around (2, 2)-(9, 7); its inside is the
// 6 x 4 block (3..8, 3..6).
void DrawOutline(ToolFixture& f) {
  for (int x = 2; x <= 9; ++x) f.SetPixel(x, 2, kLayer1), f.SetPixel(x, 7, kLayer1);
  for (int y = 3; y <= 6; ++y) f.SetPixel(2, y, kLayer1), f.SetPixel(9, y, kLayer1);
}

bool Inside(int x, int y) { return x >= 3 && x <= 8 && y >= 3 && y <= 6; }

}  // namespace

TEST(FillTool, FillsExactlyTheInsideOfAClosedOutline) {
  ToolFixture f(12, 10, 11, 1);
  DrawOutline(f);
  ASSERT_EQ(f.Down(5.5f, 4.5f), 1);
  for (int y = 0; y < 10; ++y)
    for (int x = 0; x < 12; ++x) {
      const bool outline = (y == 2 || y == 7 || x == 2 || x == 9) && x >= 2 && x <= 9 && y >= 2 && y <= 7;
      EXPECT_EQ(f.At(x, y), Inside(x, y) ? kLayer0 : outline ? kLayer1 : kPaper) << x << "," << y;
    }
  // Changed pixels span (3, 3)-(8, 6): one more column and row before, two after.
  EXPECT_EQ(f.dirty, (PixelRect{2, 2, 10, 8}));
}

TEST(FillTool, AOnePixelGapLeaksAtSizeOneButNotAtSizeThree) {
  ToolFixture leak(12, 10, 11, 1);
  DrawOutline(leak);
  leak.SetPixel(5, 2, kPaper);
  ASSERT_EQ(leak.Down(5.5f, 4.5f), 1);
  EXPECT_EQ(leak.Count(kLayer0), 120 - 23);  // all the paper, inside and out
  EXPECT_EQ(leak.dirty, (PixelRect{-1, -1, 13, 11}));

  // Size 3: the 3 x 3 erosion closes the gap and takes one pixel off the inside's border; the
  // inside is flooded and grown back by the same stage, so it reaches the outline again.
  ToolFixture closed(12, 10, 11, 3);
  DrawOutline(closed);
  closed.SetPixel(5, 2, kPaper);
  ASSERT_EQ(closed.Down(5.5f, 4.5f), 1);
  for (int y = 0; y < 10; ++y)
    for (int x = 0; x < 12; ++x)
      if (closed.At(x, y) != kLayer1) {
        EXPECT_EQ(closed.At(x, y), Inside(x, y) ? kLayer0 : kPaper) << x << "," << y;
      }
  EXPECT_EQ(closed.Count(kLayer0), 24);
  EXPECT_EQ(closed.At(5, 2), kPaper);
  EXPECT_EQ(closed.dirty, (PixelRect{2, 2, 10, 8}));
}

TEST(FillTool, PaletteEntriesOfOneColourAreOneArea) {
  // Left half painted on layer 1, right half on layer 2.
  for (bool sameColour : {false, true}) {
    ToolFixture f(8, 4, 11, 1);
    for (int y = 0; y < 4; ++y)
      for (int x = 0; x < 8; ++x) f.SetPixel(x, y, x < 4 ? 0xFD : 0xFB);
    if (sameColour) f.canvas.layers.rows[2].colour = f.canvas.layers.rows[1].colour;
    ComputePalette(*f.bitmap, f.canvas.layers);
    ASSERT_EQ(f.Down(1.5f, 1.5f), 1);
    EXPECT_EQ(f.Count(0xFC), 16);                      // left half, now layers 0 and 1
    EXPECT_EQ(f.Count(0xFA), sameColour ? 16 : 0);     // right half joins only with one colour
    EXPECT_EQ(f.Count(0xFB), sameColour ? 0 : 16);
  }
}

TEST(FillTool, LockedOrHiddenLayerChangesNothing) {
  for (int which = 0; which < 2; ++which) {
    ToolFixture f(12, 10, 11, 1);
    DrawOutline(f);
    if (which == 0) {
      f.canvas.layers.rows[0].locked = 1;
    } else {
      f.canvas.layers.rows[0].visible = 0;
    }
    EXPECT_EQ(f.Down(5.5f, 4.5f), 0);
    EXPECT_EQ(f.Count(kLayer0), 0);
  }
}

TEST(FillTool, ActsOnPenDownOnlyAndOnTheCanvasOnly) {
  ToolFixture f(12, 10, 11, 1);
  EXPECT_EQ(f.Drag(3.5f, 3.5f, 4.5f, 4.5f), 0);
  EXPECT_EQ(f.Release(4.5f, 4.5f, 4.5f, 4.5f), 0);
  EXPECT_EQ(f.Down(-0.5f, 4.5f), 0);
  EXPECT_EQ(f.Down(12.0f, 4.5f), 0);
  EXPECT_EQ(f.Count(kPaper), 120);
}

TEST(FillTool, AnAreaAlreadyPaintedGivesTheFillPointAsDirtyRectangle) {
  ToolFixture f(8, 6, 11, 1, kLayer0);
  ASSERT_EQ(f.Down(3.5f, 2.5f), 1);
  EXPECT_EQ(f.Count(kLayer0), 48);
  EXPECT_EQ(f.dirty, (PixelRect{3, 2, 4, 3}));
}

TEST(FillTool, AFillPointClosedAwayByTheSizeFails) {
  // A one-pixel paper channel disappears in the size-3 erosion: nothing to flood.
  ToolFixture f(9, 6, 11, 3, kLayer1);
  for (int y = 0; y < 6; ++y) f.SetPixel(4, y, kPaper);
  EXPECT_EQ(f.Down(4.5f, 3.5f), 0);
  EXPECT_EQ(f.Count(kPaper), 6);
}

TEST(FillTool, ACanvasOfSevenThousandRowsOfOneColour) {
  ToolFixture f(64, 7016, 11, 1);
  ASSERT_EQ(f.Down(3.5f, 3000.5f), 1);
  EXPECT_EQ(f.Count(kLayer0), 64 * 7016);
  EXPECT_EQ(f.dirty, (PixelRect{-1, -1, 65, 7017}));
}

TEST(FillTool, ReplayFillsOnDownAndCommits) {
  ScriptCanvas sc(24, 24);
  Canvas& canvas = sc.canvas;
  StrokeScriptResult r = RunStrokeScript(canvas,
                                         "pen KindOfPen=11 Size=1 EnablePalette=0\n"
                                         "layer 3\n"
                                         "down 5 5 1\n"
                                         "up 5 5\n");
  ASSERT_TRUE(r.ok) << r.line << ": " << r.error;
  EXPECT_EQ(CanvasToHex(*canvas.bitmap), CanvasToHex(*FilledCanvas(24, 24, 0xF7)));
  EXPECT_EQ(canvas.undo.newest, 0);
  EXPECT_EQ(CanvasToHex(*canvas.previous), CanvasToHex(*canvas.bitmap));
  // On a locked layer: no change and no undo record.
  ASSERT_TRUE(RunStrokeScript(canvas, "undo\n").ok);
  r = RunStrokeScript(canvas,
                      "pen KindOfPen=11 Size=1 EnablePalette=0\n"
                      "layer 3\n"
                      "layerset 3 locked=1\n"
                      "down 5 5 1\n"
                      "up 5 5\n");
  ASSERT_TRUE(r.ok) << r.line << ": " << r.error;
  EXPECT_EQ(CanvasToHex(*canvas.bitmap), CanvasToHex(*FilledCanvas(24, 24, 0xFF)));
  EXPECT_EQ(canvas.undo.newest, 0);   // only the undone fill's record, still redoable
  EXPECT_EQ(canvas.undo.current, -1);
}
