#include "canvas/undo_history.h"

#include <cstdint>
#include <cstring>

#include "canvas/masked_ops.h"

namespace {

int Next(int slot) { return (slot + 1) % kUndoSlots; }
int Previous(int slot) { return (slot + kUndoSlots - 1) % kUndoSlots; }

int32_t ClampToInt32(int64_t v) {
  return static_cast<int32_t>(v < INT32_MIN ? INT32_MIN : (v > INT32_MAX ? INT32_MAX : v));
}

constexpr int64_t kSparePatchMinBytes = 1 << 20;

// Frees a patch, or keeps it as the spare when it is large.
void ReleasePatch(UndoHistory& h, DibBitmap*& patch) {
  if (patch && static_cast<int64_t>(patch->stride) * DibHeight(*patch) >= kSparePatchMinBytes) {
    FreeDibBitmap(h.spare);
    h.spare = patch;
    patch = nullptr;
  }
  FreeDibBitmap(patch);
}

// A patch of w x h with the given colour table: the spare when it has that size.
DibBitmap* NewPatch(UndoHistory& history, const DibColour* colours, int width, int height) {
  DibBitmap* spare = history.spare;
  if (spare && DibWidth(*spare) == width && DibHeight(*spare) == height) {
    history.spare = nullptr;
    std::memcpy(spare->colours, colours, sizeof spare->colours);
    return spare;
  }
  return CreateDibBitmap(8, colours, kDibColourCount, width, height);
}

// Frees one record and gives its bytes back to the budget.
void FreeRecord(UndoHistory& h, int slot) {
  UndoRecord& r = h.slots[slot];
  if (r.patch) {
    h.budget = ClampToInt32(static_cast<int64_t>(h.budget) + UndoRecordSize(r.rect));
    ReleasePatch(h, r.patch);
  }
  r.rect = PixelRect{};
}

// The three copies shared by undo and redo: the patch goes into the canvas, the previous
// canvas's pixels go into the patch (to be swapped back by the opposite step), and the canvas
// goes into the previous canvas.
void SwapPatch(Canvas& canvas, UndoRecord& r) {
  const int w = r.rect.right - r.rect.left, h = r.rect.bottom - r.rect.top;
  CopyRect(*canvas.bitmap, r.rect.left, r.rect.top, w, h, *r.patch, 0, 0);
  CopyRect(*r.patch, 0, 0, w, h, *canvas.previous, r.rect.left, r.rect.top);
  CopyRect(*canvas.previous, r.rect.left, r.rect.top, w, h, *canvas.bitmap, r.rect.left, r.rect.top);
}

}  // namespace

void ResetUndoHistory(UndoHistory& history) {
  for (UndoRecord& r : history.slots) {
    ReleasePatch(history, r.patch);
    r.rect = PixelRect{};
  }
  history.budget = kUndoBudgetBytes;
  history.newest = history.current = history.oldest = -1;
}

void FreeUndoSpare(UndoHistory& history) { FreeDibBitmap(history.spare); }

int64_t UndoRecordSize(const PixelRect& rect) {
  const int64_t w = static_cast<int64_t>(rect.right) - rect.left;
  const int64_t h = static_cast<int64_t>(rect.bottom) - rect.top;
  return ((w + 3) & ~int64_t{3}) * h;
}

bool PushUndo(Canvas& canvas) {
  const PixelRect d = canvas.dirty;
  const int64_t w = static_cast<int64_t>(d.right) - d.left, h = static_cast<int64_t>(d.bottom) - d.top;
  if (d.left >= canvas.width || d.right < 0 || d.top >= canvas.height || d.bottom < 0 || w <= 0 || h <= 0)
    return false;
  if (!canvas.previous || w > INT32_MAX || h > INT32_MAX) return false;
  const int64_t size = UndoRecordSize(d);
  UndoHistory& hist = canvas.undo;

  if (hist.current == -1) {
    // Nothing applied: whatever was undone is gone, the new record starts the history.
    if (hist.oldest != -1) ResetUndoHistory(hist);
    hist.oldest = hist.newest = hist.current = 0;
  } else if (hist.current != hist.newest) {
    // Records were undone: they can no longer be redone.
    for (int s = hist.newest; s != hist.current; s = Previous(s)) FreeRecord(hist, s);
    hist.newest = hist.current = Next(hist.current);
  } else {
    const int next = Next(hist.newest);
    if (next == hist.oldest) {
      // 128 records held: the oldest makes room.
      FreeRecord(hist, hist.oldest);
      hist.newest = hist.current = hist.oldest;
      hist.oldest = Next(hist.oldest);
    } else {
      bool reset = false;
      while (size > hist.budget) {
        FreeRecord(hist, hist.oldest);
        const int advanced = Next(hist.oldest);
        if (advanced == hist.newest || hist.oldest == hist.newest) {
          // Even the newest must go: the new record is then the whole history.
          ResetUndoHistory(hist);
          hist.oldest = hist.newest = hist.current = 0;
          reset = true;
          break;
        }
        hist.oldest = advanced;
      }
      if (!reset) hist.newest = hist.current = next;
    }
  }

  UndoRecord& record = hist.slots[hist.newest];
  ReleasePatch(hist, record.patch);
  record.patch = NewPatch(hist, canvas.previous->colours, static_cast<int>(w), static_cast<int>(h));
  if (!record.patch) {
    // Out of memory: the slot stays empty and the history ends at the record before it.
    record.rect = PixelRect{};
    if (hist.newest == hist.oldest) {
      hist.newest = hist.current = hist.oldest = -1;
    } else {
      hist.newest = hist.current = Previous(hist.newest);
    }
    return false;
  }
  CopyRect(*record.patch, 0, 0, static_cast<int>(w), static_cast<int>(h), *canvas.previous, d.left, d.top);
  record.rect = d;
  // A record larger than the whole budget is still kept; the budget then stays negative.
  hist.budget = ClampToInt32(static_cast<int64_t>(hist.budget) - size);
  canvas.changed = 1;
  return true;
}

bool Undo(Canvas& canvas, PixelRect& rect) {
  UndoHistory& hist = canvas.undo;
  if (hist.current == -1) return false;
  const int s = hist.current;
  UndoRecord& r = hist.slots[s];
  if (!r.patch) return false;
  SwapPatch(canvas, r);
  rect = r.rect;
  hist.current = (s == hist.oldest) ? -1 : Previous(s);
  canvas.changed = 1;
  return true;
}

bool Redo(Canvas& canvas, PixelRect& rect) {
  UndoHistory& hist = canvas.undo;
  if (hist.current == hist.newest) return false;
  const int s = hist.current == -1 ? hist.oldest : Next(hist.current);
  UndoRecord& r = hist.slots[s];
  if (!r.patch) return false;
  hist.current = s;
  SwapPatch(canvas, r);
  rect = r.rect;
  canvas.changed = 1;
  return true;
}

bool HasUnsavedChanges(const Canvas& canvas) {
  const UndoHistory& h = canvas.undo;
  return canvas.saved != 1 || h.newest != -1 || h.current != -1 || h.oldest != -1;
}

bool CommitCanvasRect(Canvas& canvas, const PixelRect& rect, CommitBits bits) {
  canvas.dirty = rect;
  const bool made = PushUndo(canvas);
  if (canvas.previous && canvas.bitmap) {
    const int w = rect.right - rect.left, h = rect.bottom - rect.top;
    if (bits == CommitBits::kAll)
      CopyRect(*canvas.previous, rect.left, rect.top, w, h, *canvas.bitmap, rect.left, rect.top);
    else
      MaskedCopy(*canvas.previous, {rect.left, rect.top, w, h, rect.left, rect.top}, *canvas.bitmap, canvas.layers);
  }
  return made;
}
