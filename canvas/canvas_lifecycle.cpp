#include "canvas/canvas_lifecycle.h"

#include <cstring>

#include "canvas/palette.h"
#include "canvas/undo_history.h"

namespace {

void FillBitmap(DibBitmap& b, uint8_t value) {
  std::memset(b.bits, value, static_cast<size_t>(b.stride) * static_cast<size_t>(DibHeight(b)));
}

}  // namespace

void InitCanvas(Canvas& canvas) {
  const LayerTable keptLayers = canvas.layers;  // only the paper's lock survives a reset
  canvas.width = canvas.height = 0;
  canvas.bitmap = canvas.previous = canvas.importedImage = nullptr;
  canvas.importedImageState = -1;
  canvas.changed = 0;
  canvas.dirty = PixelRect{};
  ResetUndoHistory(canvas.undo);
  canvas.layers = keptLayers;
  ResetLayerTable(canvas.layers);
  canvas.currentLayer = 0;
  canvas.saved = 1;
}

bool NewCanvas(Canvas& canvas, int width, int height) {
  FreeDibBitmap(canvas.bitmap);
  FreeDibBitmap(canvas.previous);
  if (width < 1 || height < 1 || width > kMaxCanvasSide || height > kMaxCanvasSide) {
    canvas.width = canvas.height = 0;
    return false;
  }
  canvas.bitmap = CreateDibBitmap(8, nullptr, 0, width, height);
  canvas.previous = canvas.bitmap ? CreateDibBitmap(8, nullptr, 0, width, height) : nullptr;
  if (!canvas.bitmap || !canvas.previous) {
    FreeDibBitmap(canvas.bitmap);
    FreeDibBitmap(canvas.previous);
    canvas.width = canvas.height = 0;
    return false;
  }
  canvas.width = width;
  canvas.height = height;
  ResetLayerTable(canvas.layers);
  ComputePalette(*canvas.bitmap, canvas.layers);
  FillBitmap(*canvas.bitmap, 0xFF);
  FillBitmap(*canvas.previous, 0xFF);  // its colour table stays zero: only indices matter
  ResetUndoHistory(canvas.undo);
  canvas.saved = 1;
  return true;
}

void DestroyCanvas(Canvas& canvas) {
  FreeDibBitmap(canvas.bitmap);
  FreeDibBitmap(canvas.previous);
  FreeDibBitmap(canvas.importedImage);
  ResetUndoHistory(canvas.undo);
  FreeUndoSpare(canvas.undo);
}

void FreeImportedImage(Canvas& canvas) {
  FreeDibBitmap(canvas.importedImage);
  canvas.importedImageState = -1;
}
