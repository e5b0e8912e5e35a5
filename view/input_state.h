// The pointer input of the application: the raw samples fed in, the tablet's state, and the
// smoothing that lets painting pens follow a steadier line.
//
// Smoothing with strength N (CorrectionStrength, 0..20): the history keeps the raw samples
// newest first; the smoothed sample lags N samples behind and is the average of the 2N entries
// around entry N (entries 0 .. 2N without N), x, y and pressure by integer division, with the
// azimuth and altitude of entry N itself. N = 0 gives entry 0 unchanged.
#pragma once

#include <cstdint>

#include "view/pen_sample.h"

inline constexpr int kSmoothingHistory = 41;
inline constexpr int32_t kMaxSmoothingStrength = 20;

struct InputState {
  void* tabletContext;  // the tablet driver's context handle; null when it is not used
  PenSample current;    // the last raw sample fed in
  PenSample previous;   // the one before it
  int32_t noOrientation;  // 1: the tablet reports no usable orientation
  uint32_t maxPressure;   // the pressure that means full pressure for the active source; >= 1
  void* tabletLibrary;    // the tablet driver library's module handle, or null
  PenSample history[kSmoothingHistory];  // raw samples of the stroke, newest first
  // Smoothed pair; only x, y, pressure, azimuth and altitude are set.
  PenSample smoothedCurrent;
  PenSample smoothedPrevious;
  const int32_t* correctionStrength;  // the CorrectionStrength setting; null reads as 0
  int32_t tabletActive;  // 1 while a pen is in range over the canvas: mouse moves give no samples
  int32_t inverted;      // 1 while the pen's tail is in use
  int32_t penBeforeTail;  // the preset that was current when the tail came into use, or -1
  int32_t displayOffset;  // 0 or 90 degrees added to pen-pointer azimuths (pointer_tilt.h)
};

// A fresh state: no tablet, maxPressure 1, no tail, zero samples.
InputState NewInputState();

// N, the smoothing strength, limited to 0..20 so that 2N + 1 entries fit the history.
int32_t SmoothingStrength(const InputState& input);

// Feeding a sample: the current sample becomes the previous one.
void StoreRawSample(InputState& input, const PenSample& sample);

// The smoothed sample of a history for strength n (clamped to 0..20).
PenSample SmoothedSample(const PenSample history[kSmoothingHistory], int32_t n);

// At the start of a stroke: entries 0 .. 2N become the current raw sample, and both smoothed
// samples become its smoothing (the current sample itself), so the stroke's first segment
// starts where the pen came down.
void StartSmoothing(InputState& input);

// For each sample of a stroke: age the history by one place, put the current raw sample in
// entry 0, move the smoothed current sample to previous and compute the new one.
void PushSmoothing(InputState& input);
