// Tilt pencil (kind 6) and tilt erasers (kinds 8 and 10): each dab is an ellipse along the pen's
// azimuth whose shape follows its altitude, painted with a density that fades along the long
// axis and speckled by the random lanes and the paper grain. Dabs are spaced by their own size
// and the distance left at the end of a segment carries into the next one.
#include <algorithm>
#include <cmath>
#include <vector>

#include "tools/painting_pens.h"
#include "brush/paper_grain.h"
#include "brush/span_geometry.h"
#include "brush/span_painter.h"
#include "tools/stroke_start.h"
#include "tools/stroke_phase.h"
#include "brush/xorshift.h"
#include "view/input_state.h"


namespace {

constexpr double kPi = 3.14159265358979323846;

// Density span: across xl..xr the grain threshold Ag (16.16 fixed point) and the random
// threshold Bg run linearly from the left density to the right one, one step per pixel. A pixel
// takes ink when 255 - m <= Ag's integer part and r / 4 <= Bg, r being its lane's output for
// its group of four pixels. So ink lands with about the local density, and only where the
// grain is at least 255 x (1 - density).
void DensitySpan(const Painter& p, const DibBitmap* grain, RandomLanes& random, int xl, int xr, int y, float dl, float dr) {
  if (!p.ClampSpan(xl, xr, y)) return;
  if (!grain) {
    PaintPatternSpan(p, xl, xr, y);
    return;
  }
  const int64_t n = xr - xl + 1;
  const int32_t agLeft = static_cast<int32_t>(dl * 255.0f * 65536.0f);
  const int32_t agRight = static_cast<int32_t>(dr * 255.0f * 65536.0f);
  const int32_t agStep = static_cast<int32_t>((static_cast<int64_t>(agRight) - agLeft) / n);
  const int64_t bgLeft = static_cast<int64_t>(static_cast<double>(dl) * 4294967295.0 / 4.0);
  const int64_t bgRight = static_cast<int64_t>(static_cast<double>(dr) * 4294967295.0 / 4.0);
  const int64_t bgStep = (bgRight - bgLeft) / n;
  const uint8_t* grainRow = PaperGrainRow(*grain, y);
  int64_t ag = agLeft, bg = bgLeft;
  PaintSpanByWords(p, p.Row(y), xl, xr, p.patternWord, [&](int word) {
    uint32_t r[4];
    NextRandomLanes(random, r);  // once per group of four pixels
    uint32_t take = 0;
    for (int k = 0; k < 4; ++k) {
      const int x = 4 * word + k;
      if (x < xl || x > xr) continue;
      const int m = grainRow[PaperGrainColumn(x)];
      if (255 - m <= (ag >> 16) && static_cast<int64_t>(r[k] / 4) <= bg) take |= 0xFFu << (8 * k);
      ag += agStep;
      bg += bgStep;
    }
    return take;
  });
}

// An ellipse dab: along half-axis A on direction theta, across half-axis B, density d at the
// pen end fading to d x (B / A)^2 at the far end.
struct EllipseDab {
  float cx, cy;
  float along, across;
  double theta;
  float density;
};

// The outline's vertices and their densities, kept between dabs so that a stroke allocates
// them once.
struct EllipseOutline {
  std::vector<PointF> points;
  std::vector<float> densities;
};

// Fills outline with the dab's polygon (see EllipseDabOutline); false when the dab has no
// outline.
bool BuildEllipseOutline(const EllipseDab& dab, EllipseOutline& outline) {
  outline.points.clear();
  outline.densities.clear();
  const float a = dab.along, b = dab.across;
  if (!(a > 0.0f) || !IsDrawableCoordinate(a) || !IsDrawableCoordinate(b)) return false;
  const int n = EllipseDabVertexCount(a);
  const int quarter = n / 4;
  const float step = a / static_cast<float>(quarter);
  const float c = static_cast<float>(std::cos(dab.theta)), s = static_cast<float>(std::sin(dab.theta));
  const float ratio = (b / a) * (b / a);

  // Upper edge from u = -A to u = A (both apexes), then the lower edge back, apexes left out.
  outline.points.reserve(static_cast<size_t>(n));
  outline.densities.reserve(static_cast<size_t>(n));
  auto add = [&](float u, float v) {
    outline.points.push_back({dab.cx + u * c - v * s, dab.cy - (u * s + v * c)});
    const float dv = (1.0f - (u + a) / (2.0f * a) * (1.0f - ratio)) * dab.density;
    outline.densities.push_back(std::clamp(dv, 0.0f, 1.0f));
  };
  auto offset = [&](float u) {
    const float q = b * b - u * u * b * b / (a * a);
    return q > 0.0f ? std::sqrt(q) : 0.0f;
  };
  for (int i = 0; i <= 2 * quarter; ++i) {
    const float u = -a + static_cast<float>(i) * step;
    add(u, offset(u));
  }
  for (int i = 2 * quarter - 1; i >= 1; --i) {
    const float u = -a + static_cast<float>(i) * step;
    add(u, -offset(u));
  }
  return true;
}

// Both upper quarters are computed from u = -A to u = A rather than mirrored as in
// tools/ellipse_quarter.h: -A + i step and -(-A + (2q - i) step) round differently, so the
// right half of this dab is not the mirror of its left half.
void PaintEllipseDab(const Painter& p, const DibBitmap* grain, RandomLanes& random, const EllipseDab& dab) {
  thread_local EllipseOutline outline;
  if (!BuildEllipseOutline(dab, outline)) return;
  const PointF* points = outline.points.data();
  const float* densities = outline.densities.data();
  const int count = static_cast<int>(outline.points.size());
  WalkPolygonSpans(points, count, p.height,
                   [&](int xl, int xr, int row, int left, int right) {
                     DensitySpan(p, grain, random, xl, xr, row, densities[left], densities[right]);
                   });
}

// The kind-specific part of a dab at walk position t along the segment.
struct Dab {
  EllipseDab ellipse;
  int spacing;     // sigma >= 1
  PixelRect box;   // what the dab may change
};

// Dab placement shared by the three kinds. makeDab(qx, qy, t) gives the dab at Q.
template <class MakeDab>
int WalkDabs(const PenSegment& s, ToolState& tools, float& carry, float size1, float size0, const MakeDab& makeDab,
             PixelRect& dirty) {
  const int X1 = TruncateToInt(s.p1.x), Y1 = TruncateToInt(s.p1.y);
  const int X0 = TruncateToInt(s.p0.x), Y0 = TruncateToInt(s.p0.y);
  dirty = {std::min(X0, X1), std::min(Y0, Y1), std::max(X0, X1) + 1, std::max(Y0, Y1) + 1};
  if (std::floor(s.p0.x) == std::floor(s.p1.x) && std::floor(s.p0.y) == std::floor(s.p1.y)) return 1;
  if (size1 < 0.7f && size0 < 0.7f) return 1;

  const Painter painter = ResolvePainter(PaintTarget{s.canvas, s.pen, nullptr, s.mode});
  const DibBitmap* grain = IsPaperGrain(s.material) ? s.material : nullptr;
  const float dx = static_cast<float>(X0 - X1), dy = static_cast<float>(Y0 - Y1);
  const float length = std::sqrt(dx * dx + dy * dy);
  bool painted = false;
  int spacing = 1;
  float t = -carry;
  while (t < length) {
    const int qx = TruncateToInt(dx * t / length + static_cast<float>(X1));
    const int qy = TruncateToInt(dy * t / length + static_cast<float>(Y1));
    const Dab dab = makeDab(qx, qy, t / length);
    spacing = dab.spacing;
    if (carry + t < static_cast<float>(spacing)) {
      t += static_cast<float>(spacing);
      continue;
    }
    PaintEllipseDab(painter, grain, tools.tiltRandom, dab.ellipse);
    t += static_cast<float>(spacing);
    carry = 0.0f;
    dirty = UnionRect(dirty, dab.box);
    painted = true;
  }
  if (painted)
    carry = length - (t - static_cast<float>(spacing));
  else
    carry += length;
  return 1;
}

// What both tilt pens read first: the shaped pressure of the previous sample and the sizes
// S (p^g / 2 + 1/2) of the previous (s1) and current (s0) samples.
struct TiltSizes {
  float shaped1;
  float s1, s0;
};

// The common start: the segment (false: the handler returns 0), the carry emptied at the start
// of a stroke, the sizes.
bool StartTiltSegment(AppContext& app, PenSegment& s, float& carry, TiltSizes& t) {
  if (!StartSegment(app, s)) return false;
  if (StrokeStarts(app)) carry = 0.0f;
  const int size = s.pen->Size;
  const float gamma = PressureGamma(s.pen->Hardness);
  t.shaped1 = ShapePressure(s.p1.pressure, gamma);
  t.s1 = PenWidth(size, s.p1.pressure, gamma) * 0.5f + static_cast<float>(size) * 0.5f;
  t.s0 = PenWidth(size, s.p0.pressure, gamma) * 0.5f + static_cast<float>(size) * 0.5f;
  return true;
}

double DabDirection(const PenSegment& s) { return (90.0 - s.p0.direction) * (1.0 / 180.0) * kPi; }

int TiltPencilSegment(AppContext& app, PixelRect& dirty) {
  PenSegment s;
  TiltSizes t;
  if (!StartTiltSegment(app, s, app.tools.tiltPencilCarry, t)) return 0;
  const float shaped1 = t.shaped1, s1 = t.s1, s0 = t.s0;

  // The dab's shape depends only on the previous sample, so it is the same all along the walk.
  const double phi = std::fabs(s.p0.altitude) * 0.1 * (1.0 / 180.0) * kPi;
  float b = static_cast<float>(std::pow(std::cos(phi), 4.0)) * (s1 * 0.5f);
  b = std::max(b, s1 * 0.01f);
  b = std::max(b, 2.0f);
  float a = b / static_cast<float>(std::pow(std::sin(phi), 4.0));
  a = std::min(a, 20.0f * b);
  const double theta = DabDirection(s);
  const float c = static_cast<float>(std::cos(theta)), sn = static_cast<float>(std::sin(theta));
  const float density = std::min(1.0f, shaped1 / (a * b) * (b * b));
  const int spacing = std::max(1, TruncateToInt(b * 2.0f * 0.1f));
  const float extentX = std::fabs(a * c) + std::fabs(b * sn);
  const float extentY = std::fabs(a * sn) + std::fabs(b * c);

  return WalkDabs(s, app.tools, app.tools.tiltPencilCarry, s1, s0, [&](int qx, int qy, float) {
    Dab dab;
    // The ellipse starts at the pen point and extends along theta.
    dab.ellipse = {static_cast<float>(qx) + 0.25f + a * c, static_cast<float>(qy) + 0.25f - a * sn, a, b, theta, density};
    dab.spacing = spacing;
    dab.box = {FloorToInt(dab.ellipse.cx - extentX) - 1, FloorToInt(dab.ellipse.cy - extentY) - 1,
               FloorToInt(dab.ellipse.cx + extentX) + 2, FloorToInt(dab.ellipse.cy + extentY) + 2};
    return dab;
  }, dirty);
}

int TiltEraserSegment(AppContext& app, PixelRect& dirty) {
  PenSegment s;
  TiltSizes t;
  if (!StartTiltSegment(app, s, app.tools.tiltEraserCarry, t)) return 0;
  const float shaped1 = t.shaped1;
  const int e1 = TruncateToInt(t.s1), e0 = TruncateToInt(t.s0);
  const float altitude = std::fabs(s.p0.altitude);
  const float k = altitude >= 300.0f ? (altitude - 300.0f) / 600.0f : 0.0f;
  const double theta = DabDirection(s);

  return WalkDabs(s, app.tools, app.tools.tiltEraserCarry, static_cast<float>(e1), static_cast<float>(e0), [&](int qx, int qy, float f) {
    float w = ((1.0f - f) * static_cast<float>(e1) + f * static_cast<float>(e0)) *
              ((1.0f - k) * 9.95f * 0.1f + 0.05f);
    w = std::max(w, 2.0f);
    const float b = w * 0.5f;  // along theta
    const float a = b * k;     // across
    Dab dab;
    const float density = a == 0.0f ? 1.0f : std::min(1.0f, shaped1 * b / (2.0f * a));
    dab.ellipse = {static_cast<float>(qx) + 0.25f, static_cast<float>(qy) + 0.25f, b, a, theta, density};
    dab.spacing = std::max(1, TruncateToInt(a * 2.0f * 0.1f));
    dab.box = {TruncateToInt(static_cast<float>(qx) - b), TruncateToInt(static_cast<float>(qy) - b),
               TruncateToInt(static_cast<float>(qx) + b + 1.0f), TruncateToInt(static_cast<float>(qy) + b + 1.0f)};
    return dab;
  }, dirty);
}

}  // namespace

int EllipseDabVertexCount(float along) {
  if (!(along > 2.0f)) return 4;
  return 4 * static_cast<int>(std::floor(std::min(along, kMaxEllipseAlong)));
}

std::vector<PointF> EllipseDabOutline(float cx, float cy, float along, float across, double theta) {
  EllipseOutline outline;
  (void)BuildEllipseOutline(EllipseDab{cx, cy, along, across, theta, 1.0f}, outline);
  return outline.points;
}

int TiltPencil(AppContext& app, PixelRect& dirty) { return TiltPencilSegment(app, dirty); }
int TiltEraser(AppContext& app, PixelRect& dirty) { return TiltEraserSegment(app, dirty); }
int TiltEraserAllLayers(AppContext& app, PixelRect& dirty) { return TiltEraserSegment(app, dirty); }
