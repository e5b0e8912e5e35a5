// Text on the canvas: the record the text dialog edits, its clamps, and painting the rendered
// text (a one-bit picture, 0 where the text is black) onto the current layer only.
#pragma once

#include <cstdint>

#include "app/app_state.h"

struct TextRecord {
  char16_t note[260];
  int32_t fontHeight;
  int32_t flags[4];  // bold, italic, underline, vertical: shown, never read back
  int32_t x, y;
  int32_t boxWidth, boxHeight;
  char16_t text[260];
};

// A record for a first use: 48-pixel text in a 1000 x 200 box at (0, 0).
TextRecord DefaultTextRecord();

// The numbers as typed are kept where they can be used: font height 1..65535, x and y
// 0..65535, box width and height 1..65535.
inline int32_t ClampTextNumber(int64_t value, int32_t low) {
  return static_cast<int32_t>(value < low ? low : value > 65535 ? 65535 : value);
}
void ClampTextRecord(TextRecord& record);

// The size of the part of the record's box that can reach a canvas of width x height: the text
// is drawn from the box's top-left corner and breaks only where it has line breaks, so nothing
// beyond the canvas's right or bottom edge would show, and a box of 65535 x 65535 on a small
// canvas needs no half-gigabyte picture. 0 x 0 when the box starts beside or below the canvas.
struct TextBoxSize {
  int32_t width, height;
};
TextBoxSize TextBoxOnCanvas(const TextRecord& record, int32_t canvasWidth, int32_t canvasHeight);

// Paints the text picture mask (1-bit, record's box size; bit 0 where the text is) onto the
// current layer at (x, y), clipped to the canvas, and commits it as one undo step. Nothing is
// painted when the current layer is hidden or locked. Returns whether any pixel changed.
bool PaintTextMask(AppState& state, const DibBitmap& mask, int32_t x, int32_t y);
