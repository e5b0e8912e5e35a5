// The layer panel and the layer changes of the session without window calls: which layer each
// row shows (top of the stack first), where each row's controls go, which row is highlighted,
// where a press and a drag land, how a dragged layer moves through the stack, and what a layer
// change does to the session (palette, view, saved flag).
//
// Lengths are those of the panel at scale 1, multiplied by the panel's scale s and truncated.
// Rows are 20 high: row r (0 at the top) shows the layer at stack position 7 - r; row 8 is the
// paper's.
#pragma once

#include <cstdint>

#include "app/app_state.h"
#include "app/panel_layout.h"
#include "canvas/layer_table.h"

// layerAt[p]: the layer at stack position p (0 bottom .. 7 top), from the order fields. A table
// with two layers on one position leaves the other position at its own index.
void LayersByPosition(const LayerTable& table, int layerAt[kLayerCount]);

// The controls of the row of stack position p, indented by 3 when its layer is clipped.
struct LayerRowBoxes {
  WindowBox visibility, lock, blend, swatch;
  int32_t numberX, numberY;  // the layer's number
};
LayerRowBoxes LayerRowBoxesAt(int position, bool clipped, float s);

// The controls below the rows.
struct LayerPanelFooter {
  WindowBox paper, clipBox, opacityBar;
  int32_t clipLabelX, clipLabelY, opacityLabelX, opacityLabelY;
};
LayerPanelFooter LayerPanelFooterBoxes(float s);

// The drop-down height of a blend list, 256 s.
int32_t BlendListDropHeight(float s);

// The row the pen will draw on: 7 - the order of the pen's layer (its Palette when EnablePalette
// is 1, else the current layer); 8, the paper's row, for a layer of 8 or more; a negative layer
// counts as layer 0.
int HighlightedRow(const LayerTable& table, const PenSetting& pen, int currentLayer);

// The row under client height y: trunc(y / (20 s)); -1 for rows outside 0..7.
int LayerRowAt(int32_t y, float s);
// The drop boundary under y during a drag: trunc((y + 10 s) / (20 s)), -1 when not 0..8.
int DropBoundaryAt(int32_t y, float s);
// A drop on boundary b from row `startRow` moves nothing when b is startRow or startRow + 1 (the
// boundaries just above and below the row); the drop line is shown for the others.
bool DropMoves(int boundary, int startRow);

// Drops `layer` on boundary b (clamped to 0..8) of a drag that started on startRow: unless the
// drop moves nothing, the layer goes to position q = 8 - b by swapping order fields with its
// neighbour above (q - p - 1 times, p its position) or below (p - q times), stopping at the top
// or the bottom. Returns true when the stack changed.
bool DropLayer(LayerTable& table, int layer, int boundary, int startRow);

// Makes `layer` (0..7, or 8 for the paper) the current layer; a current pen with its own layer
// (EnablePalette 1) takes a layer 0..7 as its Palette too. Other numbers change nothing.
void ChooseCurrentLayer(AppState& state, int layer);

// After a change of a layer entry that alters the picture: the palette is computed again under
// the view lock, the canvas counts as changed (closing or switching files asks, saves write the
// new table), and the whole canvas goes to the update thread to be composed again.
void ApplyLayerEntryChange(AppState& state);
