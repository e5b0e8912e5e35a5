// Making, loading and releasing the canvas. Every new canvas or load is preceded by
// DestroyCanvas and InitCanvas.
#pragma once

#include <filesystem>

#include "canvas/canvas.h"

// Resources a canvas takes from the application at initialisation: the current pen's texture,
// the paper grain and every stamp-brush pen's stamp. Any loader may be null (nothing loaded).
// A loader returns null when the file cannot be read.
struct CanvasResourceLoaders {
  DibBitmap* (*loadTexture)(const PenSetting& pen);
  DibBitmap* (*loadMaterial)();
  DibBitmap* (*loadStamp)(const PenSetting& pen);
};

// Empties the record (the caller has destroyed its bitmaps), resets layers and history, takes
// the pen references and loads the resources; a stamp that cannot be loaded is reported with
// its file name. The current layer starts as the current pen's own layer when it has one.
// Returns 0.
int InitCanvas(uintptr_t owner, Canvas& canvas, PenSetting* pens, int32_t* currentPen,
               const CanvasResourceLoaders* loaders);

// A blank canvas of width x height with default layers. Returns 0, or 1 (and a message) when a
// bitmap cannot be created; the record then holds no bitmaps.
int NewCanvas(Canvas& canvas, int width, int height);

// Frees the bitmaps, the imported image, the undo patches, the texture and the material.
void DestroyCanvas(Canvas& canvas);
