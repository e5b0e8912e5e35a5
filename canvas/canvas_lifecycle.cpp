#include "canvas/canvas_lifecycle.h"

#include <cstring>

#include "brush/pen_setting.h"
#include "canvas/palette.h"
#include "canvas/undo_history.h"
#include "canvas/user_message.h"
#include "settings/utf_text.h"
#include "tools/stamp_cache.h"

namespace {

void FillBitmap(DibBitmap& b, uint8_t value) {
  std::memset(b.bits, value, static_cast<size_t>(b.stride) * static_cast<size_t>(DibHeight(b)));
}

}  // namespace

int InitCanvas(uintptr_t owner, Canvas& canvas, PenSetting* pens, int32_t* currentPen,
               const CanvasResourceLoaders* loaders) {
  const LayerTable keptLayers = canvas.layers;  // only the paper's lock survives a reset
  canvas.owner = owner;
  canvas.width = canvas.height = 0;
  canvas.bitmap = canvas.previous = canvas.importedImage = nullptr;
  canvas.importedImageState = -1;
  canvas.reserved = 0;
  canvas.changed = 0;
  canvas.dirty = PixelRect{};
  ResetUndoHistory(canvas.undo);
  canvas.layers = keptLayers;
  ResetLayerTable(canvas.layers);
  canvas.stampCache = nullptr;
  canvas.pens = pens;
  canvas.currentPen = currentPen;
  canvas.texture = canvas.material = nullptr;
  canvas.currentLayer = 0;
  if (pens && currentPen) {
    const PenSetting& pen = pens[*currentPen];
    if (pen.EnablePalette == 1) canvas.currentLayer = pen.Palette;
    if (loaders && loaders->loadTexture) canvas.texture = loaders->loadTexture(pen);
  }
  if (loaders && loaders->loadMaterial) canvas.material = loaders->loadMaterial();
  if (pens && loaders && loaders->loadStamp) {
    for (int i = 0; i < kPenCount; ++i) {
      PenSetting& pen = pens[i];
      if (pen.Stamp != 1) continue;
      FreeDibBitmap(pen.stampBitmap);
      pen.stampBitmap = loaders->loadStamp(pen);
      if (!pen.stampBitmap) ShowUserMessage(Utf16ToUtf8(TextOf(pen.StampFileName, kPathUnits)).c_str(), "Dotwright", MessageIcon::kStop);
    }
  }
  canvas.saved = 1;
  return 0;
}

int NewCanvas(Canvas& canvas, int width, int height) {
  FreeDibBitmap(canvas.bitmap);
  FreeDibBitmap(canvas.previous);
  canvas.bitmap = CreateDibBitmap(8, nullptr, 0, width, height);
  canvas.previous = canvas.bitmap ? CreateDibBitmap(8, nullptr, 0, width, height) : nullptr;
  if (!canvas.bitmap || !canvas.previous) {
    FreeDibBitmap(canvas.bitmap);
    FreeDibBitmap(canvas.previous);
    canvas.width = canvas.height = 0;
    ShowUserMessage("Not enough memory for a canvas of this size.");
    return 1;
  }
  canvas.width = width;
  canvas.height = height;
  ResetLayerTable(canvas.layers);
  ComputePalette(*canvas.bitmap, canvas.layers);
  FillBitmap(*canvas.bitmap, 0xFF);
  FillBitmap(*canvas.previous, 0xFF);  // its colour table stays zero: only indices matter
  ResetUndoHistory(canvas.undo);
  canvas.saved = 1;
  return 0;
}

void DestroyCanvas(Canvas& canvas) {
  FreeDibBitmap(canvas.bitmap);
  FreeDibBitmap(canvas.previous);
  FreeDibBitmap(canvas.importedImage);
  ResetUndoHistory(canvas.undo);
  FreeUndoSpare(canvas.undo);
  FreeStampCache(canvas.stampCache);
  FreeDibBitmap(canvas.texture);
  FreeDibBitmap(canvas.material);
}
