#include "canvas/undo_history.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "canvas/canvas_lifecycle.h"
#include "canvas/canvas_test_support.h"

namespace {

// A small canvas; each "edit" paints layer 0 over one pixel column and commits it, so the
// canvas after edit n has columns 0..n-1 painted (mod the width).
struct UndoCanvas {
  Canvas canvas{};
  UndoCanvas(int width = 8, int height = 2) {
    InitCanvas(canvas);
    EXPECT_TRUE(NewCanvas(canvas, width, height));
  }
  ~UndoCanvas() { DestroyCanvas(canvas); }

  bool Edit(int x, uint8_t value = 0xFE) {
    for (int y = 0; y < canvas.height; ++y) DibRow(*canvas.bitmap, y)[x] = value;
    return CommitCanvasRect(canvas, {x, 0, x + 1, canvas.height});
  }
  uint8_t At(int x, int y = 0) const { return DibRow(*canvas.bitmap, y)[x]; }
  bool PreviousEqualsCanvas() const {
    for (int y = 0; y < canvas.height; ++y)
      for (int x = 0; x < canvas.width; ++x)
        if (DibRow(*canvas.bitmap, y)[x] != DibRow(*canvas.previous, y)[x]) return false;
    return true;
  }
  const UndoHistory& H() const { return canvas.undo; }
};

}  // namespace

TEST(UndoHistory, NewCanvasIsBlankWithAnEmptyHistory) {
  UndoCanvas u;
  EXPECT_EQ(u.At(3, 1), 0xFF);
  EXPECT_EQ(u.H().newest, -1);
  EXPECT_EQ(u.H().budget, kUndoBudgetBytes);
  EXPECT_FALSE(HasUnsavedChanges(u.canvas));
  EXPECT_EQ(u.canvas.bitmap->colours[254].red, 0);  // palette computed: layer 0 black
}

TEST(UndoHistory, OneCommitIsUnsavedEvenWithTheSavedFlagSet) {
  UndoCanvas u;
  EXPECT_TRUE(u.Edit(2));
  EXPECT_EQ(u.canvas.saved, 1);
  EXPECT_TRUE(HasUnsavedChanges(u.canvas));
  EXPECT_TRUE(u.PreviousEqualsCanvas());
  // A patch of 1 x 2 is charged ((1 + 3) & ~3) x 2 = 8 bytes.
  EXPECT_EQ(u.H().budget, kUndoBudgetBytes - 8);
}

TEST(UndoHistory, UndoAndRedoSwapThePixelsBack) {
  UndoCanvas u;
  u.Edit(1);
  u.Edit(2);
  PixelRect r{};
  EXPECT_TRUE(Undo(u.canvas, r));
  EXPECT_EQ(r, (PixelRect{2, 0, 3, 2}));
  EXPECT_EQ(u.At(2), 0xFF);
  EXPECT_EQ(u.At(1), 0xFE);
  EXPECT_TRUE(u.PreviousEqualsCanvas());
  EXPECT_TRUE(Undo(u.canvas, r));
  EXPECT_EQ(u.At(1), 0xFF);
  EXPECT_FALSE(Undo(u.canvas, r));  // nothing left
  // Redo after undoing everything starts from the oldest record.
  EXPECT_TRUE(Redo(u.canvas, r));
  EXPECT_EQ(r, (PixelRect{1, 0, 2, 2}));
  EXPECT_EQ(u.At(1), 0xFE);
  EXPECT_EQ(u.At(2), 0xFF);
  EXPECT_TRUE(Redo(u.canvas, r));
  EXPECT_EQ(u.At(2), 0xFE);
  EXPECT_FALSE(Redo(u.canvas, r));
  EXPECT_TRUE(u.PreviousEqualsCanvas());
}

TEST(UndoHistory, The129thCommitDropsTheOldest) {
  UndoCanvas u(130, 1);
  for (int i = 0; i < 129; ++i) ASSERT_TRUE(u.Edit(i)) << i;
  PixelRect r{};
  int undone = 0;
  while (Undo(u.canvas, r)) ++undone;
  EXPECT_EQ(undone, 128);
  EXPECT_EQ(u.At(0), 0xFE);  // the first edit can no longer be undone
  EXPECT_EQ(u.At(1), 0xFF);
}

TEST(UndoHistory, UndoThreeThenCommitDropsTheUndoneRecords) {
  UndoCanvas u;
  for (int i = 0; i < 5; ++i) u.Edit(i);
  PixelRect r{};
  for (int i = 0; i < 3; ++i) ASSERT_TRUE(Undo(u.canvas, r));
  const int64_t budgetBefore = u.H().budget;
  EXPECT_TRUE(u.Edit(6));
  EXPECT_EQ(u.H().budget, budgetBefore + 3 * 8 - 8);  // three records freed, one added
  EXPECT_FALSE(Redo(u.canvas, r));
  int undone = 0;
  while (Undo(u.canvas, r)) ++undone;
  EXPECT_EQ(undone, 3);  // edits 0, 1 and 6
  EXPECT_EQ(u.At(0), 0xFF);
  EXPECT_EQ(u.At(6), 0xFF);
}

TEST(UndoHistory, UndoEverythingThenCommitLeavesOnlyTheNewRecord) {
  UndoCanvas u;
  u.Edit(0);
  u.Edit(1);
  PixelRect r{};
  while (Undo(u.canvas, r)) {
  }
  u.Edit(5);
  EXPECT_EQ(u.H().oldest, 0);
  EXPECT_EQ(u.H().newest, 0);
  EXPECT_EQ(u.H().budget, kUndoBudgetBytes - 8);
  EXPECT_TRUE(Undo(u.canvas, r));
  EXPECT_FALSE(Undo(u.canvas, r));
}

TEST(UndoHistory, PatchLargerThanTheBudgetEvictsEverythingButStaysUndoable) {
  UndoCanvas u(16, 4);
  u.Edit(0);
  u.Edit(1);
  u.canvas.undo.budget = 20;  // pretend the budget is nearly spent: 20 bytes left
  // A full-canvas edit needs 16 x 4 = 64 bytes: both old records go, then it is kept anyway.
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 16; ++x) DibRow(*u.canvas.bitmap, y)[x] = 0x00;
  EXPECT_TRUE(CommitCanvasRect(u.canvas, {0, 0, 16, 4}));
  EXPECT_EQ(u.H().oldest, u.H().newest);
  PixelRect r{};
  EXPECT_TRUE(Undo(u.canvas, r));
  EXPECT_EQ(u.At(0), 0xFE);  // back to after edit 1
  EXPECT_EQ(u.At(1), 0xFE);
  EXPECT_EQ(u.At(2), 0xFF);
  EXPECT_FALSE(Undo(u.canvas, r));
  EXPECT_TRUE(Redo(u.canvas, r));
  EXPECT_EQ(u.At(5, 3), 0x00);
}

TEST(UndoHistory, RectanglesOutsideOrEmptyMakeNoRecord) {
  UndoCanvas u(8, 2);
  const PixelRect rejected[] = {{8, 0, 9, 1}, {-3, 0, -1, 1}, {0, 2, 1, 3}, {0, -2, 1, -1}, {2, 0, 2, 1}, {2, 1, 3, 1}};
  for (const PixelRect& r : rejected) {
    u.canvas.dirty = r;
    EXPECT_FALSE(PushUndo(u.canvas));
  }
  EXPECT_EQ(u.H().newest, -1);
  // A rectangle reaching past the edges is kept as it is (not clipped) and undoes cleanly.
  u.canvas.dirty = {-2, -1, 3, 1};
  EXPECT_TRUE(PushUndo(u.canvas));
  PixelRect r{};
  EXPECT_TRUE(Undo(u.canvas, r));
  EXPECT_EQ(r, (PixelRect{-2, -1, 3, 1}));
}

// The undo budget holds on the largest preset at 600 DPI: B4, 8598 x 12165, whose whole-canvas
// patch is 104.6 MB, so at most two patches (209 MB) fit in the 256 MiB budget at any time.
// From the third commit on every commit evicts the oldest patch, so a dozen commits show the
// steady state; 128 of them (the full history) take half a minute of copying and show the same.
TEST(UndoHistory, WholeCanvasCommitsOnB4NeverPassTheBudget) {
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
  constexpr int kCommits = 4;  // the instrumented copies are slow
#else
  constexpr int kCommits = 12;
#endif
  UndoCanvas u(8598, 12165);
  const PixelRect whole{0, 0, 8598, 12165};
  int64_t largest = 0;
  for (int i = 0; i < kCommits; ++i) {
    DibRow(*u.canvas.bitmap, i % 12165)[i] = static_cast<uint8_t>(0xFE - (i & 1));
    ASSERT_TRUE(CommitCanvasRect(u.canvas, whole)) << i;
    int64_t held = 0;
    for (const UndoRecord& r : u.canvas.undo.slots)
      if (r.patch) held += static_cast<int64_t>(r.patch->stride) * DibHeight(*r.patch);
    largest = std::max(largest, held);
    ASSERT_LE(held, int64_t{kUndoBudgetBytes}) << "after commit " << i;
  }
  EXPECT_EQ(largest, 2 * int64_t{8600} * 12165);  // rows padded to 8600 bytes
  PixelRect r{};
  EXPECT_TRUE(Undo(u.canvas, r));  // the newest patch is there to undo
}
