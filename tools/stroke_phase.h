// Where a sample stands in a stroke, decided from the pressures of two samples: the tools read
// the raw pair of the input state; a pen that also looks at the smoothed pair says so.
#pragma once

#include "tools/app_context.h"
#include "view/input_state.h"

enum class StrokePhase {
  kPress,    // previous pressure 0, current above 0: the pen came down
  kDrag,     // both above 0: the pen moved while down
  kRelease,  // previous above 0, current 0: the pen came up
  kNone,     // both 0: the pen is up and stays up
};

// The phase of the pair previous -> current (raw pressures; 0 means not touching).
inline StrokePhase PhaseOf(const PenSample& previous, const PenSample& current) {
  if (current.pressure != 0) return previous.pressure != 0 ? StrokePhase::kDrag : StrokePhase::kPress;
  return previous.pressure != 0 ? StrokePhase::kRelease : StrokePhase::kNone;
}

// The phase of the raw pair of the application's input.
inline StrokePhase PhaseOf(const AppContext& app) { return PhaseOf(app.input->previous, app.input->current); }

// True on pen-down for the pens that walk the smoothed pair: the input step begins a stroke
// with both smoothed samples at the pen-down sample, so the raw pair is looked at as well.
inline bool StrokeStarts(const AppContext& app) {
  return PhaseOf(app) == StrokePhase::kPress ||
         PhaseOf(app.input->smoothedPrevious, app.input->smoothedCurrent) == StrokePhase::kPress;
}
