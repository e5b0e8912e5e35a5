#include "app/layer_panel.h"

#include <gtest/gtest.h>

#include <vector>

#include "app/session_test_support.h"

namespace {

// The layers from the top of the stack down.
std::vector<int> TopDown(const LayerTable& t) {
  int layerAt[kLayerCount];
  LayersByPosition(t, layerAt);
  std::vector<int> out;
  for (int p = kLayerCount - 1; p >= 0; --p) out.push_back(layerAt[p]);
  return out;
}

TEST(LayerPanel, RowsShowTheStackTopFirst) {
  LayerTable t = DefaultLayerTable();
  EXPECT_EQ(TopDown(t), (std::vector<int>{7, 6, 5, 4, 3, 2, 1, 0}));
  std::swap(t.rows[0].order, t.rows[7].order);
  EXPECT_EQ(TopDown(t), (std::vector<int>{0, 6, 5, 4, 3, 2, 1, 7}));
  t.rows[3].order = 6;  // two layers on position 6: position 3 keeps layer 3
  EXPECT_EQ(TopDown(t)[4], 3);
}

TEST(LayerPanel, RowControlsStackUpFromTheBottomRowAndIndentWhenClipped) {
  const LayerRowBoxes bottom = LayerRowBoxesAt(0, false, 1.0f);
  EXPECT_EQ(bottom.visibility, (WindowBox{2, 142, 16, 16}));
  EXPECT_EQ(bottom.lock, (WindowBox{20, 142, 16, 16}));
  EXPECT_EQ(bottom.blend, (WindowBox{38, 142, 59, 16}));
  EXPECT_EQ(bottom.swatch, (WindowBox{99, 142, 16, 16}));
  EXPECT_EQ(bottom.numberX, 119);
  EXPECT_EQ(bottom.numberY, 144);
  const LayerRowBoxes top = LayerRowBoxesAt(7, true, 2.0f);  // 142 - 140 = 2, indented by 3
  EXPECT_EQ(top.visibility, (WindowBox{10, 4, 32, 32}));
  EXPECT_EQ(top.swatch, (WindowBox{204, 4, 32, 32}));
  EXPECT_EQ(top.numberX, 238);  // numbers are not indented
  const LayerPanelFooter f = LayerPanelFooterBoxes(1.5f);
  EXPECT_EQ(f.paper, (WindowBox{133, 243, 54, 24}));
  EXPECT_EQ(f.clipBox, (WindowBox{3, 273, 24, 24}));
  EXPECT_EQ(f.opacityBar, (WindowBox{72, 303, 115, 19}));
  EXPECT_EQ(BlendListDropHeight(1.5f), 384);
}

TEST(LayerPanel, HighlightFollowsThePensLayer) {
  LayerTable t = DefaultLayerTable();
  PenSetting pen{};
  EXPECT_EQ(HighlightedRow(t, pen, 0), 7);  // layer 0 at the bottom
  EXPECT_EQ(HighlightedRow(t, pen, 5), 2);
  EXPECT_EQ(HighlightedRow(t, pen, kPaperRow), 8);
  pen.EnablePalette = 1;
  pen.Palette = 7;
  EXPECT_EQ(HighlightedRow(t, pen, 0), 0);  // the pen's own layer, not the current one
  pen.Palette = 9;
  EXPECT_EQ(HighlightedRow(t, pen, 0), 8);
  pen.Palette = -3;
  EXPECT_EQ(HighlightedRow(t, pen, 0), 7);
}

TEST(LayerPanel, PressesAndDragsLandOnRowsAndBoundaries) {
  EXPECT_EQ(LayerRowAt(0, 1.0f), 0);
  EXPECT_EQ(LayerRowAt(19, 1.0f), 0);
  EXPECT_EQ(LayerRowAt(20, 1.0f), 1);
  EXPECT_EQ(LayerRowAt(159, 1.0f), 7);
  EXPECT_EQ(LayerRowAt(160, 1.0f), -1);  // the paper row and below are not layers
  EXPECT_EQ(LayerRowAt(-1, 1.0f), -1);
  EXPECT_EQ(LayerRowAt(59, 1.5f), 1);    // 59 / 30
  EXPECT_EQ(DropBoundaryAt(0, 1.0f), 0);
  EXPECT_EQ(DropBoundaryAt(9, 1.0f), 0);
  EXPECT_EQ(DropBoundaryAt(10, 1.0f), 1);
  EXPECT_EQ(DropBoundaryAt(169, 1.0f), 8);
  EXPECT_EQ(DropBoundaryAt(170, 1.0f), -1);
  EXPECT_EQ(DropBoundaryAt(-11, 1.0f), -1);
  EXPECT_EQ(DropBoundaryAt(50, 2.0f), 1);  // (50 + 20) / 40
}

TEST(LayerPanel, DroppingBesideItsOwnRowMovesNothing) {
  LayerTable t = DefaultLayerTable();
  // Layer 4 is at position 4, row 3: boundaries 3 and 4 are its own edges.
  EXPECT_FALSE(DropMoves(3, 3));
  EXPECT_FALSE(DropMoves(4, 3));
  EXPECT_TRUE(DropMoves(2, 3));
  EXPECT_TRUE(DropMoves(5, 3));
  EXPECT_FALSE(DropLayer(t, 4, 3, 3));
  EXPECT_FALSE(DropLayer(t, 4, 4, 3));
  EXPECT_EQ(TopDown(t), TopDown(DefaultLayerTable()));
}

TEST(LayerPanel, BottomLayerDraggedToTheTopAndBack) {
  LayerTable t = DefaultLayerTable();
  EXPECT_TRUE(DropLayer(t, 0, 0, 7));  // row 7 to boundary 0
  EXPECT_EQ(t.rows[0].order, 7);
  EXPECT_EQ(TopDown(t), (std::vector<int>{0, 7, 6, 5, 4, 3, 2, 1}));
  EXPECT_TRUE(DropLayer(t, 0, 8, 0));  // row 0 to boundary 8
  EXPECT_EQ(TopDown(t), TopDown(DefaultLayerTable()));
  // A boundary past the bottom counts as the bottom.
  EXPECT_TRUE(DropLayer(t, 7, 12, 0));
  EXPECT_EQ(TopDown(t), (std::vector<int>{6, 5, 4, 3, 2, 1, 0, 7}));
}

TEST(LayerPanel, MiddleLayerGoesBetweenTheRowsOfTheBoundary) {
  LayerTable t = DefaultLayerTable();
  // Layer 3 (row 4) dropped on boundary 2 (between layers 6 and 5): two swaps up.
  EXPECT_TRUE(DropLayer(t, 3, 2, 4));
  EXPECT_EQ(TopDown(t), (std::vector<int>{7, 6, 3, 5, 4, 2, 1, 0}));
  // And to boundary 7 (between layers 1 and 0): down to position 1.
  EXPECT_TRUE(DropLayer(t, 3, 7, 2));
  EXPECT_EQ(TopDown(t), (std::vector<int>{7, 6, 5, 4, 2, 1, 3, 0}));
  // Only the order fields changed.
  EXPECT_EQ(t.rows[3].colour, DefaultLayerTable().rows[3].colour);
}

TEST(LayerPanel, ChoosingALayerMovesAnOwnLayerPenWithIt) {
  TestSession session(8, 0, 1);
  AppState& s = session.State();
  ChooseCurrentLayer(s, 5);
  EXPECT_EQ(s.canvas.currentLayer, 5);
  EXPECT_EQ(session.Pen().Palette, 0);  // the switch is off: the pen keeps its layer
  session.Pen().EnablePalette = 1;
  ChooseCurrentLayer(s, 3);
  EXPECT_EQ(session.Pen().Palette, 3);
  ChooseCurrentLayer(s, kPaperRow);  // the paper: the pen keeps its layer
  EXPECT_EQ(s.canvas.currentLayer, kPaperRow);
  EXPECT_EQ(session.Pen().Palette, 3);
  ChooseCurrentLayer(s, 9);
  EXPECT_EQ(s.canvas.currentLayer, kPaperRow);
}

TEST(LayerPanel, LayerChangeRecomputesThePaletteAndMarksTheCanvasChanged) {
  TestSession session(8, 0, 1);
  AppState& s = session.State();
  s.canvas.saved = 1;
  s.canvas.layers.rows[kPaperRow].colour = 0x0000FF;  // red paper
  ApplyLayerEntryChange(s);
  StopUpdateThread(s.step.update);
  const DibColour paper = s.canvas.bitmap->colours[255];
  EXPECT_EQ(paper.red, 255);
  EXPECT_EQ(paper.green, 0);
  EXPECT_EQ(s.canvas.saved, 0);
}

}  // namespace
