#include "view/pen_sample.h"

#include <algorithm>

PenSample MouseSample(int32_t cursorX, int32_t cursorY, bool leftButtonDown, uint32_t maxPressure) {
  PenSample s{};
  s.x = cursorX * 16;
  s.y = cursorY * 16;
  s.pressure = leftButtonDown ? maxPressure : 0;
  s.azimuth = kDefaultAzimuth;
  s.altitude = kDefaultAltitude;
  return s;
}

void ApplyDefaultOrientation(PenSample& sample) {
  sample.azimuth = kDefaultAzimuth;
  sample.altitude = sample.altitude < 0 ? kDefaultInvertedAltitude : kDefaultAltitude;
}

uint32_t PointerMaxPressure(int32_t digitizerFlags) {
  constexpr int32_t kIntegratedPen = 0x04, kExternalPen = 0x08, kReady = 0x80;
  bool pen = (digitizerFlags & (kIntegratedPen | kExternalPen)) != 0;
  return pen && (digitizerFlags & kReady) != 0 ? 1024u : 1u;
}

int32_t TabletLacksOrientation(bool queryOk, int32_t twistMin, int32_t twistMax) {
  return !queryOk || twistMin == twistMax ? 1 : 0;
}

uint32_t RemapPressurePcbm10(uint32_t p) {
  uint32_t q;
  if (p < 128) q = 0;
  else if (p < 160) q = p - 128;
  else if (p < 232) q = 32;
  else if (p < 245) q = p - 200;
  else q = 45;
  return q * 255 / 45;
}

float NormalisedPressure(uint32_t pressure, uint32_t maxPressure) {
  // A device may report more than its stated maximum (a pointer path that says 1 while pens
  // send up to 1024): full pressure is the most a pen paints with.
  return std::min(1.0f, static_cast<float>(pressure) / static_cast<float>(maxPressure ? maxPressure : 1u));
}
