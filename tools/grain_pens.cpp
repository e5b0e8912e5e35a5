// Paper-grain pens: the grain tone pen (kinds 2 and 3) paints a constant-width stroke through
// the dispersed screen and lets only the grain's high points take ink at low density; the
// grain dab pen (kind 5) places solid dabs that shrink where the grain is deep.
#include <algorithm>
#include <cmath>

#include "tools/painting_pens.h"
#include "brush/paper_grain.h"
#include "brush/span_geometry.h"
#include "brush/span_painter.h"
#include "tools/stroke_start.h"
#include "brush/tone_screen.h"

namespace {

// Grain-tone spans: a pixel takes ink where its tone texel is 1 and its grain value m passes
// the density threshold: m << 24, read as a signed 32-bit number, is at most T. Every m of 128
// and above is negative there and always passes; a lower m passes roughly below 128 x d^0.25.
struct GrainTone {
  Painter painter;           // untextured: pattern is bit c, or the writable mask for modes 2, 3
  const DibBitmap* grain;    // null: plain untextured spans
  const DibBitmap* tone;     // the tone mask, 0/1 texels, addressed in groups of four
  int32_t threshold;         // T
};

void GrainToneSpan(const GrainTone& g, int xl, int xr, int y) {
  const Painter& p = g.painter;
  if (!p.ClampSpan(xl, xr, y)) return;
  if (!g.grain) {
    PaintPatternSpan(p, xl, xr, y);
    return;
  }
  const int toneGroups = DibWidth(*g.tone) / 4;
  if (toneGroups <= 0) return;
  const uint8_t* toneRow = DibRow(*g.tone, static_cast<int>(PositiveModulo(y + p.oy, DibHeight(*g.tone))));
  const uint8_t* grainRow = PaperGrainRow(*g.grain, y);
  int group = static_cast<int>(PositiveModulo((xl >> 2) + p.ox, toneGroups));
  PaintSpanByWords(p, p.Row(y), xl, xr, p.patternWord, [&](int word) {
    const uint8_t* texels = toneRow + 4 * group;
    if (++group == toneGroups) group = 0;
    uint32_t take = 0;
    for (int k = 0; k < 4; ++k) {
      const int32_t m = static_cast<int32_t>(static_cast<uint32_t>(grainRow[PaperGrainColumn(4 * word + k)]) << 24);
      if (texels[k] == 1 && m <= g.threshold) take |= 0xFFu << (8 * k);
    }
    return take;
  });
}

void GrainToneDisc(const GrainTone& g, float cx, float cy, float r) {
  WalkDiscSpans(cx, cy, r, g.painter.height, [&g](int xl, int xr, int row) { GrainToneSpan(g, xl, xr, row); });
}

}  // namespace

int GrainTonePen(AppContext& app, PixelRect& dirty) {
  PenSegment s;
  if (!StartSegment(app, s)) return 0;
  const float w = static_cast<float>(s.pen->Size);
  const float gamma = PressureGamma(s.pen->Hardness);
  const float density = ShapePressure(s.p0.pressure, gamma);
  DibBitmap* mask = MakeToneMask(DispersedScreen, DensityLevel(s.p0.pressure, gamma));
  if (mask) {
    GrainTone g;
    PaintTarget target{s.canvas, s.pen, nullptr, s.mode};
    g.painter = ResolvePainter(target);
    // The tone mask is anchored like a texture, by the pen's texture offsets.
    g.painter.ox = s.pen->TextureOffsetX;
    g.painter.oy = s.pen->TextureOffsetY;
    g.grain = IsPaperGrain(s.material) ? s.material : nullptr;
    g.tone = mask;
    g.threshold = static_cast<int32_t>(std::floor(std::pow(static_cast<double>(density), 0.25) * 2147483647.0));

    if (w >= 2.0f) GrainToneDisc(g, s.p1.x + 0.25f, s.p1.y + 0.25f, w / 2.0f);
    if (!s.coincide && w >= 1.0f) {
      // The halftone pen's band; a pen of Size 1 paints it too (no thin-line case here).
      PointF band[4];
      ConstantWidthBand(s, w, band);
      WalkPolygonSpans(band, 4, g.painter.height,
                       [&g](int xl, int xr, int row, int, int) { GrainToneSpan(g, xl, xr, row); });
      if (w >= 2.0f) GrainToneDisc(g, s.p0.x + 0.25f, s.p0.y + 0.25f, w / 2.0f);
    }
    FreeDibBitmap(mask);
  }
  dirty = ConstantWidthDirty(s, w);
  return 1;
}

// Solid dabs from P1 towards P0 (not carried between calls), each shrunk by the grain under
// its centre: size = interpolated width - (255 - m) / 16, spaced ceil(size x 0.2) apart.
// Without a material there is no grain to shrink the dabs: every m reads as 255.
int GrainDabPen(AppContext& app, PixelRect& dirty) {
  PenSegment s;
  if (!StartSegment(app, s)) return 0;
  const float gamma = PressureGamma(s.pen->Hardness);
  const float w1 = PenWidth(s.pen->Size, s.p1.pressure, gamma);
  const float w0 = PenWidth(s.pen->Size, s.p0.pressure, gamma);
  if (!s.coincide && (w1 >= 0.7f || w0 >= 0.7f)) {
    const PaintTarget target{s.canvas, s.pen, nullptr, s.mode};
    const DibBitmap* grain = IsPaperGrain(s.material) ? s.material : nullptr;
    const int X1 = TruncateToInt(s.p1.x), Y1 = TruncateToInt(s.p1.y);
    const int X0 = TruncateToInt(s.p0.x), Y0 = TruncateToInt(s.p0.y);
    const float dx = static_cast<float>(X1 - X0), dy = static_cast<float>(Y1 - Y0);
    const float length = std::sqrt(dx * dx + dy * dy);
    for (float t = 0.0f; t < length;) {
      const int qx = TruncateToInt(static_cast<float>(X0 - X1) * t / length + static_cast<float>(X1));
      const int qy = TruncateToInt(static_cast<float>(Y0 - Y1) * t / length + static_cast<float>(Y1));
      const int m = grain ? PaperGrainValue(*grain, qx, qy) : 255;
      const float f = t / length;
      const float size = (1.0f - f) * w1 + f * w0 - static_cast<float>((255 - m) / 16);
      if (size <= 1.0f) {
        t += 1.0f;
      } else {
        FillDisc(target, static_cast<float>(qx) + 0.25f, static_cast<float>(qy) + 0.25f, size / 2.0f);
        t += static_cast<float>(std::ceil(static_cast<double>(size) * 0.2));
      }
    }
  }
  const PixelRect box = SegmentBox(s);
  const int m = TruncateToInt((std::max(w0, w1) + 1.0f) * 0.5f);
  dirty = {box.left - m, box.top - m, box.right + m + 1, box.bottom + m + 1};
  return 1;
}
