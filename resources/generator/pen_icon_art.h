// The pictures of the pen icons: a pen, an eraser, a fill bucket, a rectangle selection and a
// lasso, in that order, as sixteen-colour pictures of side x side pixels. Colour 12 is the part
// the program paints in the pen's layer colour (the pen's lead, the eraser's sleeve, the paint,
// what a selection holds) and colour 14 the background it leaves out; outlines are black.
#pragma once

#include "resources/generator/picture_writers.h"

inline constexpr int kPenIconArtCount = 5;

PalettePicture DrawPenIconArt(int picture, int side);
