// The colour model of the colour picker: a hue angle, a chroma and a lightness over linear-light
// red, green and blue (bytes raised to the power 2.2). The picker's hue ring and its
// lightness/chroma triangle are both drawn through LinearOfHueChroma, so a colour read off the
// triangle always has the hue the ring shows at the marker's angle.
//
// The hue angle theta is in radians, measured counter-clockwise from the right (y up) as the
// picker's ring is: red lies at pi (the left), yellow at 2 pi / 3, green at pi / 3, cyan at 0,
// blue at -pi / 3 and magenta at -2 pi / 3.
#pragma once

#include <cstdint>

struct HueChroma {
  float theta;      // radians
  float chroma;     // max - min of the linear channels, 0..1
  float lightness;  // (max + min) / 2, 0..1
};

struct LinearRgb {
  float red, green, blue;  // 0..1
};

// A layer colour (0x00BBGGRR) in the picker's terms. The usual hue of the linear channels
// (red 0, yellow 60, green 120, ... degrees; 0 for a grey) becomes theta = -(hue - 180) / 180 pi.
HueChroma HueChromaOfColour(uint32_t colour);

// The linear channels of (theta, chroma, lightness): max = L + C / 2, min = L - C / 2, and the
// whole degree h = trunc(theta in degrees + 60) reduced into 0..359 picks the sextant; each
// channel is clamped to 0..1.
LinearRgb LinearOfHueChroma(float theta, float chroma, float lightness);

// A linear channel as a byte: trunc(c^(1/2.2) * 255 + 0.5), c clamped to 0..1.
uint8_t EncodeLinear(float c);

// The picture pixel (0x00RRGGBB) of (theta, chroma, lightness).
uint32_t HueChromaPixel(float theta, float chroma, float lightness);
