// Pressure pens (kinds 0, 4, 7, 9) and the halftone pen (kind 1). A call paints a disc at the
// previous sample and the hull of the two discs (a quadrilateral tangent to both); the disc
// at the current sample is painted by the next call, whose previous sample it is.
#include <algorithm>
#include <cmath>

#include "tools/painting_pens.h"
#include "tools/stroke_start.h"
#include "brush/tone_screen.h"

namespace {

PointF Add(PointF a, PointF b) { return {a.x + b.x, a.y + b.y}; }
PointF Sub(PointF a, PointF b) { return {a.x - b.x, a.y - b.y}; }
PointF Scale(PointF a, float k) { return {a.x * k, a.y * k}; }

// The piece of a pressure-pen stroke between the two samples; texture may be null.
int PressureSegment(AppContext& app, PixelRect& dirty, const DibBitmap* texture) {
  PenSegment s;
  if (!StartSegment(app, s)) return 0;
  const PaintTarget target{s.canvas, s.pen, texture, s.mode};
  const float g = PressureGamma(s.pen->Hardness);
  const float w1 = PenWidth(s.pen->Size, s.p1.pressure, g);
  const float w0 = PenWidth(s.pen->Size, s.p0.pressure, g);
  const PointF p1{s.p1.x, s.p1.y}, p0{s.p0.x, s.p0.y};
  const PointF quarter{0.25f, 0.25f};

  if (w1 >= 2.0f) FillDisc(target, s.p1.x + 0.25f, s.p1.y + 0.25f, w1 / 2.0f);

  if (!s.coincide && !(w1 < 0.7f && w0 < 0.7f)) {
    // One-pixel part: widths below 0.7 paint nothing, between 0.7 and 1 a thin line.
    if (w1 < 0.7f) {
      const PointF m = Add(p1, Scale(Sub(p0, p1), (0.7f - w1) / (w0 - w1)));
      DrawThinLine(target, m.x + 0.5f, m.y + 0.5f, p0.x + 0.5f, p0.y + 0.5f);
    } else if (w0 < 0.7f) {
      const PointF m = Add(p0, Scale(Sub(p1, p0), (0.7f - w0) / (w1 - w0)));
      DrawThinLine(target, p1.x + 0.5f, p1.y + 0.5f, m.x + 0.5f, m.y + 0.5f);
    } else if (w1 <= 1.0f || w0 <= 1.0f) {
      DrawThinLine(target, p1.x + 0.25f, p1.y + 0.25f, p0.x + 0.25f, p0.y + 0.25f);
    }

    // Hull: the outer tangents of the circles of radius r1 around P1 and r0 around P0.
    if ((w1 >= 1.0f || w0 >= 1.0f) && !(w1 == 1.0f && w0 == 1.0f)) {
      const float r1 = w1 / 2.0f, r0 = w0 / 2.0f;
      const PointF d = Sub(p0, p1);
      const float d2 = d.x * d.x + d.y * d.y;
      const PointF perp{d.y, -d.x};
      const float k = d2 - (r1 - r0) * (r1 - r0);
      if (k > 0.0f) {
        const float root = std::sqrt(k);
        // Corner = P + r x ((r1 - r0) x d +- s x d_perp) / D^2, evaluated in that order.
        auto corner = [d2](PointF p, float r, PointF v) { return PointF{p.x + r * v.x / d2, p.y + r * v.y / d2}; };
        const PointF outer{(r1 - r0) * d.x + root * perp.x, (r1 - r0) * d.y + root * perp.y};
        const PointF inner{(r1 - r0) * d.x - root * perp.x, (r1 - r0) * d.y - root * perp.y};
        PointF a1 = corner(p1, r1, outer);
        PointF a2 = corner(p1, r1, inner);
        PointF b1 = corner(p0, r0, inner);
        PointF b2 = corner(p0, r0, outer);
        // Thin ends: the hull starts or stops where the width reaches 1, one pixel wide.
        if (w1 <= 1.0f || w0 <= 1.0f) {
          const SideOffsets u = SidesOf(s);
          const PointF q1 = Add(p1, quarter), q0 = Add(p0, quarter);
          if (w1 <= 1.0f) {
            const PointF m1 = Add(q1, Scale(Sub(q0, q1), (1.0f - w1) / (w0 - w1)));
            a1 = Add(m1, Scale(u.plus, 0.5f));
            a2 = Add(m1, Scale(u.minus, 0.5f));
          }
          if (w0 <= 1.0f) {
            const PointF m0 = Add(q0, Scale(Sub(q1, q0), (1.0f - w0) / (w1 - w0)));
            b1 = Add(m0, Scale(u.minus, 0.5f));
            b2 = Add(m0, Scale(u.plus, 0.5f));
          }
        }
        const PointF corners[4] = {a1, a2, b1, b2};
        FillConvexPolygon(target, corners, 4);
      }
    }
  }

  const PixelRect box = SegmentBox(s);
  const int m = TruncateToInt(std::max(w0, w1) / 2.0f + 1.0f);
  dirty = {box.left - m, box.top - m, box.right + m + 1, box.bottom + m + 1};
  return 1;
}

}  // namespace

int PressurePen(AppContext& app, PixelRect& dirty) { return PressureSegment(app, dirty, nullptr); }
int TexturePen(AppContext& app, PixelRect& dirty) { return PressureSegment(app, dirty, app.texture); }
int PressureEraser(AppContext& app, PixelRect& dirty) { return PressureSegment(app, dirty, nullptr); }
int PressureEraserAllLayers(AppContext& app, PixelRect& dirty) { return PressureSegment(app, dirty, nullptr); }

// Constant width Size painted through the clustered screen at the current sample's density;
// the dot pattern is anchored to the canvas, so segments of different density share one screen.
int HalftonePen(AppContext& app, PixelRect& dirty) {
  PenSegment s;
  if (!StartSegment(app, s)) return 0;
  const float w = static_cast<float>(s.pen->Size);
  const int level = DensityLevel(s.p0.pressure, PressureGamma(s.pen->Hardness));
  DibBitmap* mask = MakeToneMask(ClusteredScreen, level);
  if (mask) {
    const PaintTarget target{s.canvas, s.pen, mask, s.mode};
    if (w >= 2.0f) FillDisc(target, s.p1.x + 0.25f, s.p1.y + 0.25f, w / 2.0f);
    if (!s.coincide && w >= 1.0f) {
      if (w == 1.0f) {
        DrawThinLine(target, s.p1.x + 0.25f, s.p1.y + 0.25f, s.p0.x + 0.25f, s.p0.y + 0.25f);
      } else {
        PointF band[4];
        ConstantWidthBand(s, w, band);
        FillConvexPolygon(target, band, 4);
        if (w >= 2.0f) FillDisc(target, s.p0.x + 0.25f, s.p0.y + 0.25f, w / 2.0f);
      }
    }
    FreeDibBitmap(mask);
  }
  dirty = ConstantWidthDirty(s, w);
  return 1;
}
