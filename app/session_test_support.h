// A whole drawing session for tests: an AppState bound to itself on a blank canvas shown at
// scale 1, straight, so canvas (x, y) is screen (x, y) and samples are stored as (16 x, 16 y).
// Pen slot 0 is current: the given kind, size and hardness 50, painting the current layer 0;
// pressures are out of 1024.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>

#include "app/app_state.h"
#include "brush/pen_kind.h"

struct TestSession {
  std::unique_ptr<AppState> state = std::make_unique<AppState>();

  TestSession(int side, int kind, int size) {
    AppState& s = *state;
    BindAppState(s);
    PenSetting& pen = s.settings.pens[0];
    pen.KindOfPen = kind;
    pen.Size = size;
    pen.Hardness = 50;
    pen.Interval = 100;
    pen.Roundness = 100;
    s.input.maxPressure = 1024;
    EXPECT_TRUE(StartBlankCanvas(s, side, side, nullptr, nullptr));
    s.view.scale = 1.0f;
    s.view.clientWidth = s.view.clientHeight = side;
    ChooseSampler(s.view);
  }
  ~TestSession() { ReleaseAppState(*state); }
  TestSession(const TestSession&) = delete;
  TestSession& operator=(const TestSession&) = delete;

  AppState& State() { return *state; }
  PenSetting& Pen() { return state->settings.pens[state->settings.numPenSetting]; }

  void Feed(double x, double y, uint32_t pressure) {
    PenSample p{};
    p.x = static_cast<int32_t>(x * 16.0);
    p.y = static_cast<int32_t>(y * 16.0);
    p.pressure = pressure;
    p.azimuth = 1300;
    p.altitude = 550;
    FeedPenSample(state->context, state->step, p, SampleConditions{});
  }
  // Pen-down at (x0, y), full pressure to (x1, y), pen-up.
  void Stroke(double x0, double x1, double y) {
    Feed(x0, y, 0);
    Feed(x0, y, 1024);
    Feed(x1, y, 1024);
    Feed(x1, y, 0);
  }
  uint8_t At(int x, int y) const { return DibRow(*state->canvas.bitmap, y)[x]; }
  int Painted() const {
    int n = 0;
    for (int y = 0; y < state->canvas.height; ++y)
      for (int x = 0; x < state->canvas.width; ++x) n += At(x, y) != 0xFF;
    return n;
  }
};
