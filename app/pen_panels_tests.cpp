#include "app/pen_panels.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(PenPanels, NameKeepsThirtyOneUnits) {
  PenSetting pen{};
  SetPenName(pen, u"Pencil");
  EXPECT_EQ(std::u16string(pen.Name), u"Pencil");
  const std::u16string long40(40, u'x');
  SetPenName(pen, long40);
  EXPECT_EQ(std::u16string(pen.Name), std::u16string(31, u'x'));
  EXPECT_EQ(pen.Name[31], u'\0');
  SetPenName(pen, u"");
  EXPECT_EQ(pen.Name[0], u'\0');
  EXPECT_EQ(pen.Name[5], u'\0');  // the old name's tail is gone too
}

TEST(PenPanels, ListRowsAreEighteenScaledPixels) {
  // 100 %: rows 0..15 at 0..287; 150 %: 27 pixels a row, 432 in all.
  const struct {
    int32_t y;
    float s;
    int32_t row;
  } cases[] = {{0, 1, 0}, {17, 1, 0}, {18, 1, 1}, {287, 1, 15}, {288, 1, -1}, {-1, 1, -1},
               {26, 1.5f, 0}, {27, 1.5f, 1}, {431, 1.5f, 15}, {432, 1.5f, -1}, {71, 2, 1}, {72, 2, 2}};
  for (const auto& c : cases) EXPECT_EQ(PenListRowAt(c.y, c.s), c.row) << c.y << " at " << c.s;
  EXPECT_EQ(PenListIconBox(2, 1), (WindowBox{2, 37, 16, 16}));
  EXPECT_EQ(PenListIconBox(15, 2), (WindowBox{4, 542, 32, 32}));
}

TEST(PenPanels, SelectorIsFourByFourCells) {
  const PenGrid grid = PenSelectorGrid(1);
  EXPECT_EQ(PenGridWidth(grid), 148);  // 2 + 4 * 36 + 2
  EXPECT_EQ(PenGridHeight(grid), 148);
  EXPECT_EQ(PenGridIconBox(grid, 0), (WindowBox{4, 4, 32, 32}));
  EXPECT_EQ(PenGridIconBox(grid, 5), (WindowBox{40, 40, 32, 32}));
  EXPECT_EQ(PenGridIconBox(grid, 15), (WindowBox{112, 112, 32, 32}));
  EXPECT_EQ(PenGridHitAt(grid, 2, 2), (PenGridHit{PenGridHit::kPen, 0}));
  EXPECT_EQ(PenGridHitAt(grid, 37, 2), (PenGridHit{PenGridHit::kPen, 0}));
  EXPECT_EQ(PenGridHitAt(grid, 38, 74), (PenGridHit{PenGridHit::kPen, 9}));
  EXPECT_EQ(PenGridHitAt(grid, 145, 145), (PenGridHit{PenGridHit::kPen, 15}));
  EXPECT_EQ(PenGridHitAt(grid, 1, 50), PenGridHit{});
  EXPECT_EQ(PenGridHitAt(grid, 146, 50), PenGridHit{});
  EXPECT_EQ(PenGridHitAt(grid, 50, 146), PenGridHit{});  // no layer row
  EXPECT_EQ(PenGridWidth(PenSelectorGrid(2)), 296);
}

TEST(PenPanels, EasyPanelHasTwoPenRowsAndALayerRow) {
  const PenGrid grid = EasyPanelGrid(1);
  EXPECT_EQ(PenGridWidth(grid), 228);   // 2 + 8 * 28 + 2
  EXPECT_EQ(PenGridHeight(grid), 88);   // 2 + 3 * 28 + 2
  EXPECT_EQ(PenGridIconBox(grid, 9), (WindowBox{32, 32, 24, 24}));
  EXPECT_EQ(PenGridLayerBox(grid, 7), (WindowBox{200, 60, 24, 24}));
  EXPECT_EQ(PenGridHitAt(grid, 31, 31), (PenGridHit{PenGridHit::kPen, 9}));
  EXPECT_EQ(PenGridHitAt(grid, 225, 85), (PenGridHit{PenGridHit::kLayer, 7}));
  EXPECT_EQ(PenGridHitAt(grid, 3, 58), (PenGridHit{PenGridHit::kLayer, 0}));
  EXPECT_EQ(PenGridHitAt(grid, 3, 86), PenGridHit{});
}

TEST(PenPanels, PopupCentresOnTheMouseInsideTheClient) {
  EXPECT_EQ(PopupAtMouse(400, 300, 148, 148, 1000, 700), (PopupPosition{326, 226}));
  EXPECT_EQ(PopupAtMouse(10, 10, 148, 148, 1000, 700), (PopupPosition{0, 0}));
  EXPECT_EQ(PopupAtMouse(990, 690, 148, 148, 1000, 700), (PopupPosition{852, 552}));
  EXPECT_EQ(PopupAtMouse(50, 50, 148, 148, 100, 100), (PopupPosition{0, 0}));  // larger than the client
}

}  // namespace
