#include "brush/primitives.h"

#include <algorithm>
#include <cmath>

#include "brush/span_geometry.h"
#include "brush/span_painter.h"

Painter ResolvePainter(const PaintTarget& t) {
  Painter p{};
  Canvas& canvas = *t.canvas;
  DibBitmap& bitmap = *canvas.bitmap;
  p.bits = bitmap.bits;
  p.stride = bitmap.stride;
  p.width = DibWidth(bitmap);
  p.height = DibHeight(bitmap);
  p.erase = t.mode == kEraseLayer || t.mode == kEraseAll;
  const int c = DrawingLayer(*t.pen, canvas.currentLayer);
  p.layer = (c >= 0 && c < kLayerCount) ? c : -1;

  uint32_t patternByte = 0;
  if (t.mode == kPaintAll || t.mode == kEraseAll) {
    patternByte = static_cast<uint8_t>(~ProtectionMask(canvas.layers));
  } else if (p.layer >= 0) {
    patternByte = 1u << p.layer;
  }
  p.patternWord = patternByte * 0x01010101u;

  if (t.texture && DibDepth(*t.texture) == 8 && p.layer >= 0) {
    p.texture = t.texture;
    p.textureWidth = DibWidth(*t.texture);
    p.textureHeight = DibHeight(*t.texture);
    p.textureGroups = p.textureWidth / 4;
    p.ox = t.pen->TextureOffsetX;
    p.oy = t.pen->TextureOffsetY;
  } else if (t.texture) {
    // A texture that cannot be read paints nothing rather than painting untextured.
    p.patternWord = 0;
  }
  return p;
}

void PaintPatternSpan(const Painter& p, int xl, int xr, int y) {
  uint8_t* row = p.Row(y);
  if (p.texture) {
    if (p.textureGroups <= 0) return;
    const int group = static_cast<int>(PositiveModulo((xl >> 2) + p.ox, p.textureGroups));
    PaintTexturedRun(row, xl, xr, p.TextureRow(y), group, p.textureGroups, p.layer, p.erase ? ~0u : 0u);
  } else if (p.patternWord != 0) {
    PaintPlainRun(row + xl, xr - xl + 1, MakePlainPattern(p.patternWord, p.erase));
  }
}

void PlotOnCanvas(const Painter& p, int x, int y) {
  if (x < 0 || x >= p.width || y < 0 || y >= p.height) return;
  uint8_t* pixel = p.Row(y) + x;
  uint8_t pattern;
  if (p.texture) {
    if (p.textureWidth <= 0) return;
    const uint8_t texel = p.TextureRow(y)[PositiveModulo(x + p.ox, p.textureWidth)];
    pattern = static_cast<uint8_t>((texel & 1u) << p.layer);
  } else {
    pattern = static_cast<uint8_t>(p.patternWord);
  }
  *pixel = p.erase ? static_cast<uint8_t>(*pixel | pattern) : static_cast<uint8_t>(*pixel & ~pattern);
}

void PlotPixel(const PaintTarget& target, int x, int y) { PlotOnCanvas(ResolvePainter(target), x, y); }

void FillSpan(const PaintTarget& target, int xl, int xr, int y) {
  PaintSpanOnRow(ResolvePainter(target), xl, xr, y);
}

// Discs are the pens' dabs, so the fill picks its span kind once per disc and paints the rows
// inline. Rows arrive on the canvas (0 <= row < H); spans are clamped to the row unless the
// whole disc lies within the canvas's columns.
void FillDisc(const PaintTarget& target, float cx, float cy, float r) {
  const Painter p = ResolvePainter(target);
  const int maxX = p.width - 1;
  if (p.texture) {
    const int groups = p.textureGroups;
    if (groups <= 0) return;
    // The offsets reduced once, so that each row needs only unsigned 32-bit remainders.
    const uint32_t rowOffset = static_cast<uint32_t>(PositiveModulo(p.oy, p.textureHeight));
    const uint32_t groupOffset = static_cast<uint32_t>(PositiveModulo(p.ox, groups));
    const uint32_t fill = p.erase ? ~0u : 0u;
    WalkDiscSpans(cx, cy, r, p.height, [&](int xl, int xr, int row) {
      xl = std::max(xl, 0);
      xr = std::min(xr, maxX);
      if (xl > xr) return;
      const uint8_t* texRow = DibRow(*p.texture, static_cast<int>((static_cast<uint32_t>(row) + rowOffset) %
                                                                  static_cast<uint32_t>(p.textureHeight)));
      const int group = static_cast<int>((static_cast<uint32_t>(xl >> 2) + groupOffset) % static_cast<uint32_t>(groups));
      PaintTexturedRun(p.Row(row), xl, xr, texRow, group, groups, p.layer, fill);
    });
    return;
  }
  if (p.patternWord == 0) return;
  const PlainPattern op = MakePlainPattern(p.patternWord, p.erase);
  if (DiscWithinColumns(cx, r, p.width)) {
    WalkDiscSpans(cx, cy, r, p.height, [&](int xl, int xr, int row) {
      if (xl <= xr) PaintPlainRun(p.Row(row) + xl, xr - xl + 1, op);
    });
  } else {
    WalkDiscSpans(cx, cy, r, p.height, [&](int xl, int xr, int row) {
      xl = std::max(xl, 0);
      xr = std::min(xr, maxX);
      if (xl <= xr) PaintPlainRun(p.Row(row) + xl, xr - xl + 1, op);
    });
  }
}

void FillConvexPolygon(const PaintTarget& target, const PointF* points, int n) {
  const Painter p = ResolvePainter(target);
  WalkPolygonSpans(points, n, p.height,
                   [&p](int xl, int xr, int row, int, int) { PaintSpanOnRow(p, xl, xr, row); });
}

void DrawThinLine(const PaintTarget& target, float ax, float ay, float bx, float by) {
  if (!IsDrawableCoordinate(ax) || !IsDrawableCoordinate(ay) || !IsDrawableCoordinate(bx) ||
      !IsDrawableCoordinate(by))
    return;
  const Painter p = ResolvePainter(target);
  const float dx = std::fabs(bx - ax);
  const float dy = std::fabs(by - ay);
  const bool mainIsX = dx > dy;
  // Main and cross coordinates of the two ends, ordered so that the main one increases.
  float sMain = mainIsX ? ax : ay, sCross = mainIsX ? ay : ax;
  float eMain = mainIsX ? bx : by, eCross = mainIsX ? by : bx;
  if (eMain < sMain) {
    std::swap(sMain, eMain);
    std::swap(sCross, eCross);
  }
  const float mainExtent = mainIsX ? dx : dy;
  const float crossExtent = mainIsX ? dy : dx;
  const float step = eCross >= sCross ? 1.0f : -1.0f;
  const float f = sCross - static_cast<float>(std::floor(static_cast<double>(sCross)));
  float e = step > 0 ? f * mainExtent : (1.0f - f) * mainExtent;
  float cross = sCross;
  for (float main = sMain; main <= eMain; main += 1.0f) {
    const int mainPixel = FloorToInt(static_cast<double>(main));
    const int crossPixel = FloorToInt(static_cast<double>(cross));
    if (mainIsX)
      PlotOnCanvas(p, mainPixel, crossPixel);
    else
      PlotOnCanvas(p, crossPixel, mainPixel);
    e += crossExtent;
    if (e >= mainExtent) {
      e -= mainExtent;
      cross += step;
    }
  }
}
