// A whole application context for driving stroke handlers in tests: a canvas shown at scale 1,
// straight, with canvas, client and screen origins together, so a sample at canvas (x, y) is
// stored as (16 x, 16 y), and pressures out of a maximum of 1024.
#pragma once

#include <gtest/gtest.h>

#include <cmath>
#include <initializer_list>
#include <utility>
#include <set>
#include <string>
#include <vector>

#include "tools/pen_kind_table.h"
#include "brush/pen_setting.h"
#include "canvas/canvas.h"
#include "canvas/canvas_test_support.h"
#include "view/canvas_view.h"
#include "view/input_state.h"

struct PenFixture {
  DibPtr bitmap;
  Canvas canvas{};
  PenSetting pens[kPenCount]{};
  int32_t currentPen = 0;
  CanvasView view = NewCanvasView();
  InputState input = NewInputState();
  AppContext app{};

  PenFixture(int width, int height, int kind, int size, uint8_t fill = 0xFF)
      : bitmap(FilledCanvas(width, height, fill)) {
    canvas.width = width;
    canvas.height = height;
    canvas.bitmap = bitmap.get();
    canvas.layers = DefaultLayerTable();
    view.canvas = &canvas;
    view.scale = 1.0f;
    view.clientWidth = width;
    view.clientHeight = height;
    input.maxPressure = 1024;
    app = AppContext{&canvas, pens, &currentPen, &view, &input};
    Pen().KindOfPen = kind;
    Pen().Size = size;
    Pen().Hardness = 50;
  }

  ~PenFixture() { ReleaseStrokeResources(app); }
  PenFixture(const PenFixture&) = delete;
  PenFixture& operator=(const PenFixture&) = delete;

  PenSetting& Pen() { return pens[currentPen]; }

  // A grain of one value everywhere.
  void SetGrain(uint8_t value) {
    FreeDibBitmap(app.material);
    app.material = FilledCanvas(512, 512, value).release();
  }

  static PenSample Sample(float x, float y, float pressure, int altitude, int azimuth) {
    PenSample s{};
    s.x = static_cast<int32_t>(std::lround(x * 16.0f));
    s.y = static_cast<int32_t>(std::lround(y * 16.0f));
    s.pressure = static_cast<uint32_t>(std::lround(pressure * 1024.0f));
    s.azimuth = azimuth;
    s.altitude = altitude;
    return s;
  }

  // Calls the current pen's handler for the segment from the previous to the current sample.
  int Segment(float x1, float y1, float p1, float x0, float y0, float p0, int altitude = 550, int azimuth = 1300) {
    input.smoothedPrevious = Sample(x1, y1, p1, altitude, azimuth);
    input.smoothedCurrent = Sample(x0, y0, p0, altitude, azimuth);
    dirty = PixelRect{};
    return PenKindTable(Pen().KindOfPen)(app, dirty);
  }

  uint8_t At(int x, int y) const { return DibRow(*bitmap, y)[x]; }
  bool Painted(int x, int y, uint8_t blank = 0xFF) const { return At(x, y) != blank; }
  // Expects the first pixels painted and the second ones blank.
  void ExpectPainted(std::initializer_list<std::pair<int, int>> painted,
                     std::initializer_list<std::pair<int, int>> blank = {}) const {
    for (const auto& [x, y] : painted) EXPECT_TRUE(Painted(x, y)) << x << "," << y;
    for (const auto& [x, y] : blank) EXPECT_FALSE(Painted(x, y)) << x << "," << y;
  }
  int CountChanged(uint8_t blank = 0xFF) const { return canvas.width * canvas.height - CountValue(*bitmap, blank); }

  PixelRect dirty{};
};
