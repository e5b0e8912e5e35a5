// Making and releasing the canvas document. Every new canvas or load is preceded by
// DestroyCanvas and InitCanvas.
#pragma once

#include "canvas/canvas.h"

// Empties the record (the caller has destroyed its bitmaps) and resets layers and history; only
// the paper's lock survives. The current layer starts at 0 (the session then gives it the
// current pen's own layer).
void InitCanvas(Canvas& canvas);

// A blank canvas of width x height with default layers. Returns false when a side is outside
// 1..kMaxCanvasSide or a bitmap cannot be created; the record then holds no bitmaps.
[[nodiscard]] bool NewCanvas(Canvas& canvas, int width, int height);

// Frees the bitmaps, the imported image and the undo patches.
void DestroyCanvas(Canvas& canvas);

// Drops the image held for placing onto the canvas.
void FreeImportedImage(Canvas& canvas);
