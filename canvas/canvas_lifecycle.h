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

// Loads a canvas file into a destroyed and re-initialised canvas: an 8-bit file as it is, a
// true-colour file dithered onto layers 0..2 (blue, green, red, added on black paper), a 1-bit
// file onto layer 0 over its paper colour. Stored layer settings replace the defaults. Returns
// 1, or 0 after "LoadCanvas error" (unreadable or unsupported file) or " Can not Create
// prev.canvas." (no memory); the canvas then holds no bitmaps.
int LoadCanvas(Canvas& canvas, const std::filesystem::path& path);

// Reads an image to be placed onto the canvas (paste, drop) into the imported image, converted
// to layer values like LoadCanvas but leaving the layer table alone. Returns 1, or 0 after
// "LoadCanvas error".
int LoadImportedImage(Canvas& canvas, const std::filesystem::path& path);
void FreeImportedImage(Canvas& canvas);

// The conversions of LoadCanvas, for any bitmap read from a file. Both return a new 8-bit
// bitmap (null when it cannot be allocated) and leave the source alone.
//
// True colour: each pixel starts at 0xFF and clears bit 0 where blue, bit 1 where green, bit 2
// where red exceeds the 4 x 4 ordered-dither threshold of its column and stored row.
DibBitmap* DitherTrueColour(const DibBitmap& source);
// One bit: pixels of colour 0 become 254 (layer 0 painted), pixels of colour 1 become 255.
DibBitmap* OneBitToLayerZero(const DibBitmap& source);
