// A whole application for driving the selection and lasso tools through the real input step:
// a new canvas (with previous canvas and undo history) shown at scale 1, straight, at client
// and screen origin (0, 0), so a sample at canvas (x, y) is stored as (16 x, 16 y); pressures
// out of 1024; a floating-selection record.
#pragma once

#include <cmath>
#include <string>
#include <vector>

#include "tools/pen_kind_table.h"
#include "canvas/canvas_lifecycle.h"
#include "canvas/canvas_test_support.h"
#include "canvas/palette.h"
#include "tools/floating_selection.h"
#include "view/canvas_view.h"
#include "view/input_state.h"
#include "app/input_step.h"

struct SelectionFixture {
  Canvas canvas{};
  PenSetting pens[kPenCount]{};
  int32_t currentPen = 0;
  CanvasView view = NewCanvasView();
  InputState input = NewInputState();
  InputStep step;
  FloatingSelection floating{};
  AppContext app{};

  SelectionFixture(int width, int height, int kind, uint8_t fill = 0xFF) {
    InitCanvas(canvas);
    EXPECT_TRUE(NewCanvas(canvas, width, height));
    Fill(fill);
    view.canvas = &canvas;
    view.scale = 1.0f;
    view.clientWidth = width;
    view.clientHeight = height;
    ChooseSampler(view);
    input.maxPressure = 1024;
    app = AppContext{&canvas, pens, &currentPen, &view, &input};
    app.floating = &floating;
    pens[0].KindOfPen = kind;
    pens[0].Size = 1;
    pens[0].Hardness = 50;
  }
  ~SelectionFixture() {
    StopUpdateThread(step.update);
    FreeFloatingImage(floating);
    DestroyCanvas(canvas);
  }

  // Sets every pixel of canvas and previous canvas (no undo record).
  void Fill(uint8_t value) {
    for (int y = 0; y < canvas.height; ++y)
      for (int x = 0; x < canvas.width; ++x) DibRow(*canvas.bitmap, y)[x] = DibRow(*canvas.previous, y)[x] = value;
  }
  void Set(int x, int y, uint8_t value) { DibRow(*canvas.bitmap, y)[x] = DibRow(*canvas.previous, y)[x] = value; }

  void Feed(float x, float y, float pressure) {
    PenSample s{};
    s.x = static_cast<int32_t>(std::lround(x * 16.0f));
    s.y = static_cast<int32_t>(std::lround(y * 16.0f));
    s.pressure = static_cast<uint32_t>(std::lround(pressure * 1024.0f));
    s.azimuth = 1300;
    s.altitude = 550;
    FeedPenSample(app, step, s, SampleConditions{});
  }
  void Down(float x, float y) { Feed(x, y, 1.0f); }
  void Move(float x, float y) { Feed(x, y, 1.0f); }
  void Up(float x, float y) { Feed(x, y, 0.0f); }

  // A stroke through the centres of the given pixels.
  void Stroke(const std::vector<IntPoint>& pixels) {
    Down(pixels[0].x + 0.5f, pixels[0].y + 0.5f);
    for (size_t i = 1; i < pixels.size(); ++i) Move(pixels[i].x + 0.5f, pixels[i].y + 0.5f);
    Up(pixels.back().x + 0.5f, pixels.back().y + 0.5f);
  }

  uint8_t At(int x, int y) const { return DibRow(*canvas.bitmap, y)[x]; }
  int Count(uint8_t value) const { return CountValue(*canvas.bitmap, value); }
  // Undo records held (no wrap-around in these tests).
  int UndoRecords() const { return canvas.undo.newest < 0 ? 0 : canvas.undo.newest - canvas.undo.oldest + 1; }
  bool PreviousEqualsCanvas() const {
    for (int y = 0; y < canvas.height; ++y)
      for (int x = 0; x < canvas.width; ++x)
        if (DibRow(*canvas.previous, y)[x] != At(x, y)) return false;
    return true;
  }
};
