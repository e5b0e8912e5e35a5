// One pointer sample: what a mouse move, a tablet packet or a pen pointer message becomes
// before the canvas input step sees it. The layout is that of the packet asked of the tablet
// driver (buttons, x, y, normal pressure, orientation), so a packet is read straight into it.
#pragma once

#include <cstdint>

struct PenSample {
  uint32_t buttons;   // tablet button state (relative mode); other sources leave it 0; never read
  int32_t x;          // screen position in sixteenths of a pixel (virtual screen x 16)
  int32_t y;          // likewise, growing downward
  uint32_t pressure;  // 0: not touching; 1 .. maxPressure: tip pressure
  int32_t azimuth;    // pen direction, tenths of a degree, 0 .. 3599
  int32_t altitude;   // pen elevation, tenths of a degree; negative for the pen's tail (eraser)
  int32_t twist;      // pen rotation, tenths of a degree (tablet only)
};
static_assert(sizeof(PenSample) == 28, "PenSample must match the tablet packet: seven 32-bit fields");

// Orientation of a source that has none: 130.0 degrees, 55.0 degrees up, or down for the tail.
inline constexpr int32_t kDefaultAzimuth = 1300;
inline constexpr int32_t kDefaultAltitude = 550;
inline constexpr int32_t kDefaultInvertedAltitude = -550;

// The sample of the mouse cursor at (cursorX, cursorY) screen pixels: full pressure while the
// left button is down, else 0, and the default orientation.
PenSample MouseSample(int32_t cursorX, int32_t cursorY, bool leftButtonDown, uint32_t maxPressure);

// A tablet without usable orientation: azimuth 1300 and altitude -550 when the packet's
// altitude is negative (the tail), else 550 (so altitude 0 gives 550).
void ApplyDefaultOrientation(PenSample& sample);

// The full pressure of the Windows pointer input: 1024 when the digitizer flags report an
// integrated or external pen (0x04 or 0x08) together with ready (0x80), else 1.
uint32_t PointerMaxPressure(int32_t digitizerFlags);

// A tablet lacks usable orientation when the orientation query failed or its twist axis has
// the same minimum and maximum.
int32_t TabletLacksOrientation(bool queryOk, int32_t twistMin, int32_t twistMax);

// Pressure remapping for one pen model (setting PCBM10): with p the raw pressure,
// q = 0 below 128, p - 128 below 160, 32 below 232, p - 200 below 245, else 45;
// the result is trunc(q * 255 / 45), 0 .. 255.
uint32_t RemapPressurePcbm10(uint32_t pressure);

// pressure / maxPressure in single precision, both unsigned, at most 1; a maxPressure of 0
// counts as 1.
float NormalisedPressure(uint32_t pressure, uint32_t maxPressure);
