// Writing spans of layer bits into canvas rows, shared by the primitives and the pens' own
// span kinds (grain tone, density). Internal to the brush engine.
#pragma once

#include <emmintrin.h>

#include <algorithm>
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
inline uint64_t Load64(const uint8_t* p) {
  uint64_t v;
  std::memcpy(&v, p, 8);
  return v;
}
inline void Store64(uint8_t* p, uint64_t v) { std::memcpy(p, &v, 8); }

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

// The untextured pattern as one operation for every mode: a byte b becomes (b & keep) | set,
// so painting clears the pattern's bits and erasing sets them. Each field is one byte
// replicated to four.
struct PlainPattern {
  uint32_t keep, set;
};
inline PlainPattern MakePlainPattern(uint32_t patternWord, bool erase) {
  return erase ? PlainPattern{~0u, patternWord} : PlainPattern{~patternWord, 0};
}

// Applies the plain pattern to the n >= 1 bytes run[0 .. n - 1] and touches no other byte.
// Runs of 16 bytes and more go in 16-byte blocks: up to 64 bytes as exactly four blocks, at 0,
// 16, 32 and n - 16 with none starting past n - 16, so that rows of a disc take no loop whose
// count changes from row to row; longer runs as a block at each end and blocks on 16-byte
// boundaries between. Shorter runs go as two 8- or 4-byte pieces, one from each end, or byte
// by byte. Pieces may overlap, which is harmless as applying the pattern twice is applying it
// once; no piece is loaded after a store it partly overlaps (that load would have to wait for
// the store), so overlapping pieces are all loaded before any of them is stored.
inline void PaintPlainRun(uint8_t* run, int n, PlainPattern op) {
  if (n >= 16) {
    const __m128i keep = _mm_set1_epi32(static_cast<int>(op.keep));
    const __m128i set = _mm_set1_epi32(static_cast<int>(op.set));
    auto apply = [&](int at) {
      return _mm_or_si128(_mm_and_si128(_mm_loadu_si128(reinterpret_cast<const __m128i*>(run + at)), keep), set);
    };
    auto store = [run](int at, __m128i v) { _mm_storeu_si128(reinterpret_cast<__m128i*>(run + at), v); };
    const int last = n - 16;  // offset of the last block
    if (n <= 64) {
      const int second = std::min(16, last), third = std::min(32, last);
      const __m128i a = apply(0), b = apply(second), c = apply(third), d = apply(last);
      store(0, a);
      store(second, b);
      store(third, c);
      store(last, d);
      return;
    }
    const __m128i head = apply(0), tail = apply(last);
    int at = 16 - static_cast<int>(reinterpret_cast<uintptr_t>(run) & 15);  // first boundary past the start
    for (; at + 48 < last; at += 64) {
      store(at, apply(at));
      store(at + 16, apply(at + 16));
      store(at + 32, apply(at + 32));
      store(at + 48, apply(at + 48));
    }
    for (; at < last; at += 16) store(at, apply(at));
    store(0, head);
    store(last, tail);
  } else if (n >= 8) {
    const uint64_t keep = op.keep * 0x0000000100000001ull, set = op.set * 0x0000000100000001ull;
    const uint64_t head = (Load64(run) & keep) | set, tail = (Load64(run + n - 8) & keep) | set;
    Store64(run, head);
    Store64(run + n - 8, tail);
  } else if (n >= 4) {
    const uint32_t head = (Load32(run) & op.keep) | op.set, tail = (Load32(run + n - 4) & op.keep) | op.set;
    Store32(run, head);
    Store32(run + n - 4, tail);
  } else {
    // One to three bytes: the first, the middle and the last are all of them.
    const uint8_t keep = static_cast<uint8_t>(op.keep), set = static_cast<uint8_t>(op.set);
    const uint8_t a = (run[0] & keep) | set, b = (run[n / 2] & keep) | set, c = (run[n - 1] & keep) | set;
    run[0] = a;
    run[n / 2] = b;
    run[n - 1] = c;
  }
}

// The textured pattern on a clamped range xl..xr of a row, by the row's 32-bit words (word w
// holds pixels 4w .. 4w + 3, byte k = pixel 4w + k; every word touched lies inside the row's
// stride). Word w reads the four texels of texRow at group g, g starting at `group` for word
// xl / 4 and wrapping at `groups`; texel bit 0 goes to bit `layer`, where it takes the value
// of `fill` (all ones to erase, zero to paint).
inline void PaintTexturedRun(uint8_t* row, int xl, int xr, const uint8_t* texRow, int group, int groups, int layer,
                             uint32_t fill) {
  const int last = xr >> 2;
  uint8_t* w = row + 4 * (xl >> 2);
  uint32_t mask = ~0u << (8 * (xl & 3));
  for (int word = xl >> 2; word <= last; ++word, w += 4) {
    if (word == last) mask &= ~0u >> (8 * (3 - (xr & 3)));
    // Texels are 0 or 1; keeping only bit 0 stops a stray value from reaching another pixel.
    const uint32_t pattern = ((Load32(texRow + 4 * group) & 0x01010101u) << layer) & mask;
    const uint32_t v = Load32(w);
    Store32(w, v ^ ((v ^ fill) & pattern));
    mask = ~0u;
    if (++group == groups) group = 0;
  }
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
