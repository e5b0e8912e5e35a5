#include "tools/stamp_brush.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "tools/pen_test_support.h"
#include "brush/xorshift.h"
#include "canvas/canvas_lifecycle.h"
#include "canvas/temp_folder_test_support.h"
#include "files/bmp_test_support.h"
#include "tools/stamp_cache.h"
#include "app/stroke_script.h"

namespace {

using Pixels = std::set<std::pair<int, int>>;

// A stamp brush on a 64 x 32 canvas with every option off: Hardness 50, Interval 100 (one dab
// per Size pixels), Roundness 100, Angle 0, no pressure, tilt, rotation, direction or jitter.
struct StampFixture : PenFixture {
  DibPtr stamp;
  explicit StampFixture(int size) : PenFixture(64, 32, kKindStampBrush, size) {
    PenSetting& p = Pen();
    p.Interval = 100;
    p.Roundness = 100;
  }

  void UseStamp(const std::vector<std::string>& rows) {
    stamp = MaskFromText(rows);
    Pen().Stamp = 1;
    Pen().stampBitmap = stamp.get();
  }
  // Pen-down at (x, y): the pair before it has no pressure.
  void Down(float x, float y) { EXPECT_EQ(Segment(x, y, 0.0f, x, y, 1.0f), 0); }
  Pixels Changed(uint8_t blank = 0xFF) const {
    Pixels out;
    for (int y = 0; y < canvas.height; ++y)
      for (int x = 0; x < canvas.width; ++x)
        if (At(x, y) != blank) out.insert({x, y});
    return out;
  }
};

Pixels Block(int left, int top, int right, int bottom) {
  Pixels out;
  for (int y = top; y < bottom; ++y)
    for (int x = left; x < right; ++x) out.insert({x, y});
  return out;
}

}  // namespace

// Size 20 and Interval 100: a dab every 20 pixels of stroke. A 1 x 1 black stamp at w = 10
// fills the 10 x 10 box [cx - 5, cx + 5) x [cy - 5, cy + 5), so the box shows the centre.
TEST(StampBrush, SpacingCarriesFromSegmentToSegment) {
  StampFixture f(20);
  f.UseStamp({"1"});
  f.app.tools.stampCarry = 7.0f;
  f.Down(10, 10);
  EXPECT_EQ(f.app.tools.stampCarry, 0.0f);

  // 15 pixels: the next dab is due at 20, so none, and 15 is carried.
  EXPECT_EQ(f.Segment(10, 10, 1, 25, 10, 1), 0);
  EXPECT_EQ(f.CountChanged(), 0);
  EXPECT_EQ(f.app.tools.stampCarry, 15.0f);

  // 10 more pixels: one dab 5 pixels along, at (30, 10); 5 carried on.
  EXPECT_EQ(f.Segment(25, 10, 1, 35, 10, 1), 1);
  EXPECT_EQ(f.Changed(), Block(25, 5, 35, 15));
  EXPECT_EQ(f.At(30, 10), 0xFE);
  EXPECT_EQ(f.app.tools.stampCarry, 5.0f);
  EXPECT_EQ(f.dirty, (PixelRect{25, 5, 36, 15}));  // the samples' pixels and the dab's box
}

TEST(StampBrush, FifteenThenFivePixelsPutTheDabAtTwenty) {
  StampFixture f(20);
  f.UseStamp({"1"});
  f.Down(10, 10);
  EXPECT_EQ(f.Segment(10, 10, 1, 25, 10, 1), 0);
  // t = 20 - 15 = 5 is not inside a 5-pixel segment: 20 pixels are carried...
  EXPECT_EQ(f.Segment(25, 10, 1, 30, 10, 1), 0);
  EXPECT_EQ(f.app.tools.stampCarry, 20.0f);
  // ...and the dab lands at the start of the next one, 20 pixels from pen-down; only one.
  EXPECT_EQ(f.Segment(30, 10, 1, 40, 10, 1), 1);
  EXPECT_EQ(f.Changed(), Block(25, 5, 35, 15));
  EXPECT_EQ(f.app.tools.stampCarry, 10.0f);
}

// Size 8 at full pressure: size 8, w = 4, and Roundness 50 gives h = 2, so the 4 x 2 stamp is
// drawn at its own size. Interval 188 gives spacing 1504 / 100 = 15: one dab at (25, 10) on a
// 20-pixel segment from (10, 10).
TEST(StampBrush, StampDabsAtAngleZeroAndNinety) {
  const std::vector<std::string> stamp = {"1110", "1000"};
  {
    StampFixture f(8);
    f.UseStamp(stamp);
    f.Pen().Interval = 188;
    f.Pen().Roundness = 50;
    f.Down(10, 10);
    EXPECT_EQ(f.Segment(10, 10, 1, 30, 10, 1), 1);
    // Corners (23, 9), (27, 9), (27, 11), (23, 11): canvas (23 + i, 9 + j) = stamp (i, j).
    EXPECT_EQ(f.Changed(), (Pixels{{23, 9}, {24, 9}, {25, 9}, {23, 10}}));
    EXPECT_EQ(f.At(23, 9), 0xFE);
    EXPECT_EQ(f.app.tools.stampCarry, 5.0f);
  }
  {
    StampFixture f(8);
    f.UseStamp(stamp);
    f.Pen().Interval = 188;
    f.Pen().Roundness = 50;
    f.Pen().Angle = 90;
    f.Pen().EnablePalette = 1;
    f.Pen().Palette = 3;
    f.Down(10, 10);
    EXPECT_EQ(f.Segment(10, 10, 1, 30, 10, 1), 1);
    // A quarter turn counter-clockwise: top-left corner (-2, -1) -> (-1, 2), so the corners
    // are (24, 12), (24, 8), (26, 8), (26, 12); canvas (24 + j, 8 + k) = stamp (3 - k, j):
    //   ..
    //   #.
    //   #.
    //   ##
    EXPECT_EQ(f.Changed(), (Pixels{{24, 9}, {24, 10}, {24, 11}, {25, 11}}));
    EXPECT_EQ(f.At(24, 9), 0xF7);  // the pen's own layer 3
  }
}

// Size 4 without a stamp: an ellipse with a = b = 2, four points, a diamond around the whole-
// pixel centre (14, 10) (spacing 4 on a 6-pixel segment from (10, 10)). Centres inside:
// row 8.5 column 14; rows 9.5 and 10.5 columns 13..15; row 11.5 column 14.
TEST(StampBrush, EllipseDabsPaintAndTheTailErases) {
  const Pixels diamond{{14, 8}, {13, 9}, {14, 9}, {15, 9}, {13, 10}, {14, 10}, {15, 10}, {14, 11}};
  {
    StampFixture f(4);
    f.Down(10, 10);
    EXPECT_EQ(f.Segment(10, 10, 1, 16, 10, 1), 1);
    EXPECT_EQ(f.Changed(), diamond);
    EXPECT_EQ(f.At(14, 10), 0xFE);
  }
  {
    StampFixture f(4);
    for (int y = 0; y < 32; ++y) std::fill(DibRow(*f.bitmap, y), DibRow(*f.bitmap, y) + 64, uint8_t{0});
    EXPECT_EQ(f.Segment(10, 10, 0, 10, 10, 1, -550), 0);
    EXPECT_EQ(f.Segment(10, 10, 1, 16, 10, 1, -550), 1);
    EXPECT_EQ(f.Changed(0x00), diamond);
    EXPECT_EQ(f.At(14, 10), 0x01);
  }
  {
    // Stamp dabs paint with either end of the pen.
    StampFixture f(4);
    f.UseStamp({"1"});
    f.Down(10, 10);
    EXPECT_EQ(f.Segment(10, 10, 1, 16, 10, 1, -550), 1);
    EXPECT_EQ(f.Changed(), Block(13, 9, 15, 11));
  }
}

TEST(StampBrush, NothingOnALockedOrHiddenLayerOrWithoutMovementOrPressure) {
  StampFixture f(4);
  f.UseStamp({"1"});
  f.canvas.layers.rows[0].locked = 1;
  f.app.tools.stampCarry = 3.0f;
  EXPECT_EQ(f.Segment(10, 10, 1, 30, 10, 1), 0);
  f.canvas.layers.rows[0].locked = 0;
  f.canvas.layers.rows[0].visible = 0;
  EXPECT_EQ(f.Segment(10, 10, 1, 30, 10, 1), 0);
  EXPECT_EQ(f.app.tools.stampCarry, 3.0f);
  f.canvas.layers.rows[0].visible = 1;
  EXPECT_EQ(f.Segment(10.2f, 10, 1, 10.9f, 10.5f, 1), 0);  // one pixel
  EXPECT_EQ(f.Segment(10, 10, 0, 30, 10, 0), 0);          // no pressure
  EXPECT_EQ(f.CountChanged(), 0);
  EXPECT_EQ(f.app.stampCache, nullptr);                 // nothing was transformed
}

// Equal dabs share one transform; every option with a random part takes exactly one number
// of the shared generator per dab, and only when it is on.
TEST(StampBrush, EqualDabsHitTheCacheAndJitterDrawsPerOption) {
  StampFixture f(4);
  f.UseStamp({"1"});
  f.Down(10, 10);
  const XorShift128 before = f.app.tools.sharedRandom;
  EXPECT_EQ(f.Segment(10, 10, 1, 23, 10, 1), 1);  // dabs at 14, 18, 22
  ASSERT_NE(f.app.stampCache, nullptr);
  EXPECT_EQ(f.app.stampCache->misses, 1);
  EXPECT_EQ(f.app.stampCache->hits, 2);
  EXPECT_EQ(f.app.tools.sharedRandom.w, before.w);  // no jitter: no numbers drawn

  f.Pen().SizeJitter = 50;
  f.Pen().AngleJitter = 50;
  f.Pen().Dispersal = 100;  // scatter 4
  XorShift128 expected = f.app.tools.sharedRandom;
  for (int i = 0; i < 3 * 2; ++i) NextXorShift(expected);
  EXPECT_EQ(f.Segment(23, 10, 1, 31, 10, 1), 1);  // dabs at 26 and 30
  EXPECT_EQ(f.app.tools.sharedRandom.w, expected.w);
  EXPECT_EQ(f.app.tools.sharedRandom.x, expected.x);
}

TEST(StampBrush, EllipsePointsFollowTheEllipseTool) {
  PointF p[kMaxStampEllipsePoints];
  // a = 1.5: four points.
  ASSERT_EQ(StampEllipsePoints(1.5f, 1.0f, 0.0, 0.0f, 0.0f, p), 4);
  EXPECT_EQ(p[0].x, -1.5f);
  EXPECT_EQ(p[1].y, 1.0f);
  EXPECT_EQ(p[2].x, 1.5f);
  EXPECT_EQ(p[3].y, -1.0f);
  // a = b = 3: twelve points, x in steps of 1 on the upper half and mirrored below.
  ASSERT_EQ(StampEllipsePoints(3.0f, 3.0f, 0.0, 10.0f, 20.0f, p), 12);
  EXPECT_EQ(p[0].x, 7.0f);
  EXPECT_EQ(p[0].y, 20.0f);
  EXPECT_FLOAT_EQ(p[1].y, 20.0f + std::sqrt(5.0f));
  EXPECT_EQ(p[3].y, 23.0f);
  EXPECT_FLOAT_EQ(p[5].x, 12.0f);
  EXPECT_EQ(p[6].x, 13.0f);
  EXPECT_FLOAT_EQ(p[11].y, 20.0f - std::sqrt(5.0f));
  // A quarter turn counter-clockwise as seen: the left end goes to the bottom (y down).
  ASSERT_EQ(StampEllipsePoints(3.0f, 1.0f, 3.14159265358979323846 / 2, 0.0f, 0.0f, p), 12);
  EXPECT_NEAR(p[0].x, 0.0f, 1e-6);
  EXPECT_NEAR(p[0].y, 3.0f, 1e-6);
  // Huge dabs keep a bounded number of points.
  EXPECT_EQ(StampEllipsePoints(100000.0f, 10.0f, 0.0, 0.0f, 0.0f, p), kMaxStampEllipsePoints);
  EXPECT_EQ(StampEllipsePoints(0.0f, 0.0f, 0.0, 0.0f, 0.0f, p), 0);
}

TEST(StampBrush, ReplayLoadsTheStampAndStartsEachStrokeAfresh) {
  namespace fs = std::filesystem;
  TempFolder folder;
  BmpLayout layout = MakeLayout(4, 2, 1);
  layout.palette = {{255, 255, 255, 0}, {0, 0, 0, 0}};
  layout.rows = {{0xE0}, {0x80}};  // "1110" over "1000", 1 black
  const std::vector<uint8_t> bytes = MakeBmp(layout);
  const fs::path bmp = folder.Write("f.bmp", std::string(bytes.begin(), bytes.end()));

  ScriptCanvas sc(40, 20);
  Canvas& canvas = sc.canvas;
  // The carry of the first stroke (5) must not move the second stroke's dab.
  const std::string script =
      "pen KindOfPen=19 Size=8 Hardness=50 Interval=188 IntervalPressure=0 Roundness=50 Angle=0\n"
      "pen Stamp=1 SizePressure=0 SizeJitter=0 AngleJitter=0 Dispersal=0 DispersalPressure=0\n"
      "pen RoundnessPressure=0 RoundnessTilt=0 AngleRotation=0 Direction=0 EnablePalette=0\n"
      "stamp " + bmp.string() + "\n"
      "layer 2\n"
      "down 10 10 1\nmove 30 10 1\nup 30 10\n"
      "layer 3\n"
      "down 10 10 1\nmove 30 10 1\nup 30 10\n";
  const StrokeScriptResult r = RunStrokeScript(canvas, script);
  ASSERT_TRUE(r.ok) << r.line << ": " << r.error;
  for (int y = 0; y < 20; ++y)
    for (int x = 0; x < 40; ++x) {
      const bool stamped = (y == 9 && x >= 23 && x <= 25) || (y == 10 && x == 23);
      EXPECT_EQ(DibRow(*canvas.bitmap, y)[x], stamped ? 0xF3 : 0xFF) << x << ", " << y;
    }
  EXPECT_EQ(canvas.undo.newest, 1);
  EXPECT_EQ(CanvasToHex(*canvas.previous), CanvasToHex(*canvas.bitmap));

  const StrokeScriptResult missing = RunStrokeScript(canvas, "\nstamp " + (folder / "none.bmp").string() + "\n");
  EXPECT_FALSE(missing.ok);
  EXPECT_EQ(missing.line, 2);
  EXPECT_FALSE(RunStrokeScript(canvas, "stamp\n").ok);
}
