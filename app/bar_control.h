// The bar control's arithmetic: a horizontal slider of `width` pixels whose value runs from 0
// to `maximum` on a linear or a logarithmic scale, dragged with the mouse, and with Shift held
// dragged finely at one sixteenth of the pointer's speed. The window ("Bar Window Class") only
// routes mouse messages here and paints what the record says.
#pragma once

#include <cstdint>

enum class BarScale : int32_t {
  kLinear = 1,       // value = floor(maximum * position / width)
  kLogarithmic = 2,  // value = trunc(maximum ^ (position / width) + 0.5): 1 at the left end
};

// No fine drag: the last press was without Shift.
inline constexpr int32_t kBarNoFineAnchor = INT32_MIN;

struct BarState {
  int32_t width = 1;          // usable length in pixels: the client width - 2 at creation
  BarScale scale = BarScale::kLinear;
  int32_t maximum = 1;        // the largest value; the width at creation
  float position = 0;         // the slider, in pixels 0..width
  bool dragging = false;      // the left button is held
  int32_t fineAnchor = kBarNoFineAnchor;  // last x of a fine (Shift) drag
};

// A fresh bar for a client area clientWidth wide: linear, maximum = width.
BarState NewBarState(int32_t clientWidth);

// The value the slider shows now.
int32_t BarValue(const BarState& bar);

// Where value v (clamped to 0..maximum first) puts the slider. On a logarithmic bar the value 0
// (and 1) sit at the left end, and a maximum of 1 or less keeps every value there.
float BarPositionOf(const BarState& bar, int32_t value);

// What the window must do after a mouse event.
struct BarReaction {
  bool sendValue = false;  // tell the parent the value (it changed, or the press set it)
  bool repaint = false;
};

// Left button down at client x (the bar's frame is pixel 0): with Shift the press only
// anchors a fine drag; without, the slider jumps to x and the value is sent.
BarReaction BarPress(BarState& bar, int32_t x, bool shift);
// Mouse move at client x while dragging: a fine drag moves by (x - anchor) / 16, a normal one
// follows x. The value is sent when the slider moved. Nothing while not dragging.
BarReaction BarMove(BarState& bar, int32_t x);
// Left button up: the drag ends (the window always tells the parent that it ended).
void BarRelease(BarState& bar);

// Sets what message 0x8004 sets: 1 or 2 the scale, 3 the maximum (at least 1), 4 the value.
// Returns false for any other selector.
bool BarSet(BarState& bar, int32_t what, int32_t value);

// The factor the bar's frame, text and font are drawn at, from its client height: 1.0 below 19,
// 1.5 below 26, 2.0 below 39, else 3.0.
float BarDrawScale(int32_t clientHeight);
