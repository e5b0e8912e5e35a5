#include "view/pointer_tilt.h"

#include <cmath>
#include <cstdlib>
#include <limits>
#include <numbers>

#include "view/pen_sample.h"

namespace {

constexpr double kPi = std::numbers::pi;

int32_t PositiveMod(int64_t value, int32_t modulus) {
  int64_t r = value % modulus;
  return static_cast<int32_t>(r < 0 ? r + modulus : r);
}

// trunc(v) as int32, limited to the int32 range (NaN gives 0).
int32_t TruncToInt32(double v) {
  if (std::isnan(v)) return 0;
  if (v <= static_cast<double>(std::numeric_limits<int32_t>::min()))
    return std::numeric_limits<int32_t>::min();
  if (v >= static_cast<double>(std::numeric_limits<int32_t>::max()))
    return std::numeric_limits<int32_t>::max();
  return static_cast<int32_t>(v);
}

// Position along one axis, see PointerDevicePosition.
int32_t DeviceToSixteenths(int32_t himetric, int32_t deviceStart, int32_t deviceSize,
                           int32_t displayStart, int32_t displaySize) {
  double v = (static_cast<double>(himetric) - static_cast<double>(deviceStart)) /
                 static_cast<double>(deviceSize) * static_cast<double>(displaySize) +
             static_cast<double>(displayStart);
  return TruncToInt32(v * 16.0);
}

}  // namespace

int32_t DisplayOffsetDegrees(int32_t orientation, int32_t width, int32_t height) {
  bool upright = orientation == 0 || orientation == 2;
  bool sideways = orientation == 1 || orientation == 3;
  return (upright && width >= height) || (sideways && width < height) ? 0 : 90;
}

PenOrientation PenPointerOrientation(int32_t tiltX, int32_t tiltY, uint32_t rotation,
                                     bool inverted, int32_t displayOffset) {
  if (rotation == 0 && tiltX == 0 && tiltY == 0)
    return {kDefaultAzimuth, inverted ? kDefaultInvertedAltitude : kDefaultAltitude};
  double ca = std::cos(static_cast<double>(PositiveMod(int64_t{tiltX} + 90, 360)) * kPi / 180.0);
  double cb = std::cos(static_cast<double>(PositiveMod(int64_t{tiltY} + 90, 360)) * kPi / 180.0);
  double az = std::atan2(cb, ca);
  double e = (kPi / 2.0 - std::acos(1.0 / std::sqrt(cb * cb + ca * ca + 1.0))) * 180.0 / kPi;
  double cosAz = std::cos(az), sinAz = std::sin(az);
  double alt = (e + cosAz * cosAz * static_cast<double>(90 - std::abs(int64_t{tiltX})) +
                sinAz * sinAz * static_cast<double>(90 - std::abs(int64_t{tiltY}))) *
               0.5;
  // The data model keeps azimuths in 0 .. 3599, so the remainder is taken non-negative.
  int32_t degrees = TruncToInt32(az * 180.0 / kPi - 90.0 + static_cast<double>(displayOffset));
  PenOrientation o;
  o.azimuth = PositiveMod(degrees, 360) * 10;
  o.altitude = TruncToInt32(std::floor(alt * 10.0 + 0.5));
  if (inverted) o.altitude = -o.altitude;
  return o;
}

bool PointerDevicePosition(const PixelRect& device, const PixelRect& display, int32_t himetricX,
                           int32_t himetricY, int32_t& x, int32_t& y) {
  int32_t deviceWidth = device.right - device.left, deviceHeight = device.bottom - device.top;
  int32_t displayWidth = display.right - display.left;
  int32_t displayHeight = display.bottom - display.top;
  if (deviceWidth <= 0 || deviceHeight <= 0 || displayWidth <= 0 || displayHeight <= 0)
    return false;
  x = DeviceToSixteenths(himetricX, device.left, deviceWidth, display.left, displayWidth);
  y = DeviceToSixteenths(himetricY, device.top, deviceHeight, display.top, displayHeight);
  return true;
}
