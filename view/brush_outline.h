// The brush outline: the circle (and, for large brushes, the cross) that the view window draws
// inverted over the back buffer at the pen position when the pen preset asks for it. This is
// its geometry; drawing it by inversion belongs to the feedback-outline code.
#pragma once

#include <cstdint>

#include "canvas/pixel_rect.h"
#include "view/canvas_view.h"
#include "view/input_state.h"

struct OutlineLine {
  int32_t x0, y0, x1, y1;  // client pixels; the end point (x1, y1) is not drawn, as with LineTo
  bool operator==(const OutlineLine&) const = default;
};

struct BrushOutline {
  int32_t size;              // trunc(pen diameter / scale): screen pixels across; 0 draws nothing
  int32_t centreX, centreY;  // client pixels
  bool ellipse;              // size >= 4: the circle in ellipseBox
  PixelRect ellipseBox;      // (cx - size/2, cy - size/2, cx - size/2 + size, cy - size/2 + size)
  bool cross;                // size >= 12: the two cross lines as well
  OutlineLine crossLines[2];  // (cx - 5, cy) to (cx + 6, cy); (cx, cy - 5) to (cx, cy + 6)
};

inline constexpr int32_t kOutlineEllipseMinSize = 4;
inline constexpr int32_t kOutlineCrossMinSize = 12;

// The outline of a pen of penDiameter canvas pixels at the given scale, centred on the client
// point (centreX, centreY).
BrushOutline BrushOutlineAt(int32_t penDiameter, float scale, int32_t centreX, int32_t centreY);

// Where the outline is centred: the raw current sample mapped to the canvas (SampleToCanvas),
// truncated, mapped to the client (CanvasToClient), plus 0.5 / scale on each coordinate,
// truncated: the middle of the magnified canvas pixel under the pen.
void BrushOutlineCentre(const CanvasView& view, const InputState& input, int32_t& centreX, int32_t& centreY);

// Both steps for the current pen.
BrushOutline CurrentBrushOutline(const CanvasView& view, const InputState& input, int32_t penDiameter);

// Whether the view window draws the outline after copying the back buffer: a pen sample has
// been fed since the last view change (outlineFlag), the pen is not a selection kind (15..18),
// its BrushCursor is 1, and pan mode is off.
bool ShouldDrawBrushOutline(bool outlineFlag, int32_t kindOfPen, int32_t brushCursor, bool panMode);
