#include "tools/lasso_fill.h"

#include <gtest/gtest.h>

#include "canvas/undo_history.h"
#include "tools/selection_test_support.h"
#include "view/view_test_support.h"

// The triangle (0,0) (8,0) (0,8) covers the 45 pixels with x + y <= 8 (tools/polygon_mask.h).
TEST(LassoFill, TriangleChangesExactlyThePolygonInEachMode) {
  const struct {
    const char* what;
    int kind;
    uint8_t fill;
    int currentLayer, locked, hidden;
    uint8_t inside;
  } cases[] = {
      {"fill paints the drawing layer", kKindLassoFill, 0xFF, 1, -1, -1, 0xFD},
      // Every bit but 3 and 5 set.
      {"erase all spares locked and hidden layers", kKindLassoEraseAll, 0x00, 0, 3, 5, 0xD7},
      {"erase layer touches only the drawing layer", kKindLassoEraseLayer, 0x00, 6, -1, -1, 0x40},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    SelectionFixture f(12, 12, c.kind, c.fill);
    f.canvas.currentLayer = c.currentLayer;
    if (c.locked >= 0) f.canvas.layers.rows[c.locked].locked = 1;
    if (c.hidden >= 0) f.canvas.layers.rows[c.hidden].visible = 0;
    f.Stroke({{0, 0}, {8, 0}, {0, 8}});
    for (int y = 0; y < 12; ++y)
      for (int x = 0; x < 12; ++x) EXPECT_EQ(f.At(x, y), x + y <= 8 ? c.inside : c.fill) << x << "," << y;
    EXPECT_EQ(f.UndoRecords(), 1);
    EXPECT_TRUE(f.PreviousEqualsCanvas());
    PixelRect undone{};
    ASSERT_TRUE(Undo(f.canvas, undone));
    EXPECT_EQ(undone, (PixelRect{0, 0, 9, 9}));
    EXPECT_EQ(f.Count(c.fill), 144);
  }
}

TEST(LassoFill, ClicksLinesAndLockedLayersChangeNothing) {
  SelectionFixture f(12, 12, kKindLassoFill);
  f.Down(3.5f, 3.5f);
  f.Up(3.5f, 3.5f);
  f.Stroke({{1, 1}, {6, 1}});  // two points: no area
  f.canvas.layers.rows[0].locked = 1;
  f.Stroke({{0, 0}, {8, 0}, {0, 8}});
  EXPECT_EQ(f.Count(0xFF), 144);
  EXPECT_EQ(f.UndoRecords(), 0);
}

TEST(LassoFill, SamplesOnOneClientPixelStoreOnePoint) {
  SelectionFixture f(12, 12, kKindLassoFill);
  f.Down(2.5f, 2.5f);
  f.Move(2.1f, 2.9f);
  EXPECT_EQ(f.app.tools.fillLasso.count, 1);
  f.Move(3.5f, 2.5f);
  EXPECT_EQ(f.app.tools.fillLasso.count, 2);
  f.Up(3.5f, 2.5f);
  EXPECT_EQ(f.app.tools.fillLasso.count, 0);
}

TEST(LassoFill, ClosesItselfAt7999Points) {
  // Rows of 80 distinct points from (5, 5); the lasso is applied as point 7999 arrives.
  SelectionFixture f(120, 120, kKindLassoFill);
  auto at = [](int i) { return IntPoint{5 + i % 80, 5 + i / 80}; };
  f.Down(at(0).x + 0.5f, at(0).y + 0.5f);
  for (int i = 1; i <= 7997; ++i) f.Move(at(i).x + 0.5f, at(i).y + 0.5f);
  EXPECT_EQ(f.app.tools.fillLasso.count, 7998);
  EXPECT_EQ(f.Count(0xFF), 120 * 120);
  f.Move(at(7998).x + 0.5f, at(7998).y + 0.5f);
  EXPECT_EQ(f.app.tools.fillLasso.count, 0);
  EXPECT_LT(f.Count(0xFF), 120 * 120);
  f.Up(at(7998).x + 0.5f, at(7998).y + 0.5f);
  EXPECT_EQ(f.UndoRecords(), 1);
}
