#include "app/pen_panels.h"

#include <algorithm>

#include "canvas/layer_table.h"

void SetPenName(PenSetting& pen, std::u16string_view text) {
  const size_t n = std::min(text.size(), static_cast<size_t>(kPenNameMaxLength));
  std::fill(std::begin(pen.Name), std::end(pen.Name), u'\0');
  std::copy_n(text.begin(), n, pen.Name);
}

int32_t PenListRowAt(int32_t y, float s) {
  if (y < 0 || y >= Scaled(kPenListRowHeight * kPenCount, s)) return -1;
  const auto row = static_cast<int32_t>(static_cast<float>(y) / (static_cast<float>(kPenListRowHeight) * s));
  return std::min(row, kPenCount - 1);
}

WindowBox PenListIconBox(int32_t slot, float s) {
  return {Scaled(2, s), Scaled(1 + kPenListRowHeight * slot, s), Scaled(16, s), Scaled(16, s)};
}

PenGrid PenSelectorGrid(float s) { return {4, 4, 0, Scaled(36, s), Scaled(32, s), Scaled(2, s)}; }

PenGrid EasyPanelGrid(float s) { return {8, 2, 1, Scaled(28, s), Scaled(24, s), Scaled(2, s)}; }

int32_t PenGridWidth(const PenGrid& grid) { return 2 * grid.margin + grid.columns * grid.cell; }

int32_t PenGridHeight(const PenGrid& grid) { return 2 * grid.margin + (grid.penRows + grid.layerRows) * grid.cell; }

namespace {

WindowBox CellIcon(const PenGrid& grid, int32_t column, int32_t row) {
  const int32_t inset = (grid.cell - grid.icon) / 2;
  return {grid.margin + column * grid.cell + inset, grid.margin + row * grid.cell + inset, grid.icon, grid.icon};
}

}  // namespace

WindowBox PenGridIconBox(const PenGrid& grid, int32_t slot) {
  return CellIcon(grid, slot % grid.columns, slot / grid.columns);
}

WindowBox PenGridLayerBox(const PenGrid& grid, int32_t layer) { return CellIcon(grid, layer, grid.penRows); }

PenGridHit PenGridHitAt(const PenGrid& grid, int32_t x, int32_t y) {
  const int32_t gx = x - grid.margin, gy = y - grid.margin;
  if (gx < 0 || gy < 0 || grid.cell <= 0) return {};
  const int32_t column = gx / grid.cell, row = gy / grid.cell;
  if (column >= grid.columns) return {};
  if (row < grid.penRows) return {PenGridHit::kPen, row * grid.columns + column};
  if (row < grid.penRows + grid.layerRows && column < kLayerCount) return {PenGridHit::kLayer, column};
  return {};
}

PopupPosition PopupAtMouse(int32_t x, int32_t y, int32_t width, int32_t height, int32_t clientWidth,
                           int32_t clientHeight) {
  const int32_t left = std::max(std::min(x - width / 2, clientWidth - width), 0);
  const int32_t top = std::max(std::min(y - height / 2, clientHeight - height), 0);
  return {left, top};
}
