// Writing spans of layer bits into canvas rows, shared by the primitives and the pens' own
// span kinds (grain tone, density). Internal to the brush engine.
#pragma once

#include <bit>
#include <cstdint>
#include <cstring>

#include "brush/primitives.h"

static_assert(std::endian::native == std::endian::little,
              "span words put pixel 4 * word + k in byte k, which needs a little-endian machine");

inline uint32_t Load32(const uint8_t* p) {
  uint32_t v;
  std::memcpy(&v, p, 4);
  return v;
}
inline void Store32(uint8_t* p, uint32_t v) { std::memcpy(p, &v, 4); }

inline int64_t PositiveModulo(int64_t a, int64_t b) {
  const int64_t m = a % b;
  return m < 0 ? m + b : m;
}

// A primitive call's view of its target, resolved once per call: the drawing layer and the
// writable-layer mask are read from the canvas and pen at that moment.
struct Painter {
  uint8_t* bits;
  int stride;
  int width, height;
  bool erase;
  int layer;             // drawing layer c, or -1 when there is none (paper selected)
  uint32_t patternWord;  // untextured pattern byte replicated to four bytes

  const DibBitmap* texture;  // 0/1 texels, or null
  int textureWidth, textureHeight;
  int textureGroups;         // TW / 4
  int64_t ox, oy;

  uint8_t* Row(int y) const { return bits + static_cast<ptrdiff_t>(height - 1 - y) * stride; }
  const uint8_t* TextureRow(int y) const {
    return DibRow(*texture, static_cast<int>(PositiveModulo(y + oy, textureHeight)));
  }
  // Clamps a span to the row; false when nothing of it is on the canvas.
  bool ClampSpan(int& xl, int& xr, int y) const {
    if (xl > xr || xr < 0 || xl >= width || y < 0 || y >= height) return false;
    if (xl < 0) xl = 0;
    if (xr > width - 1) xr = width - 1;
    return true;
  }
};

Painter ResolvePainter(const PaintTarget& target);

inline uint32_t ApplyPattern(uint32_t word, uint32_t pattern, bool erase) {
  return erase ? (word | pattern) : (word & ~pattern);
}

// Mask of the bytes of word `word` that lie in xl..xr.
inline uint32_t SpanWordMask(int word, int xl, int xr) {
  uint32_t mask = ~0u;
  if (word == (xl >> 2)) mask &= ~0u << (8 * (xl & 3));
  if (word == (xr >> 2)) mask &= ~0u >> (8 * (3 - (xr & 3)));
  return mask;
}

// Pattern spans whose ink varies per pixel: for each 32-bit word of the clamped span
// xl..xr, ink(word) returns 0xFF in the bytes that take ink; the word is then written with
// the pattern limited to those bytes and to the span.
template <class Ink>
void PaintSpanByWords(const Painter& p, uint8_t* row, int xl, int xr, uint32_t pattern, Ink&& ink) {
  uint8_t* w = row + 4 * (xl >> 2);
  for (int word = xl >> 2; word <= (xr >> 2); ++word, w += 4) {
    const uint32_t take = ink(word) & SpanWordMask(word, xl, xr);
    Store32(w, ApplyPattern(Load32(w), pattern & take, p.erase));
  }
}

// The plain or textured span of the primitives on a clamped range of row y.
void PaintPatternSpan(const Painter& p, int xl, int xr, int y);

// Clamps, then paints as PaintPatternSpan.
inline void PaintSpanOnRow(const Painter& p, int xl, int xr, int y) {
  if (p.ClampSpan(xl, xr, y)) PaintPatternSpan(p, xl, xr, y);
}

void PlotOnCanvas(const Painter& p, int x, int y);
