// The undo history: a ring of up to 128 patches cut from the previous canvas before each
// commit, charged against a budget of 256 MiB of patch pixels.
#pragma once

#include "canvas/canvas.h"

// Empties the history: frees every patch, budget back to 256 MiB, all indices -1.
void ResetUndoHistory(UndoHistory& history);

// Frees the spare patch memory the history keeps for reuse (when the canvas is destroyed).
void FreeUndoSpare(UndoHistory& history);

// Bytes a record of rect is charged: its patch's pixel memory, ((w + 3) & ~3) x h.
int64_t UndoRecordSize(const PixelRect& rect);

// Cuts the canvas's dirty rectangle out of the previous canvas into a new record. Returns true
// when a record was made, false when the rectangle lies outside the canvas or is empty (no record,
// nothing changed) or the patch cannot be allocated.
bool PushUndo(Canvas& canvas);

// Puts back the record the next undo reverts; rect receives the area to redraw. False when
// there is nothing to undo (rect untouched).
bool Undo(Canvas& canvas, PixelRect& rect);

// Applies again the record after the current one. False when there is nothing to redo.
bool Redo(Canvas& canvas, PixelRect& rect);

// True when the canvas was never saved as it is, or when the history holds any record.
bool HasUnsavedChanges(const Canvas& canvas);

// Which bits of the committed rectangle are copied into the previous canvas.
enum class CommitBits {
  kEditable,  // the bits of visible, unlocked layers: commands and drops write only those
  kAll,       // every bit: a painting pen bound to a locked layer still paints it
};

// The commit protocol of every editing command and tool, after the canvas bitmap changed
// inside rect (which lies inside the canvas): dirty = rect, PushUndo, then the rectangle's bits
// chosen by `bits` are copied into the previous canvas. Returns PushUndo's result; the previous
// canvas is brought up to date even when no record could be made, so it always equals the
// canvas outside a commit. Callers that share the canvas with the update thread hold the view
// lock around it.
bool CommitCanvasRect(Canvas& canvas, const PixelRect& rect, CommitBits bits = CommitBits::kEditable);

// Whether Undo and Redo would change anything now (menu greying).
inline bool CanUndo(const UndoHistory& h) { return h.current != -1 && h.slots[h.current].patch; }
inline bool CanRedo(const UndoHistory& h) {
  if (h.current == h.newest || h.oldest == -1) return false;
  const int next = h.current == -1 ? h.oldest : (h.current + 1) % kUndoSlots;
  return h.slots[next].patch != nullptr;
}
