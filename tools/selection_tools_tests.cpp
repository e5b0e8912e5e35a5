#include "tools/selection_tools.h"

#include <gtest/gtest.h>

#include "canvas/undo_history.h"
#include "tools/selection_test_support.h"
#include "view/view_test_support.h"

namespace {

// A path of distinct neighbouring points walking rows of 80 pixels from (5, 5).
IntPoint ZigZag(int i) { return {5 + i % 80, 5 + i / 80}; }

}  // namespace

TEST(SelectionLasso, SamplesOnOneClientPixelStoreOnePoint) {
  SelectionFixture f(20, 20, kKindLassoSelectionLayer);
  f.Down(5.5f, 5.5f);
  EXPECT_EQ(f.app.tools.selectionLasso.count, 1);
  f.Move(5.2f, 5.9f);
  f.Move(5.9f, 5.01f);  // positions are stored in sixteenths: 5.875, 5.0
  EXPECT_EQ(f.app.tools.selectionLasso.count, 1);
  f.Move(6.5f, 5.5f);
  EXPECT_EQ(f.app.tools.selectionLasso.count, 2);
  f.Up(6.5f, 5.5f);
  EXPECT_EQ(f.app.tools.selectionLasso.count, 0);
}

TEST(SelectionLasso, ClosesItselfAt7998Points) {
  SelectionFixture f(120, 120, kKindLassoSelectionAll, 0x00);
  f.Down(ZigZag(0).x + 0.5f, ZigZag(0).y + 0.5f);
  for (int i = 1; i <= 7996; ++i) f.Move(ZigZag(i).x + 0.5f, ZigZag(i).y + 0.5f);
  EXPECT_EQ(f.app.tools.selectionLasso.count, 7997);
  EXPECT_EQ(f.floating.floating, 0);
  f.Move(ZigZag(7997).x + 0.5f, ZigZag(7997).y + 0.5f);  // point 7998: lifted at once
  EXPECT_EQ(f.app.tools.selectionLasso.count, 0);
  EXPECT_EQ(f.floating.floating, 1);
  EXPECT_EQ(f.UndoRecords(), 0);  // committed when the stroke ends
  f.Move(ZigZag(7998).x + 0.5f, ZigZag(7998).y + 0.5f);
  f.Up(ZigZag(7998).x + 0.5f, ZigZag(7998).y + 0.5f);
  EXPECT_EQ(f.UndoRecords(), 1);
  EXPECT_TRUE(f.PreviousEqualsCanvas());
  // The zigzag's box is x 5..84, y 5..104.
  EXPECT_EQ(f.floating.canvasRect, (PixelRect{5, 5, 85, 105}));
}

TEST(SelectionRect, SingleLayerKindLiftsOnlyTheDrawingLayer) {
  // Everything painted; the rectangle (2,2)-(5,4) covers x 2..5, y 2..4: 12 pixels.
  SelectionFixture f(12, 12, kKindRectangleSelectionLayer, 0x00);
  f.canvas.layers.rows[3].locked = 1;
  f.canvas.layers.rows[4].visible = 0;
  f.canvas.currentLayer = 2;
  f.Down(2.5f, 2.5f);
  f.Move(4.5f, 3.5f);
  f.Move(5.5f, 4.5f);
  f.Up(5.5f, 4.5f);
  EXPECT_EQ(f.Count(0x04), 12);
  EXPECT_EQ(f.Count(0x00), 144 - 12);
  EXPECT_EQ(f.At(2, 2), 0x04);
  EXPECT_EQ(f.At(5, 4), 0x04);
  EXPECT_EQ(f.At(6, 4), 0x00);
  ASSERT_EQ(f.floating.floating, 1);
  ASSERT_NE(f.floating.image, nullptr);
  EXPECT_EQ(DibDepth(*f.floating.image), 1);
  EXPECT_EQ(f.floating.canvasRect, (PixelRect{2, 2, 6, 5}));
  for (int y = 0; y < 3; ++y)
    for (int x = 0; x < 4; ++x) {
      EXPECT_EQ(MaskBit(DibRow(*f.floating.image, y), x), 1);
      EXPECT_EQ(MaskBit(DibRow(*f.floating.shapeMask, y), x), 1);
    }
  EXPECT_EQ(f.UndoRecords(), 1);
  EXPECT_TRUE(f.PreviousEqualsCanvas());
}

TEST(SelectionRect, AllLayerKindSparesLockedAndHiddenLayers) {
  SelectionFixture f(12, 12, kKindRectangleSelectionAll, 0x00);
  f.canvas.layers.rows[3].locked = 1;
  f.canvas.layers.rows[4].visible = 0;
  f.canvas.currentLayer = 2;
  f.Down(5.5f, 4.5f);  // corners in either order
  f.Move(2.5f, 2.5f);
  f.Up(2.5f, 2.5f);
  // Inside, every editable bit is set: 0xFF without bits 3 and 4.
  EXPECT_EQ(f.Count(0xE7), 12);
  EXPECT_EQ(f.At(2, 2), 0xE7);
  EXPECT_EQ(f.Count(0x00), 144 - 12);
  ASSERT_NE(f.floating.image, nullptr);
  EXPECT_EQ(DibDepth(*f.floating.image), 8);
  EXPECT_EQ(DibRow(*f.floating.image, 1)[1], 0x00);
}

TEST(SelectionRect, LockedOrHiddenCurrentLayerSelectsNothing) {
  SelectionFixture f(12, 12, kKindRectangleSelectionAll, 0x00);
  f.canvas.layers.rows[0].locked = 1;
  f.Down(2.5f, 2.5f);
  f.Move(5.5f, 4.5f);
  f.Up(5.5f, 4.5f);
  EXPECT_EQ(f.Count(0x00), 144);
  EXPECT_EQ(f.floating.floating, 0);
  EXPECT_EQ(f.UndoRecords(), 0);
}

TEST(SelectionRect, FeedbackIsInvertedWhileDraggingAndGoneAfterRelease) {
  SelectionFixture f(12, 12, kKindRectangleSelectionAll);
  DibPtr back(CreateDibBitmap(32, nullptr, 0, 12, 12));
  f.view.backBuffer = back.get();
  auto pixel = [&](int x, int y) { return reinterpret_cast<const uint32_t*>(DibRow(*back, y))[x]; };
  f.Down(2.5f, 2.5f);
  f.Move(5.5f, 4.5f);
  // The outline through the corners (2,2) (5,2) (5,4) (2,4): its pixels are inverted.
  EXPECT_EQ(pixel(2, 2) & 0xFFFFFF, 0xFFFFFFu);
  EXPECT_EQ(pixel(5, 3) & 0xFFFFFF, 0xFFFFFFu);
  EXPECT_EQ(pixel(3, 3), 0u);
  f.Up(5.5f, 4.5f);
  for (int y = 0; y < 12; ++y)
    for (int x = 0; x < 12; ++x) EXPECT_EQ(pixel(x, y), 0u) << x << "," << y;
  f.view.backBuffer = nullptr;
}

TEST(FloatingSelection, DropMovedWritesTheLiftedPixelsThereAsOneUndoRecord) {
  SelectionFixture f(16, 16, kKindRectangleSelectionAll);
  f.Set(2, 2, 0xFE);
  f.Set(3, 2, 0xFD);
  f.Set(4, 3, 0x00);
  f.Set(5, 4, 0x7F);
  f.Set(9, 9, 0xBF);  // outside the selection and the target
  f.Down(2.5f, 2.5f);
  f.Up(5.5f, 4.5f);  // the release position is the second corner
  ASSERT_EQ(f.floating.floating, 1);
  EXPECT_EQ(f.Count(0xFF), 255);  // the four lifted values are gone
  EXPECT_EQ(f.UndoRecords(), 1);

  f.floating.clientX += 6.0f;  // the selection window moved 6 right, 3 down
  f.floating.clientY += 3.0f;
  EXPECT_EQ(FloatingDropPosition(f.app), (IntPoint{8, 5}));
  const PixelRect written = DropFloatingSelection(f.app);
  EXPECT_EQ(written, (PixelRect{8, 5, 12, 8}));
  EXPECT_EQ(f.floating.floating, 0);
  EXPECT_EQ(f.floating.image, nullptr);
  EXPECT_EQ(f.At(8, 5), 0xFE);
  EXPECT_EQ(f.At(9, 5), 0xFD);
  EXPECT_EQ(f.At(10, 6), 0x00);
  EXPECT_EQ(f.At(11, 7), 0x7F);
  EXPECT_EQ(f.At(9, 9), 0xBF);
  EXPECT_EQ(f.Count(0xFF), 256 - 5);
  EXPECT_EQ(f.UndoRecords(), 2);
  EXPECT_TRUE(f.PreviousEqualsCanvas());

  PixelRect undone{};
  ASSERT_TRUE(Undo(f.canvas, undone));
  EXPECT_EQ(undone, (PixelRect{8, 5, 12, 8}));
  EXPECT_EQ(f.Count(0xFF), 255);
}

TEST(FloatingSelection, SingleLayerDropSetsTheCurrentLayerInsideTheShapeOnly) {
  // Layer 0 painted everywhere, layer 1 at three pixels inside the triangle (2,2) (6,2) (2,6),
  // which covers the 15 pixels with (x - 2) + (y - 2) <= 4.
  SelectionFixture f(16, 16, kKindLassoSelectionLayer, 0xFE);
  f.canvas.currentLayer = 1;
  f.Set(2, 2, 0xFC);
  f.Set(3, 3, 0xFC);
  f.Set(4, 2, 0xFC);
  f.Set(6, 6, 0xFC);  // outside the triangle: stays
  f.Stroke({{2, 2}, {6, 2}, {2, 6}});
  ASSERT_EQ(f.floating.floating, 1);
  EXPECT_EQ(f.Count(0xFC), 1);
  EXPECT_EQ(f.floating.canvasRect, (PixelRect{2, 2, 7, 7}));

  f.floating.clientX += 5.0f;
  f.floating.clientY += 1.0f;
  DropFloatingSelection(f.app);
  EXPECT_EQ(f.At(7, 3), 0xFC);
  EXPECT_EQ(f.At(8, 4), 0xFC);
  EXPECT_EQ(f.At(9, 3), 0xFC);
  EXPECT_EQ(f.At(6, 6), 0xFC);
  EXPECT_EQ(f.Count(0xFC), 4);
  EXPECT_EQ(f.Count(0xFE), 256 - 4);
  EXPECT_EQ(f.UndoRecords(), 2);
}

TEST(FloatingSelection, PictureShowsTheDisplayColoursInsideTheOutline) {
  SelectionFixture f(12, 12, kKindRectangleSelectionAll);
  f.Set(3, 3, 0xFE);  // layer 0, black by default
  f.Set(4, 3, 0xFD);  // layer 1
  ComputePalette(*f.canvas.bitmap, f.canvas.layers);
  f.Down(2.5f, 2.5f);
  f.Up(5.5f, 4.5f);
  ASSERT_NE(f.floating.picture, nullptr);
  const DibBitmap& p = *f.floating.picture;
  ASSERT_EQ(DibWidth(p), 4);
  ASSERT_EQ(DibHeight(p), 3);
  auto pixel = [&](int x, int y) { return reinterpret_cast<const uint32_t*>(DibRow(p, y))[x] & 0xFFFFFF; };
  const DibColour one = f.canvas.bitmap->colours[0xFD];
  EXPECT_EQ(pixel(1, 1), 0u);  // layer 0's black
  EXPECT_EQ(pixel(2, 1), static_cast<uint32_t>(one.blue | one.green << 8 | one.red << 16));
  // The outline runs round the border through the corner pixels' centres, inverted: the
  // paper's white becomes black.
  EXPECT_EQ(pixel(0, 0), 0u);
  EXPECT_EQ(pixel(3, 2), 0u);
  EXPECT_EQ(pixel(2, 0), 0u);
  // Every pixel of a rectangle's picture lies inside the shape, so the window shows it all.
  for (int y = 0; y < 3; ++y)
    for (int x = 0; x < 4; ++x) EXPECT_TRUE(FloatingPixelShown(reinterpret_cast<const uint32_t*>(DibRow(p, y))[x]));
  EXPECT_FALSE(FloatingPixelShown(0x00FFFFFFu));  // white outside the shape
  EXPECT_TRUE(FloatingPixelShown(0xFF000000u | 0xFFFFFF));  // white paper inside it
  EXPECT_TRUE(FloatingPixelShown(0x000000u));  // the outline inverted outside it
}

TEST(FloatingSelection, DropUndoesTheViewTurnAndMirror) {
  // On a view turned by 90 degrees view x runs along canvas y and view y against canvas x; on
  // a mirrored view view x runs against canvas x.
  SelectionFixture f(16, 16, kKindRectangleSelectionAll);
  const IntPoint corners[4] = {{2, 2}, {5, 2}, {5, 4}, {2, 4}};
  f.view.rotation = 90.0f;
  ASSERT_EQ(LiftSelection(f.app, corners, 4, true), (PixelRect{2, 2, 6, 5}));
  EXPECT_EQ(FloatingDropPosition(f.app), (IntPoint{2, 2}));
  f.floating.clientX += 3.0f;
  EXPECT_EQ(FloatingDropPosition(f.app), (IntPoint{2, 5}));
  f.floating.clientY += 2.0f;
  EXPECT_EQ(FloatingDropPosition(f.app), (IntPoint{0, 5}));
  DropFloatingSelection(f.app);

  f.view.rotation = 0.0f;
  f.view.mirrored = 1;
  LiftSelection(f.app, corners, 4, true);
  f.floating.clientX += 3.0f;
  EXPECT_EQ(FloatingDropPosition(f.app), (IntPoint{-1, 2}));
}

TEST(FloatingSelection, ANewLiftDropsTheFloatingOneFirst) {
  SelectionFixture f(16, 16, kKindRectangleSelectionAll);
  f.Set(2, 2, 0xFE);
  f.Set(10, 10, 0xFD);
  f.Stroke({{2, 2}, {3, 3}});
  f.floating.clientX += 4.0f;  // moved to (6, 2), not yet dropped
  f.Stroke({{10, 10}, {11, 11}});
  EXPECT_EQ(f.At(6, 2), 0xFE);  // the first selection landed where it was moved
  EXPECT_EQ(f.At(10, 10), 0xFF);
  ASSERT_EQ(f.floating.floating, 1);
  EXPECT_EQ(DibRow(*f.floating.image, 0)[0], 0xFD);
  EXPECT_EQ(f.UndoRecords(), 3);  // lift, drop, lift
}

TEST(FloatingSelection, DropOverTheCanvasEdgeWritesOnlyTheCanvasPart) {
  SelectionFixture f(16, 16, kKindRectangleSelectionAll);
  for (int x = 2; x <= 5; ++x) f.Set(x, 3, 0xFE);
  const IntPoint corners[4] = {{2, 2}, {5, 2}, {5, 4}, {2, 4}};
  LiftSelection(f.app, corners, 4, true);
  f.floating.clientX -= 4.0f;  // target (-2, 2): columns 0 and 1 stay on the canvas
  EXPECT_EQ(DropFloatingSelection(f.app), (PixelRect{0, 2, 2, 5}));
  EXPECT_EQ(f.At(0, 3), 0xFE);
  EXPECT_EQ(f.At(1, 3), 0xFE);
  EXPECT_EQ(f.Count(0xFE), 2);

  LiftSelection(f.app, corners, 4, true);  // nothing painted there now: lifts blank pixels
  f.floating.clientY += 40.0f;             // wholly below the canvas
  EXPECT_TRUE(IsRectEmpty(DropFloatingSelection(f.app)));
  EXPECT_EQ(f.floating.floating, 0);
}
