#include "app/layer_panel.h"

#include <algorithm>
#include <mutex>

#include "canvas/palette.h"

namespace {

constexpr int32_t kRowHeight = 20;

WindowBox Box(int32_t x, int32_t y, int32_t width, int32_t height, float s) {
  return {Scaled(x, s), Scaled(y, s), Scaled(width, s), Scaled(height, s)};
}

// Swaps the order fields of the layers at positions p and p + 1.
void SwapWithAbove(LayerTable& table, int p) {
  int layerAt[kLayerCount];
  LayersByPosition(table, layerAt);
  std::swap(table.rows[layerAt[p]].order, table.rows[layerAt[p + 1]].order);
}

}  // namespace

void LayersByPosition(const LayerTable& table, int layerAt[kLayerCount]) {
  for (int p = 0; p < kLayerCount; ++p) layerAt[p] = p;
  for (int k = 0; k < kLayerCount; ++k) {
    const int32_t order = table.rows[k].order;
    if (order >= 0 && order < kLayerCount) layerAt[order] = k;
  }
}

LayerRowBoxes LayerRowBoxesAt(int position, bool clipped, float s) {
  const int32_t d = clipped ? 3 : 0, y = 142 - kRowHeight * position;
  return {Box(2 + d, y, 16, 16, s), Box(20 + d, y, 16, 16, s), Box(38 + d, y, 59, 16, s), Box(99 + d, y, 16, 16, s),
          Scaled(119, s), Scaled(144 - kRowHeight * position, s)};
}

LayerPanelFooter LayerPanelFooterBoxes(float s) {
  return {Box(89, 162, 36, 16, s), Box(2, 182, 16, 16, s), Box(48, 202, 77, 13, s),
          Scaled(20, s),           Scaled(184, s),         Scaled(2, s),
          Scaled(203, s)};
}

int32_t BlendListDropHeight(float s) { return Scaled(256, s); }

int HighlightedRow(const LayerTable& table, const PenSetting& pen, int currentLayer) {
  const int layer = std::max(DrawingLayer(pen, currentLayer), 0);
  if (layer >= kLayerCount) return kLayerCount;
  const int32_t order = std::clamp(table.rows[layer].order, 0, kLayerCount - 1);
  return kLayerCount - 1 - order;
}

int LayerRowAt(int32_t y, float s) {
  const int32_t row = Scaled(kRowHeight, s);
  if (y < 0 || row <= 0) return -1;
  const int r = static_cast<int>(y / (kRowHeight * s));
  return r < kLayerCount ? r : -1;
}

int DropBoundaryAt(int32_t y, float s) {
  const float b = (static_cast<float>(y) + 10.0f * s) / (kRowHeight * s);
  if (!(b >= 0.0f) || b >= kLayerCount + 1) return -1;
  return static_cast<int>(b);
}

bool DropMoves(int boundary, int startRow) { return boundary != startRow && boundary != startRow + 1; }

bool DropLayer(LayerTable& table, int layer, int boundary, int startRow) {
  if (layer < 0 || layer >= kLayerCount) return false;
  const int b = std::clamp(boundary, 0, kLayerCount);
  if (!DropMoves(b, startRow)) return false;
  const int q = kLayerCount - b;
  bool moved = false;
  int p = std::clamp(table.rows[layer].order, 0, kLayerCount - 1);
  if (q > p) {
    for (int swaps = q - p - 1; swaps > 0 && p < kLayerCount - 1; --swaps, ++p) {
      SwapWithAbove(table, p);
      moved = true;
    }
  } else {
    for (int swaps = p - q; swaps > 0 && p > 0; --swaps, --p) {
      SwapWithAbove(table, p - 1);
      moved = true;
    }
  }
  return moved;
}

void ChooseCurrentLayer(AppState& state, int layer) {
  if (layer < 0 || layer > kPaperRow) return;
  state.canvas.currentLayer = layer;
  PenSetting& pen = CurrentPen(state.context);
  if (pen.EnablePalette == 1 && layer < kLayerCount) pen.Palette = layer;
}

void ApplyLayerEntryChange(AppState& state) {
  Canvas& canvas = state.canvas;
  if (!canvas.bitmap) return;
  {
    std::lock_guard<std::recursive_mutex> guard(state.step.update.lock);
    ComputePalette(*canvas.bitmap, canvas.layers);
    canvas.saved = 0;
  }
  const PixelRect whole{0, 0, canvas.width, canvas.height};
  (void)SubmitDirty(state.step.update, state.view, state.step.updateMessages, &whole);
}
