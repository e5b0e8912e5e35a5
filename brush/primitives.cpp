#include "brush/primitives.h"

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

namespace {

// Untextured span on a clamped range (0 <= xl <= xr < W) of a row. Works on the row's 32-bit
// words (word w holds pixels 4w .. 4w + 3, byte k = pixel 4w + k); every word touched lies
// inside the row's stride, so nothing outside the row is read or written.
void PlainSpan(const Painter& p, uint8_t* row, int xl, int xr) {
  const uint32_t pattern = p.patternWord;
  if (pattern == 0) return;
  const int first = xl >> 2, last = xr >> 2;
  const uint32_t firstMask = ~0u << (8 * (xl & 3));
  const uint32_t lastMask = ~0u >> (8 * (3 - (xr & 3)));
  uint8_t* w = row + 4 * first;
  if (first == last) {
    Store32(w, ApplyPattern(Load32(w), pattern & firstMask & lastMask, p.erase));
    return;
  }
  Store32(w, ApplyPattern(Load32(w), pattern & firstMask, p.erase));
  w += 4;
  int full = last - first - 1;
  // Full words: eight at a time, then one at a time.
  if (p.erase) {
    for (; full >= 8; full -= 8, w += 32)
      for (int k = 0; k < 8; ++k) Store32(w + 4 * k, Load32(w + 4 * k) | pattern);
    for (; full > 0; --full, w += 4) Store32(w, Load32(w) | pattern);
  } else {
    const uint32_t keep = ~pattern;
    for (; full >= 8; full -= 8, w += 32)
      for (int k = 0; k < 8; ++k) Store32(w + 4 * k, Load32(w + 4 * k) & keep);
    for (; full > 0; --full, w += 4) Store32(w, Load32(w) & keep);
  }
  Store32(w, ApplyPattern(Load32(w), pattern & lastMask, p.erase));
}

// Textured span on a clamped range: texture groups of four texels follow the row's words,
// group x / 4 reading texture group (x / 4 + OX) mod (TW / 4).
void TexturedSpan(const Painter& p, uint8_t* row, int y, int xl, int xr) {
  if (p.textureGroups <= 0) return;
  const uint8_t* texRow = p.TextureRow(y);
  int group = static_cast<int>(PositiveModulo((xl >> 2) + p.ox, p.textureGroups));
  const int shift = p.layer;
  uint8_t* w = row + 4 * (xl >> 2);
  for (int word = xl >> 2; word <= (xr >> 2); ++word, w += 4) {
    // Texels are 0 or 1; keeping only bit 0 stops a stray value from reaching another pixel.
    const uint32_t pattern = ((Load32(texRow + 4 * group) & 0x01010101u) << shift) & SpanWordMask(word, xl, xr);
    Store32(w, ApplyPattern(Load32(w), pattern, p.erase));
    if (++group == p.textureGroups) group = 0;
  }
}

}  // namespace

void PaintPatternSpan(const Painter& p, int xl, int xr, int y) {
  uint8_t* row = p.Row(y);
  if (p.texture)
    TexturedSpan(p, row, y, xl, xr);
  else
    PlainSpan(p, row, xl, xr);
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

void FillDisc(const PaintTarget& target, float cx, float cy, float r) {
  const Painter p = ResolvePainter(target);
  WalkDiscSpans(cx, cy, r, p.height, [&p](int xl, int xr, int row) { PaintSpanOnRow(p, xl, xr, row); });
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
