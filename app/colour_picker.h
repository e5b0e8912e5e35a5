// The colour picker without window calls: its 384 x 384 picture (the hue ring drawn at build
// time, the lightness/chroma triangle drawn here for the current hue), where a pointer lands in
// it, what a press, a drag and a release choose, and where the two markers go.
//
// Picture pixels, row 0 at the top: centre (192, 192); the ring is what lies further than 144
// from the centre; the triangle's vertical left edge is x = 121 from y = 69 (lightness 1) to
// y = 314 (lightness 0), its apex points right, and its right edge in row y is
// e(y) = 121 + 213 - |191.5 - y| * 213 / 122.5. Chroma runs from 0 at the left edge to 1 at
// x = 334.
#pragma once

#include <cstdint>

#include "canvas/hue_chroma.h"

inline constexpr int kPickerSide = 384;
inline constexpr int kPickerCentre = 192;
inline constexpr int kPickerRingInner = 144;
inline constexpr int kTriangleLeft = 121;
inline constexpr int kTriangleTop = 69;
inline constexpr int kTriangleBottom = 314;
inline constexpr int kTriangleWidth = 213;
inline constexpr int kTriangleHeight = 245;

struct PickerPoint {
  int32_t x, y;
  bool operator==(const PickerPoint&) const = default;
};

// What the picker keeps between messages.
struct PickerState {
  HueChroma colour{};
  bool ringDrag = false;
  bool triangleDrag = false;
};

// The row's right edge e(y) (a fraction).
float TriangleEdge(float y);
// The last pixel of row y the triangle is drawn to: 121 + trunc(213 - |191.5 - y| * 213 / 122.5
// + 0.5).
int32_t TriangleRowEnd(int32_t y);

// Draws the triangle for hue theta into a 384 x 384 picture (0x00RRGGBB, row 0 first): rows 314
// up to 69, each from x = 121 to its row end, pixel (x, y) the colour of chroma (x - 121) / 213
// and lightness 1 - (y - 69) / 245. Nothing else of the picture is touched.
void DrawPickerTriangle(uint32_t* pixels, float theta);

// A client position in picture pixels: x * 384 / width, y * 384 / height (integers); a side
// below 1 counts as 1.
PickerPoint PickerPointOfClient(int32_t x, int32_t y, int32_t width, int32_t height);

// The point lies on the ring (further than 144 from the centre).
bool OnPickerRing(PickerPoint p);
// The hue angle the ring shows at p: -atan2(py - 192, px - 192).
float RingAngleAt(PickerPoint p);
// Chroma and lightness at p: lightness 1 above the triangle, 0 below it, else 1 - (py - 69) / 245;
// chroma 0 left of it, (px - 121) / 213 inside the row, and the row's edge (not below 0) right
// of it.
void PickInTriangle(PickerPoint p, float& chroma, float& lightness);

// What the window must do after an input.
enum class PickerEffect { kNone, kRedrawTriangle, kRepaint };

// Button down at p: on the ring a ring drag starts and the hue follows p (redraw the triangle);
// elsewhere a triangle drag starts and chroma and lightness follow p (repaint).
PickerEffect PickerPress(PickerState& state, PickerPoint p);
// A move while the button is held: the drag under way follows p; nothing without a drag.
PickerEffect PickerMove(PickerState& state, PickerPoint p);
// Button up at p: unless a ring drag was under way chroma and lightness follow p; both drags
// end. Returns the picture pixel whose colour becomes the layer's: (trunc(C * 213 + 121),
// trunc((1 - L) * 245 + 69)), kept inside the part of its row the triangle is drawn in.
PickerPoint PickerRelease(PickerState& state, PickerPoint p);

// A picture pixel (0x00RRGGBB) as a layer colour (0x00BBGGRR).
uint32_t LayerColourOfPixel(uint32_t pixel);

// The marker squares in a client area of width x height at panel scale s: centres
// (w / 2 + cos theta * 56 s, h / 2 - sin theta * 56 s) for the hue and
// ((C * 213 + 121) * w / 384 + 0.5, ((1 - L) * 245 + 69) * h / 384 + 0.5) for the triangle, both
// truncated; each box runs from centre - 3 s to centre + 4 s (right and bottom exclusive).
struct PickerBox {
  int32_t left, top, right, bottom;
  bool operator==(const PickerBox&) const = default;
};
PickerBox HueMarkerBox(float theta, int32_t width, int32_t height, float s);
PickerBox TriangleMarkerBox(float chroma, float lightness, int32_t width, int32_t height, float s);
