// The palette ring and the colour swatch without window calls: the ring's size and scale, where
// its eight swatches sit, the hole in its middle, where it opens at the pointer, and the rounded
// shape and outline of a swatch.
#pragma once

#include <cstdint>

#include "app/panel_layout.h"

// The ring's client side at UI scale s: 96 s (scale 1, 1.5, 2 and 3 give 96, 144, 192, 288).
int32_t PaletteRingSide(float s);
// The ring's own scale from its client width: 3.0 from 288, 2.0 from 192, 1.5 from 144, else 1.0.
float PaletteRingScale(int32_t width);
// Swatch i (layer i) in a ring of width x height: trunc(16 s) square at fixed fractions of the
// size, layer 0 at the top, the others following clockwise.
WindowBox RingSwatchBox(int i, int32_t width, int32_t height, float s);
// The hole: the ellipse (24 s, 24 s, width - 24 s, height - 24 s) is cut out of (0, 0, width,
// height).
int32_t RingHoleInset(float s);
// Where a ring of side x side opens for the pointer at (x, y) of a client area: centred on the
// pointer, moved inside the area (its top-left corner wins when the area is smaller).
WindowBox PaletteRingPlacement(int32_t x, int32_t y, int32_t side, int32_t clientWidth, int32_t clientHeight);

// A swatch of width x height: the corner diameter of its rounded outline, (min(w, h) + 2) / 4,
// and the outline's width: 1 up to a height of 24, 3 up to 32, then 5.
int32_t SwatchCornerDiameter(int32_t width, int32_t height);
int32_t SwatchOutlineWidth(int32_t height);
