// Pen pointers of the Windows pointer input: their position on the screen and the conversion of
// their tilt to the azimuth and altitude of a PenSample. All arithmetic in double precision.
#pragma once

#include <cstdint>

#include "canvas/pixel_rect.h"

struct PenOrientation {
  int32_t azimuth;   // tenths of a degree, 0 .. 3599
  int32_t altitude;  // tenths of a degree, negative for the tail
  bool operator==(const PenOrientation&) const = default;
};

// The degrees added to pen azimuths for a display mode: 0 when the display's orientation index
// is 0 or 2 and it is at least as wide as high, or the index is 1 or 3 and it is narrower than
// high; 90 otherwise (a display whose natural shape is portrait).
int32_t DisplayOffsetDegrees(int32_t orientation, int32_t width, int32_t height);

// The orientation of a pen with tilts tiltX, tiltY (degrees, -90 .. 90) and rotation. A pen
// whose rotation and tilts are all 0 reports none: azimuth 1300, altitude 550 (-550 inverted).
// Otherwise, with tx, ty the tilts and mod giving non-negative remainders:
//   ca = cos(((tx + 90) mod 360) * pi / 180), cb likewise with ty
//   az = atan2(cb, ca)                                   radians
//   e = (pi/2 - acos(1 / sqrt(cb^2 + ca^2 + 1))) * 180 / pi
//   alt = (e + cos(az)^2 * (90 - |tx|) + sin(az)^2 * (90 - |ty|)) * 0.5     degrees
//   azimuth = (trunc(az * 180 / pi - 90 + displayOffset) mod 360) * 10
//   altitude = floor(alt * 10 + 0.5), negated for an inverted pen
PenOrientation PenPointerOrientation(int32_t tiltX, int32_t tiltY, uint32_t rotation,
                                     bool inverted, int32_t displayOffset);

// The screen position of a pen pointer in sixteenths of a pixel from its HIMETRIC position on
// the device: x = trunc(((himetricX - device.left) / deviceWidth * displayWidth + display.left)
// * 16), y likewise. Returns false, leaving x and y alone, unless both rectangles have positive
// width and height; the caller then uses the pointer's pixel position times 16.
bool PointerDevicePosition(const PixelRect& device, const PixelRect& display, int32_t himetricX,
                           int32_t himetricY, int32_t& x, int32_t& y);
