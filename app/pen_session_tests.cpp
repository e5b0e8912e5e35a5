#include <gtest/gtest.h>

#include "app/pen_session.h"
#include "tools/pen_test_support.h"

TEST(PenSession, SelectingAPenTakesItsOwnLayer) {
  PenFixture f(8, 8, kKindPressurePen, 4);
  f.pens[5].KindOfPen = kKindTiltPencil;
  f.pens[5].EnablePalette = 1;
  f.pens[5].Palette = 3;
  EXPECT_TRUE(SelectPen(f.app, 5, nullptr));
  EXPECT_EQ(f.currentPen, 5);
  EXPECT_EQ(f.canvas.currentLayer, 3);
  EXPECT_FALSE(SelectPen(f.app, 16, nullptr));
  EXPECT_EQ(f.currentPen, 5);
}

TEST(PenSession, RepairsABrokenPaletteAndCurrentLayer) {
  PenFixture f(8, 8, kKindPressurePen, 4);
  f.Pen().Palette = 9;  // as read from a damaged settings file
  f.canvas.currentLayer = kPaperRow;
  EXPECT_TRUE(RepairPenLayer(f.app));
  EXPECT_EQ(f.Pen().Palette, 0);
  EXPECT_EQ(f.canvas.currentLayer, 0);
  EXPECT_FALSE(RepairPenLayer(f.app));
}

namespace {
DibBitmap* NoStamp(const PenSetting&) { return nullptr; }
DibBitmap* SmallMaterial() { return CreateDibBitmap(8, nullptr, 0, 4, 4); }
}  // namespace

TEST(PenSession, StartingACanvasReportsEachPenWhoseStampCannotBeRead) {
  PenFixture f(8, 8, kKindPressurePen, 4);
  f.pens[2].Stamp = 1;
  f.pens[9].Stamp = 1;
  f.Pen().EnablePalette = 1;
  f.Pen().Palette = 6;
  const CanvasResourceLoaders loaders{nullptr, SmallMaterial, NoStamp};
  EXPECT_EQ(StartCanvasSession(f.app, &loaders), (1u << 2) | (1u << 9));
  EXPECT_EQ(f.canvas.currentLayer, 6);
  ASSERT_NE(f.app.material, nullptr);
  ReleaseStrokeResources(f.app);
  EXPECT_EQ(f.app.material, nullptr);
}
