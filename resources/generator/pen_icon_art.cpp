#include "resources/generator/pen_icon_art.h"

#include <algorithm>
#include <cmath>

namespace {

// The colour table: the classic sixteen, with 11 a light wood and 12 and 14 the recoloured
// layer part (drawn blue) and the background (drawn cyan).
constexpr uint32_t kColours[16] = {0x000000, 0x800000, 0x008000, 0x808000, 0x000080, 0x800080, 0x008080, 0xC0C0C0,
                                   0x808080, 0xFF0000, 0x00FF00, 0xF0C88C, 0x0000FF, 0xFF00FF, 0x00FFFF, 0xFFFFFF};
enum : uint8_t { kBlack = 0, kSilver = 7, kGrey = 8, kWood = 11, kLayer = 12, kBack = 14, kWhite = 15 };

// A shape in unit coordinates (0..1 across the picture, y down): the colour at (x, y), or
// kBack outside. `pixel` is one pixel in unit lengths, for outlines of about 1.5 pixels.
using Shape = uint8_t (*)(double x, double y, double pixel);

// Position along and across a stick from (x0, y0) to (x1, y1): t from 0 to 1 along it, d the
// signed distance from its axis.
struct Stick {
  double t, d, length;
};
Stick Along(double x, double y, double x0, double y0, double x1, double y1) {
  const double dx = x1 - x0, dy = y1 - y0, length = std::hypot(dx, dy);
  const double t = ((x - x0) * dx + (y - y0) * dy) / (length * length);
  const double d = ((x - x0) * dy - (y - y0) * dx) / length;
  return {t, d, length};
}

// A pencil from its tip at the bottom left to its end at the top right: the lead in the layer
// colour, the sharpened wood, the body in the layer colour, a grey end.
uint8_t PenShape(double x, double y, double pixel) {
  const Stick s = Along(x, y, 0.12, 0.88, 0.86, 0.14);
  const double half = 0.14, cone = 0.28;  // half width; the sharpened part's share of the length
  if (s.t < 0 || s.t > 1) return kBack;
  const double width = s.t < cone ? half * s.t / cone : half;
  const double edge = width - std::fabs(s.d);
  if (edge < 0) return kBack;
  const double outline = 1.6 * pixel;
  if (edge < outline || (1 - s.t) * s.length < outline) return kBlack;
  if (s.t < cone * 0.4) return kLayer;
  if (s.t < cone) return std::fabs(s.t - cone) * s.length < outline ? kBlack : kWood;
  if (s.t > 0.86) return std::fabs(s.t - 0.86) * s.length < outline ? kBlack : kGrey;
  return s.d > half * 0.35 ? kWhite : kLayer;  // a highlight along the body
}

// An eraser block lying across the picture: the white rubber end at the bottom left, the
// sleeve in the layer colour.
uint8_t EraserShape(double x, double y, double pixel) {
  const Stick s = Along(x, y, 0.14, 0.80, 0.86, 0.24);
  const double half = 0.2, outline = 1.6 * pixel;
  if (s.t < 0 || s.t > 1 || std::fabs(s.d) > half) return kBack;
  const double along = std::min(s.t, 1 - s.t) * s.length;
  if (half - std::fabs(s.d) < outline || along < outline) return kBlack;
  if (std::fabs(s.t - 0.42) * s.length < outline * 0.8) return kBlack;
  return s.t < 0.42 ? kWhite : kLayer;
}

// A bucket with a handle, the paint surface and a drop in the layer colour.
uint8_t BucketShape(double x, double y, double pixel) {
  const double outline = 1.6 * pixel, top = 0.34, bottom = 0.88;
  // The paint's surface: an ellipse on the rim.
  const double sx = (x - 0.45) / 0.29, sy = (y - top) / 0.08;
  const double surface = sx * sx + sy * sy;
  // The drop falling from the rim on the right.
  const double drop = std::hypot(x - 0.84, y - 0.72);
  if (drop < 0.08) return drop > 0.08 - outline ? kBlack : kLayer;
  if (x > 0.74 && x < 0.80 && y > top && y < 0.66) return kLayer;
  if (surface <= 1) return surface > std::pow(1 - outline / 0.08, 2) ? kBlack : kLayer;
  // The body: narrower at the bottom.
  if (y > top && y < bottom) {
    const double spread = 0.29 - 0.07 * (y - top) / (bottom - top);
    const double edge = spread - std::fabs(x - 0.45);
    if (edge >= 0) {
      if (edge < outline || bottom - y < outline) return kBlack;
      return x < 0.45 - spread * 0.55 ? kWhite : kSilver;
    }
  }
  // The handle: an arc over the bucket.
  const double r = std::hypot((x - 0.45) / 0.29, (y - top) / 0.22);
  if (y < top && std::fabs(r - 1) * 0.22 < outline * 0.9) return kBlack;
  return kBack;
}

// A dashed rectangle around a blot of the layer colour.
uint8_t RectangleShape(double x, double y, double pixel) {
  const double lo = 0.12, hi = 0.88, thick = std::max(2.0 * pixel, 0.045);
  const bool onEdge = (x >= lo && x <= hi && y >= lo && y <= hi) &&
                      (x - lo < thick || hi - x < thick || y - lo < thick || hi - y < thick);
  if (onEdge) return static_cast<int>(std::floor((x + y) / 0.12)) % 2 ? kWhite : kBlack;
  const double blot = std::hypot(x - 0.5, (y - 0.5) * 1.2);
  if (blot < 0.24) return blot > 0.24 - 1.5 * pixel ? kBlack : kLayer;
  return kBack;
}

// A dashed loop with a rope hanging from it, around a blot of the layer colour.
uint8_t LassoShape(double x, double y, double pixel) {
  const double thick = std::max(2.0 * pixel, 0.045);
  const double ex = (x - 0.52) / 0.38, ey = (y - 0.40) / 0.28;
  const double r = std::hypot(ex, ey);
  if (std::fabs(r - 1) * 0.3 < thick / 2) {
    const double angle = std::atan2(ey, ex);
    return static_cast<int>(std::floor((angle + 4) / 0.45)) % 2 ? kWhite : kBlack;
  }
  // The rope: a curve from the loop's bottom left to the picture's bottom left corner.
  const double ry = 0.62 + (0.92 - 0.62) * std::clamp((0.34 - x) / 0.24, 0.0, 1.0);
  if (x > 0.08 && x < 0.36 && std::fabs(y - ry - 0.04 * std::sin((x - 0.08) * 20)) < std::max(1.6 * pixel, 0.035))
    return kBlack;
  const double blot = std::hypot(x - 0.52, (y - 0.40) * 1.3);
  if (blot < 0.18) return blot > 0.18 - 1.5 * pixel ? kBlack : kLayer;
  return kBack;
}

constexpr Shape kShapes[kPenIconArtCount] = {PenShape, EraserShape, BucketShape, RectangleShape, LassoShape};

}  // namespace

PalettePicture DrawPenIconArt(int picture, int side) {
  PalettePicture p;
  p.width = p.height = side;
  p.index.assign(static_cast<size_t>(side) * side, kBack);
  std::copy(std::begin(kColours), std::end(kColours), p.colours);
  const Shape shape = kShapes[std::clamp(picture, 0, kPenIconArtCount - 1)];
  const double pixel = 1.0 / side;
  for (int y = 0; y < side; ++y)
    for (int x = 0; x < side; ++x) p.At(x, y) = shape((x + 0.5) * pixel, (y + 0.5) * pixel, pixel);
  return p;
}
