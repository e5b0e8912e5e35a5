#include "tools/shape_tools.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <set>
#include <utility>

#include "canvas/canvas_lifecycle.h"
#include "canvas/canvas_test_support.h"
#include "tools/tool_test_support.h"
#include "app/stroke_script.h"
#include "view/view_mapping.h"

namespace {

using Pixels = std::set<std::pair<int, int>>;

// The committed canvas value, with layers 0..3 painted; the tests draw on layer 5.
constexpr uint8_t kBase = 0xF0, kDrawn = 0xD0;

Pixels WithValue(const ToolFixture& f, uint8_t v) {
  Pixels out;
  for (int y = 0; y < f.canvas.height; ++y)
    for (int x = 0; x < f.canvas.width; ++x)
      if (f.At(x, y) == v) out.insert({x, y});
  return out;
}

ToolFixture* ShapeFixture(int kind, int size, int w = 40, int h = 30) {
  ToolFixture* f = new ToolFixture(w, h, kind, size, kBase);
  f->canvas.currentLayer = 5;
  f->Pen().EnablePalette = 0;
  return f;
}

Pixels Rectangle(int l, int t, int r, int b) {
  Pixels out;
  for (int x = l; x <= r; ++x) out.insert({x, t}), out.insert({x, b});
  for (int y = t; y <= b; ++y) out.insert({l, y}), out.insert({r, y});
  return out;
}

int CountInverted(const DibBitmap& b) {
  int n = 0;
  for (int y = 0; y < DibHeight(b); ++y)
    for (int x = 0; x < DibWidth(b); ++x) n += DibRow(b, y)[4 * x] == 0xFF;
  return n;
}

}  // namespace

TEST(ShapeTool, SizeOneLineClearsTheLayerBitOnTheOnePixelLine) {
  std::unique_ptr<ToolFixture> f(ShapeFixture(12, 1));
  DibPtr back(CreateDibBitmap(32, nullptr, 0, 40, 30));
  f->view.backBuffer = back.get();
  EXPECT_EQ(f->Down(10.25f, 10.25f), 0);
  EXPECT_EQ(f->Drag(10.25f, 10.25f, 20.25f, 15.25f), 0);
  EXPECT_EQ(CountInverted(*back), 10);  // the feedback line, end left out
  EXPECT_EQ(WithValue(*f, kDrawn).size(), 0u);
  ASSERT_EQ(f->Release(20.25f, 15.25f, 20.25f, 15.25f), 1);
  EXPECT_EQ(CountInverted(*back), 0);  // removed again
  EXPECT_EQ(WithValue(*f, kDrawn), (Pixels{{10, 10}, {11, 10}, {12, 11}, {13, 11}, {14, 12},
                                           {15, 12}, {16, 13}, {17, 13}, {18, 14}, {19, 14}}));
  EXPECT_EQ(WithValue(*f, kBase).size(), 40u * 30u - 10u);  // every other bit as committed
  // The box (10, 10)-(20, 15), grown by width + 1 before and width + 2 after.
  EXPECT_EQ(f->dirty, (PixelRect{8, 8, 23, 18}));
  f->view.backBuffer = nullptr;
}

TEST(ShapeTool, RectangleOnAViewRotatedByNinetyDegrees) {
  // A 40 x 40 canvas turned by 90 degrees: canvas (x, y) shows at client (y, 40 - x). The
  // samples are placed where canvas (10.25, 10.25) and (20.25, 15.25) show.
  std::unique_ptr<ToolFixture> f(ShapeFixture(13, 1, 40, 40));
  f->view.rotation = 90.0f;
  const ViewPointF a = CanvasToClientF(f->view, 10.25f, 10.25f);
  const ViewPointF b = CanvasToClientF(f->view, 20.25f, 15.25f);
  EXPECT_NEAR(a.x, 10.25f, 1e-3f);
  EXPECT_NEAR(a.y, 29.75f, 1e-3f);
  EXPECT_EQ(f->Down(a.x, a.y), 0);
  EXPECT_EQ(f->Drag(a.x, a.y, b.x, b.y), 0);
  ASSERT_EQ(f->Release(b.x, b.y, b.x, b.y), 1);
  // The box turned by 90: w = |dy| = 5 and h = |dx| = 10 along the turned axes, centre
  // (15, 12.5). Corners (-2, -5), (-2, 5), (2, 5), (2, -5) placed at (trunc(15 - p.y),
  // trunc(12.5 + p.x)): (20, 10), (10, 10), (10, 14), (20, 14). The sides stay parallel to the
  // canvas axes; 10 canvas columns are the rectangle's on-screen height.
  EXPECT_EQ(WithValue(*f, kDrawn), Rectangle(10, 10, 20, 14));
  EXPECT_EQ(WithValue(*f, kDrawn).size(), 28u);
}

TEST(ShapeTool, EllipseWithAOneAndAHalf) {
  std::unique_ptr<ToolFixture> f(ShapeFixture(14, 1));
  f->Down(10.25f, 10.25f);
  f->Drag(10.25f, 10.25f, 13.25f, 12.25f);
  ASSERT_EQ(f->Release(13.25f, 12.25f, 13.25f, 12.25f), 1);
  EXPECT_EQ(WithValue(*f, kDrawn), (Pixels{{10, 11}, {11, 12}, {12, 11}, {11, 10}}));
}

TEST(ShapeTool, AZeroSizeReleaseDrawsAtMostADotInsideTheDirtyRectangle) {
  std::unique_ptr<ToolFixture> f(ShapeFixture(13, 3));
  f->Down(10.5f, 10.5f);
  ASSERT_EQ(f->Release(10.5f, 10.5f, 10.5f, 10.5f), 1);
  Pixels block;
  for (int y = 9; y <= 11; ++y)
    for (int x = 9; x <= 11; ++x) block.insert({x, y});
  EXPECT_EQ(WithValue(*f, kDrawn), block);  // the dot of width 3
  EXPECT_EQ(f->dirty, (PixelRect{6, 6, 15, 15}));

  std::unique_ptr<ToolFixture> thin(ShapeFixture(14, 1));
  thin->Down(10.5f, 10.5f);
  ASSERT_EQ(thin->Release(10.5f, 10.5f, 10.5f, 10.5f), 1);
  EXPECT_TRUE(WithValue(*thin, kDrawn).empty());  // a one-pixel outline of no length
  EXPECT_EQ(thin->dirty, (PixelRect{8, 8, 13, 13}));
}

TEST(ShapeTool, ThePensTailAndALockedLayerChangeNothing) {
  std::unique_ptr<ToolFixture> tail(ShapeFixture(12, 5));
  tail->Down(5.5f, 5.5f);
  tail->Drag(5.5f, 5.5f, 25.5f, 20.5f);
  EXPECT_EQ(tail->Release(25.5f, 20.5f, 25.5f, 20.5f, -550), 0);
  EXPECT_EQ(WithValue(*tail, kBase).size(), 40u * 30u);

  std::unique_ptr<ToolFixture> locked(ShapeFixture(12, 5));
  locked->canvas.layers.rows[5].locked = 1;
  EXPECT_EQ(locked->Down(5.5f, 5.5f), 0);
  EXPECT_EQ(locked->Release(25.5f, 20.5f, 25.5f, 20.5f), 0);
  EXPECT_EQ(WithValue(*locked, kBase).size(), 40u * 30u);
  EXPECT_EQ(locked->app.tools.shape.active, 0);  // not even the pen-down was taken
}

TEST(ShapeTool, ClearingTheLayerUnderTheMaskEqualsTheGreyRampDrawingAndedWithTheCanvas) {
  // Drawing the pixel value 255 - 2^5 where the pen covers and AND-ing with the committed
  // canvas leaves every other bit as it was; the handler must give exactly that, also where
  // the shape runs off the canvas.
  srand(5);
  for (int kind : {12, 13, 14}) {
    std::unique_ptr<ToolFixture> f(ShapeFixture(kind, 5, 20, 16));
    for (int y = 0; y < 16; ++y)
      for (int x = 0; x < 20; ++x) f->SetPixel(x, y, static_cast<uint8_t>(rand()));
    DibPtr committed(CreateDibBitmap(8, nullptr, 0, 20, 16));
    CopyRect(*committed, 0, 0, 20, 16, *f->bitmap, 0, 0);
    f->Down(-2.5f, 3.5f);
    f->Drag(-2.5f, 3.5f, 14.5f, 19.5f);
    ASSERT_EQ(f->Release(14.5f, 19.5f, 14.5f, 19.5f), 1);
    DibPtr covered(CreateDibBitmap(1, nullptr, 0, 60, 60));
    DrawShape(covered.get(), -20, -20, -2, 3, 14, 19, kind, 0.0f, 5);
    for (int y = 0; y < 16; ++y)
      for (int x = 0; x < 20; ++x) {
        const uint8_t before = DibRow(*committed, y)[x];
        const uint8_t grey = MaskBit(DibRow(*covered, y + 20), x + 20) ? 0xDF : 0xFF;
        ASSERT_EQ(f->At(x, y), before & grey) << kind << ": " << x << "," << y;
      }
    EXPECT_EQ(f->dirty, (PixelRect{0, 0, 20, 16}));  // (-2, 3)-(14, 19) grown, clipped
  }
}

TEST(ShapeTool, ReplayDrawsLinesAndShapesFromTheSamples) {
  ScriptCanvas sc(32, 24);
  Canvas& canvas = sc.canvas;
  StrokeScriptResult r = RunStrokeScript(canvas,
                                         "pen KindOfPen=12 Size=1 EnablePalette=0\n"
                                         "layer 2\n"
                                         "down 10 10 1\n"
                                         "move 15 12 1\n"
                                         "move 20 15 1\n"
                                         "up 20 15\n"
                                         "pen KindOfPen=13\n"
                                         "layer 1\n"
                                         "down 2 2 1\n"
                                         "move 8 6 1\n"
                                         "up 8 6\n");
  ASSERT_TRUE(r.ok) << r.line << ": " << r.error;
  EXPECT_EQ(sc.Count(0xFB), 10);
  EXPECT_EQ(DibRow(*canvas.bitmap, 14)[19], 0xFB);
  EXPECT_EQ(DibRow(*canvas.bitmap, 15)[20], 0xFF);
  // (2, 2)-(8, 6): w = 6, h = 4, centre (5, 4): corners (2, 2), (2, 6), (8, 6), (8, 2).
  EXPECT_EQ(sc.Count(0xFD), 2 * 7 + 2 * 3);
  EXPECT_EQ(canvas.undo.newest, 1);  // one record per shape
  EXPECT_EQ(CanvasToHex(*canvas.previous), CanvasToHex(*canvas.bitmap));
}
