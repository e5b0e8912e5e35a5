// The canvas input step: every pointer sample goes through FeedPenSample, which decides when a
// stroke begins and ends, runs the smoothing, calls the current pen's stroke handler, hands the
// changed rectangles to the update thread (tools after every sample, painting pens in batches
// sized by the measured render cost) and commits the finished stroke to the undo history.
#pragma once

#include <cstdint>

#include "canvas/pixel_rect.h"
#include "tools/app_context.h"
#include "view/pen_sample.h"
#include "view/update_thread.h"

// What the input step tells the window side. Any function may be null.
struct InputStepMessages {
  void* context;
  void (*layerChanged)(void* context);   // the layer panel must re-read the current layer (0x8011)
  void (*refreshTitle)(void* context);   // the canvas became modified
  // The brush outline moved: invalidate both client rectangles of the view window, no erase.
  void (*invalidateCursor)(void* context, const PixelRect& previous, const PixelRect& current);
  // A fed sample differs from the one before in position, pressure, azimuth or altitude: the
  // tablet information and the loupe show it. Called after the sample's painting.
  void (*sampleChanged)(void* context);
};

// Window-side facts the input step cannot find out itself, given with each sample.
struct SampleConditions {
  bool mainWindowActive = true;     // the main window is the active window
  bool floatingPaletteShown = false;
  bool shiftHeld = false;
  bool overCanvasWindow = true;     // the window under the cursor is the main or the view window
  bool rotateDragRunning = false;
};

struct InputStep {
  // Stroke state.
  bool strokeActive = false;
  PixelRect pending{};              // canvas rectangle not yet handed to the update thread
  int32_t stepCount = 0;            // handler calls since the last hand-over
  int64_t handlerCalls = 0;         // all handler calls so far (statistics for tests and tools)
  int64_t handOvers = 0;            // all rectangles handed to the update thread so far
  PixelRect lastCursorRect{};       // where the brush outline was last drawn (client)
  int32_t lastCursorX = INT32_MIN, lastCursorY = INT32_MIN;
  // Pan mode (canvas control from another program, or the pan key).
  bool panMode = false;
  bool externalPan = false;
  // Settings read at each sample; null reads as 0.
  const int32_t* pcbm10 = nullptr;  // remap the pressure of one pen model
  UpdateThread update;
  UpdateMessages updateMessages{};
  InputStepMessages messages{};
};

// The input step for one sample, on the window thread.
void FeedPenSample(AppContext& app, InputStep& step, const PenSample& sample, const SampleConditions& conditions);

// The raw samples differ in x, y, pressure, azimuth or altitude (what the tablet information
// and the loupe show).
bool SampleShowsChange(const PenSample& previous, const PenSample& current);

// True exactly when the stroke has just ended: for tool kinds when the previous raw pressure is
// above 0 and the current one is 0; for painting pens likewise with the smoothed pair.
bool StrokeEnded(const AppContext& app);

// How many handler calls a painting pen batches before handing its rectangle over, for a
// pending rectangle of w x h canvas pixels at view scale s and the measured render cost. A
// render cost of 0 (not measured yet) hands over after every step.
int64_t HandOverThreshold(int32_t w, int32_t h, float scale, int32_t renderCost);
