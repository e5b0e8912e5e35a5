#include "app/text_stamp.h"

#include <algorithm>
#include <mutex>

#include "canvas/masked_ops.h"
#include "canvas/undo_history.h"

TextRecord DefaultTextRecord() {
  TextRecord r{};
  r.fontHeight = 48;
  r.boxWidth = 1000;
  r.boxHeight = 200;
  return r;
}

void ClampTextRecord(TextRecord& r) {
  r.fontHeight = ClampTextNumber(r.fontHeight, 1);
  r.x = ClampTextNumber(r.x, 0);
  r.y = ClampTextNumber(r.y, 0);
  r.boxWidth = ClampTextNumber(r.boxWidth, 1);
  r.boxHeight = ClampTextNumber(r.boxHeight, 1);
}

TextBoxSize TextBoxOnCanvas(const TextRecord& r, int32_t canvasWidth, int32_t canvasHeight) {
  const int64_t width = std::min<int64_t>(r.boxWidth, int64_t{canvasWidth} - r.x);
  const int64_t height = std::min<int64_t>(r.boxHeight, int64_t{canvasHeight} - r.y);
  if (width <= 0 || height <= 0) return {0, 0};
  return {static_cast<int32_t>(width), static_cast<int32_t>(height)};
}

bool PaintTextMask(AppState& s, const DibBitmap& mask, int32_t x, int32_t y) {
  Canvas& c = s.canvas;
  const int layer = c.currentLayer;
  if (!c.bitmap || layer < 0 || layer >= kLayerCount || !IsLayerEditable(c.layers, layer)) return false;
  // Only the current layer may take the text: every other layer counts as locked.
  LayerTable only = c.layers;
  for (int k = 0; k < kLayerCount; ++k)
    if (k != layer) only.rows[k].locked = 1;
  // The part of the box on the canvas.
  const int32_t left = std::max(x, 0), top = std::max(y, 0);
  const int32_t right = std::min<int64_t>(int64_t{x} + DibWidth(mask), c.width);
  const int32_t bottom = std::min<int64_t>(int64_t{y} + DibHeight(mask), c.height);
  if (left >= right || top >= bottom) return false;
  const PixelRect changed{left, top, right, bottom};
  {
    std::lock_guard<std::recursive_mutex> guard(s.step.update.lock);
    const BlitArea area{left, top, right - left, bottom - top, left - x, top - y};
    if (!PaintWithMask(*c.bitmap, area, mask, only)) return false;
    (void)CommitCanvasRect(c, changed);
    c.saved = 0;
  }
  (void)SubmitDirty(s.step.update, s.view, s.step.updateMessages, &changed);
  return true;
}
