// The arithmetic of the pen panels: the pen window's name box, the pen list's rows, and the
// grids of pen icons in the floating pen selector and the easy panel. Lengths are client
// pixels at the panel's scale factor s; every length of the 100 % layout is Scaled.
#pragma once

#include <cstdint>
#include <string_view>

#include "app/panel_layout.h"
#include "brush/pen_setting.h"

// The name box's text becomes the pen's Name: at most 31 units and a terminating zero.
void SetPenName(PenSetting& pen, std::u16string_view text);
inline constexpr int kPenNameMaxLength = kPenNameUnits - 1;

// The pen list: 16 rows of 18 s. The row under client y: trunc(y / (18 s)) for y in
// 0 .. 288 s - 1, else -1.
inline constexpr int32_t kPenListRowHeight = 18;
int32_t PenListRowAt(int32_t y, float s);
// Where pen i's icon stands in the list: (2 s, (1 + 18 i) s), 16 s square.
WindowBox PenListIconBox(int32_t slot, float s);

// A grid of pen icons (and, in the easy panel, a row of layer colours below them): `columns`
// cells of `cell` pixels a row, an icon of `icon` pixels centred in each, `margin` pixels
// around the whole grid.
struct PenGrid {
  int32_t columns;
  int32_t penRows;    // rows of pen icons: 16 / columns
  int32_t layerRows;  // rows of layer colours under them (8 a row), 0 or 1
  int32_t cell;
  int32_t icon;
  int32_t margin;
};
// The floating pen selector: 4 x 4 cells of 36 s with icons of 32 s, 2 s around.
PenGrid PenSelectorGrid(float s);
// The easy panel: 8 x 2 cells of 28 s with icons of 24 s, then the eight layer colours in one
// row of the same cells, 2 s around.
PenGrid EasyPanelGrid(float s);

// The client size the grid needs.
int32_t PenGridWidth(const PenGrid& grid);
int32_t PenGridHeight(const PenGrid& grid);
// Pen slot i's icon, left to right and top to bottom.
WindowBox PenGridIconBox(const PenGrid& grid, int32_t slot);
// Layer k's colour square in the layer row, as large as an icon and centred in its cell.
WindowBox PenGridLayerBox(const PenGrid& grid, int32_t layer);

// What is under client position (x, y): a pen slot's cell, a layer's cell, or nothing.
struct PenGridHit {
  enum Kind : int32_t { kNothing, kPen, kLayer } kind = kNothing;
  int32_t index = -1;
  bool operator==(const PenGridHit&) const = default;
};
PenGridHit PenGridHitAt(const PenGrid& grid, int32_t x, int32_t y);

// A popup of width x height centred on the mouse at (x, y), moved to stay inside a client area
// of clientWidth x clientHeight (at its top-left corner when it is larger).
struct PopupPosition {
  int32_t x, y;
  bool operator==(const PopupPosition&) const = default;
};
PopupPosition PopupAtMouse(int32_t x, int32_t y, int32_t width, int32_t height, int32_t clientWidth,
                           int32_t clientHeight);
