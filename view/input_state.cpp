#include "view/input_state.h"

#include <algorithm>

InputState NewInputState() {
  InputState input{};
  input.maxPressure = 1;
  input.penBeforeTail = -1;
  return input;
}

int32_t SmoothingStrength(const InputState& input) {
  if (input.correctionStrength == nullptr) return 0;
  return std::clamp(*input.correctionStrength, int32_t{0}, kMaxSmoothingStrength);
}

void StoreRawSample(InputState& input, const PenSample& sample) {
  input.previous = input.current;
  input.current = sample;
}

PenSample SmoothedSample(const PenSample history[kSmoothingHistory], int32_t n) {
  n = std::clamp(n, int32_t{0}, kMaxSmoothingStrength);
  const PenSample& middle = history[n];
  PenSample out{};
  out.azimuth = middle.azimuth;
  out.altitude = middle.altitude;
  if (n == 0) {
    out.x = middle.x;
    out.y = middle.y;
    out.pressure = middle.pressure;
    return out;
  }
  // 64-bit sums: 40 positions of a large virtual screen in sixteenths stay exact. The quotient
  // truncates toward zero like the 32-bit division it stands for.
  int64_t sumX = 0, sumY = 0;
  uint64_t sumPressure = 0;
  for (int32_t i = 0; i <= 2 * n; ++i) {
    if (i == n) continue;
    sumX += history[i].x;
    sumY += history[i].y;
    sumPressure += history[i].pressure;
  }
  const int32_t count = 2 * n;
  out.x = static_cast<int32_t>(sumX / count);
  out.y = static_cast<int32_t>(sumY / count);
  out.pressure = static_cast<uint32_t>(sumPressure / static_cast<uint32_t>(count));
  return out;
}

void StartSmoothing(InputState& input) {
  const int32_t n = SmoothingStrength(input);
  std::fill(input.history, input.history + 2 * n + 1, input.current);
  input.smoothedCurrent = SmoothedSample(input.history, n);
  input.smoothedPrevious = input.smoothedCurrent;
}

void PushSmoothing(InputState& input) {
  std::copy_backward(input.history, input.history + kSmoothingHistory - 1,
                     input.history + kSmoothingHistory);
  input.history[0] = input.current;
  input.smoothedPrevious = input.smoothedCurrent;
  input.smoothedCurrent = SmoothedSample(input.history, SmoothingStrength(input));
}
