// The document: one 8-bit canvas bitmap whose bits are the eight layers, the previous canvas
// holding the last committed state, and the undo history of patches cut from it.
//
// Invariant outside a commit: the previous canvas equals the canvas bitmap. Tools change only
// the canvas bitmap between commits, so a stroke can always be abandoned by copying the
// previous canvas back.
#pragma once

#include <cstdint>

#include "canvas/dib_bitmap.h"
#include "canvas/layer_table.h"
#include "canvas/pixel_rect.h"

// The largest canvas side the program makes or loads, in pixels: the largest size preset (A3)
// at 1200 DPI is 14032 x 19843. A larger side is refused before anything is allocated.
inline constexpr int32_t kMaxCanvasSide = 20000;

inline constexpr int kUndoSlots = 128;
inline constexpr int32_t kUndoBudgetBytes = 0x10000000;  // 256 MiB of patch pixels

// One undo step: the previous-canvas pixels of rect, cut before the commit that changed them.
struct UndoRecord {
  DibBitmap* patch;  // 8-bit, or null
  PixelRect rect;    // canvas coordinates
};

// A ring of records; indices advance and retreat modulo kUndoSlots; -1 means none.
struct UndoHistory {
  int32_t budget;    // bytes still available for patches
  int32_t newest;    // newest record
  int32_t current;   // record the next undo reverts
  int32_t oldest;    // oldest record
  UndoRecord slots[kUndoSlots];
  // The last large patch freed, kept for the next record of the same size: whole-canvas edits
  // then reuse memory that is already mapped instead of faulting in a fresh 35 MB each time.
  DibBitmap* spare;
};

// The document only: what a session does with it (pens, textures, tool state) lives in the
// application layer.
struct Canvas {
  int32_t width, height;        // pixels
  DibBitmap* bitmap;            // the working canvas; its colour table is the palette
  DibBitmap* previous;          // last committed pixels, same size
  DibBitmap* importedImage;     // an image held for placing onto the canvas, or null
  int32_t importedImageState;   // -1 after initialisation, 1 while an image is held
  PixelRect dirty;              // area changed by the edit being committed
  UndoHistory undo;

  int32_t changed;              // set by every commit, undo and redo; read by the screen update
  LayerTable layers;
  int32_t currentLayer;         // 0..7, or kPaperRow while the paper colour is edited
  int32_t saved;                // 1 after a new canvas, a load or a save
};
