// Driving the tool handlers in tests: a PenFixture whose raw samples (the pair the tools read)
// are set directly, with the canvas's palette computed so that display colours are real.
#pragma once

#include "tools/pen_test_support.h"
#include "canvas/palette.h"

struct ToolFixture : PenFixture {
  ToolFixture(int width, int height, int kind, int size, uint8_t fill = 0xFF)
      : PenFixture(width, height, kind, size, fill) {
    ComputePalette(*bitmap, canvas.layers);
  }

  // Calls the current pen's handler with the raw previous and current samples (canvas
  // positions at scale 1, pressure 0..1).
  int Raw(float x1, float y1, float p1, float x0, float y0, float p0, int altitude = 550) {
    input.previous = Sample(x1, y1, p1, altitude, 1300);
    input.current = Sample(x0, y0, p0, altitude, 1300);
    dirty = PixelRect{};
    return PenKindTable(Pen().KindOfPen)(app, dirty);
  }
  int Down(float x, float y) { return Raw(x, y, 0, x, y, 1); }
  int Drag(float x1, float y1, float x0, float y0) { return Raw(x1, y1, 1, x0, y0, 1); }
  int Release(float x1, float y1, float x0, float y0, int altitude = 550) { return Raw(x1, y1, 1, x0, y0, 0, altitude); }

  void SetPixel(int x, int y, uint8_t v) { DibRow(*bitmap, y)[x] = v; }
  int Count(uint8_t value) const { return CountValue(*bitmap, value); }
};
