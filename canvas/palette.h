// The canvas palette: entry v is the colour seen where exactly the layers whose bits are 0 in
// v are painted. Entry 255 is the paper colour. Computed from the layer table alone, so a
// change of any layer setting recolours the canvas without touching a pixel.
#pragma once

#include "canvas/dib_bitmap.h"
#include "canvas/layer_table.h"

// Fills 256 entries from the layer table. Mixing happens in linear light (bytes raised to
// 2.2, results to 0.45454544) in single precision, layers composed bottom to top with their
// blend mode, opacity and clipping. The reserved bytes are left as they are.
void ComputePalette(const LayerTable& layers, DibColour palette[kDibColourCount]);

// Recomputes a canvas bitmap's colour table.
inline void ComputePalette(DibBitmap& canvas, const LayerTable& layers) {
  ComputePalette(layers, canvas.colours);
}
