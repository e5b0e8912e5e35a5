#include "tools/mask_fill.h"

#include <bit>
#include <cstring>
#include <vector>

#include "tools/bit_mask.h"

namespace {

bool IsMask(const DibBitmap& m) { return m.bits && DibDepth(m) == 1; }

// Leftmost pixel x' <= x such that pixels x' .. x are all 1 (pixel x is 1).
int RunStart(const uint8_t* row, int x) {
  int b = x >> 3;
  uint8_t zeros = static_cast<uint8_t>(~row[b] & (0xFFu << (7 - (x & 7))));
  while (zeros == 0) {
    if (--b < 0) return 0;
    zeros = static_cast<uint8_t>(~row[b]);
  }
  // The lowest set bit of `zeros` is the rightmost 0-pixel of byte b.
  return 8 * b + (7 - std::countr_zero(zeros)) + 1;
}

// Rightmost pixel x' (x <= x' < width) such that pixels x .. x' are all 1 (pixel x is 1).
int RunEnd(const uint8_t* row, int x, int width) {
  const int lastByte = (width - 1) >> 3;
  int b = x >> 3;
  uint8_t zeros = static_cast<uint8_t>(~row[b] & (0xFFu >> (x & 7)));
  while (zeros == 0) {
    if (++b > lastByte) return width - 1;
    zeros = static_cast<uint8_t>(~row[b]);
  }
  const int end = 8 * b + std::countl_zero(zeros) - 1;
  return end < width - 1 ? end : width - 1;
}

// First pixel in x .. xr whose bit equals `bit`, or xr + 1.
int NextWithBit(const uint8_t* row, int x, int xr, bool bit) {
  while (x <= xr) {
    const int b = x >> 3;
    uint8_t v = bit ? row[b] : static_cast<uint8_t>(~row[b]);
    v = static_cast<uint8_t>(v & (0xFFu >> (x & 7)));
    if (v != 0) {
      const int found = 8 * b + std::countl_zero(v);
      return found <= xr ? found : xr + 1;
    }
    x = 8 * (b + 1);
  }
  return xr + 1;
}

struct Seed {
  int32_t x, y;
};

// Eight bytes as one word, first byte most significant: pixel order runs from bit 63 down.
inline uint64_t LoadBigEndian(const uint8_t* p) {
  uint64_t v;
  std::memcpy(&v, p, 8);
  return std::endian::native == std::endian::little ? __builtin_bswap64(v) : v;
}
inline void StoreBigEndian(uint8_t* p, uint64_t v) {
  if (std::endian::native == std::endian::little) v = __builtin_bswap64(v);
  std::memcpy(p, &v, 8);
}

constexpr int kLinePad = 8;  // bytes of ones before and after the copied source row

// One "dst &= src at (dx, dy)" step, |dx| <= 8. dst and src may be the same mask: rows are
// visited in the order that reads every source row before it is written, and each source row
// is copied into `line` first, so the step behaves as if src were read before any write.
//
// line holds a padded copy of the source row: kLinePad bytes of ones on either side, and the
// pixels past the width read as ones, so a source outside the mask leaves dst unchanged.
void AndShifted(DibBitmap& dst, const DibBitmap& src, int dx, int dy, std::vector<uint8_t>& line) {
  const int width = DibWidth(dst), height = DibHeight(dst);
  const int bytes = (width + 7) >> 3;
  const int yBegin = dy > 0 ? 0 : height - 1;
  const int yStep = dy > 0 ? 1 : -1;
  uint8_t* copy = line.data() + kLinePad;
  for (int y = yBegin; y >= 0 && y < height; y += yStep) {
    const int sy = y + dy;
    if (sy < 0 || sy >= height) continue;
    const uint8_t* s = DibRow(src, sy);
    uint8_t* d = DibRow(dst, y);
    if (dx == 0) {
      // Same columns of another row (dy != 0 here): plain byte AND; the row order keeps the
      // source row unwritten, and the padding bits of dst take whatever, they are never read.
      for (int i = 0; i < bytes; ++i) d[i] &= s[i];
      continue;
    }
    std::memcpy(copy, s, static_cast<size_t>(bytes));
    copy[bytes - 1] = MaskByteWithTail(s, bytes - 1, width, true);
    // Destination byte i takes the eight source pixels starting at 8 i + dx, which begin at bit
    // position p = 8 (i + kLinePad) + dx of `line`.
    int i = 0;
    // Invariant: eight destination bytes per step; the source window starts at byte p >> 3 and
    // needs the byte after the eight as well, which the trailing padding provides.
    for (; i + 8 <= bytes; i += 8) {
      const int p = 8 * (i + kLinePad) + dx;
      const int b = p >> 3, shift = p & 7;
      const uint64_t window = LoadBigEndian(line.data() + b);
      const uint64_t v = shift == 0 ? window : (window << shift) | (line[b + 8] >> (8 - shift));
      StoreBigEndian(d + i, LoadBigEndian(d + i) & v);
    }
    for (; i < bytes; ++i) {
      const int p = 8 * (i + kLinePad) + dx;
      const int b = p >> 3, shift = p & 7;
      const uint8_t v = shift == 0 ? line[b]
                                   : static_cast<uint8_t>((line[b] << shift) | (line[b + 1] >> (8 - shift)));
      d[i] &= v;
    }
  }
}

struct GrowStage {
  int minSize;
  int count;
  int8_t offsets[8][2];
};

constexpr GrowStage kGrowStages[11] = {
    {3, 4, {{1, 0}, {-1, 0}, {0, 1}, {0, -1}}},
    {5, 4, {{1, 0}, {-1, 0}, {0, 1}, {0, -1}}},
    {7, 4, {{1, 0}, {-1, 0}, {0, 1}, {0, -1}}},
    {13, 8, {{3, 0}, {-3, 0}, {0, 3}, {0, -3}, {2, 2}, {-2, 2}, {2, -2}, {-2, -2}}},
    {17, 8, {{-2, 0}, {2, 0}, {0, -2}, {0, 2}, {-2, -2}, {-2, 2}, {2, -2}, {2, 2}}},
    {23, 8, {{-3, 0}, {3, 0}, {0, -3}, {0, 3}, {-2, -2}, {-2, 2}, {2, -2}, {2, 2}}},
    {27, 4, {{-2, -2}, {-2, 2}, {2, -2}, {2, 2}}},
    {33, 4, {{-3, 0}, {3, 0}, {0, -3}, {0, 3}}},
    {39, 8, {{-3, 0}, {3, 0}, {0, -3}, {0, 3}, {-2, -2}, {-2, 2}, {2, -2}, {2, 2}}},
    {45, 8, {{-3, 0}, {3, 0}, {0, -3}, {0, 3}, {-2, -2}, {-2, 2}, {2, -2}, {2, 2}}},
    {53, 8, {{-4, 0}, {4, 0}, {0, -4}, {0, 4}, {-3, -3}, {-3, 3}, {3, -3}, {3, 3}}},
};

}  // namespace

bool FloodFillMask(DibBitmap& mask, int x, int y) {
  if (!IsMask(mask)) return false;
  const int width = DibWidth(mask), height = DibHeight(mask);
  if (x < 0 || y < 0 || x >= width || y >= height) return false;
  if (!MaskBit(DibRow(mask, y), x)) return false;
  std::vector<Seed> stack;
  stack.reserve(256);
  stack.push_back({x, y});
  // Invariant: every seed lies inside the mask; a seed whose bit is 1 belongs to the area
  // (it was found next to a cleared span), so its whole run of 1-bits is cleared when popped.
  while (!stack.empty()) {
    const Seed s = stack.back();
    stack.pop_back();
    uint8_t* row = DibRow(mask, s.y);
    if (!MaskBit(row, s.x)) continue;
    const int xl = RunStart(row, s.x), xr = RunEnd(row, s.x, width);
    ClearMaskBits(row, xl, xr);
    for (int ny = s.y - 1; ny <= s.y + 1; ny += 2) {
      if (ny < 0 || ny >= height) continue;
      const uint8_t* next = DibRow(mask, ny);
      // One seed per run of 1-bits touching xl .. xr.
      for (int nx = NextWithBit(next, xl, xr, true); nx <= xr;
           nx = NextWithBit(next, NextWithBit(next, nx, xr, false), xr, true)) {
        stack.push_back({nx, ny});
      }
    }
  }
  return true;
}

bool GrowClosed(DibBitmap& mask, int size) {
  if (!IsMask(mask)) return false;
  if (size < 3) return true;
  const int width = DibWidth(mask), height = DibHeight(mask);
  DibBitmap* copy = nullptr;
  if (size >= 5) {
    copy = CreateDibBitmap(1, mask.colours, 2, width, height);
    if (!copy) return false;
    std::memcpy(copy->bits, mask.bits, static_cast<size_t>(mask.stride) * height);
  }
  std::vector<uint8_t> line(static_cast<size_t>((width + 7) / 8) + 2 * kLinePad + 1, 0xFF);
  // A is the mask itself, B the copy; stage 1 writes A from A.
  DibBitmap* written = &mask;
  DibBitmap* other = copy;
  for (const GrowStage& stage : kGrowStages) {
    if (size < stage.minSize) break;
    DibBitmap& src = *written;
    DibBitmap& dst = (&stage == &kGrowStages[0]) ? mask : *other;
    for (int k = 0; k < stage.count; ++k) AndShifted(dst, src, stage.offsets[k][0], stage.offsets[k][1], line);
    if (&dst != written) {
      other = written;
      written = &dst;
    }
  }
  if (written != &mask) std::memcpy(mask.bits, written->bits, static_cast<size_t>(mask.stride) * height);
  FreeDibBitmap(copy);
  return true;
}

void InvertMask(DibBitmap& mask) {
  if (!IsMask(mask)) return;
  const size_t n = static_cast<size_t>(mask.stride) * DibHeight(mask);
  for (size_t i = 0; i < n; ++i) mask.bits[i] = static_cast<uint8_t>(~mask.bits[i]);
}

void XorMask(DibBitmap& dst, const DibBitmap& src) {
  if (!IsMask(dst) || !IsMask(src) || DibWidth(dst) != DibWidth(src) || DibHeight(dst) != DibHeight(src)) return;
  const size_t n = static_cast<size_t>(dst.stride) * DibHeight(dst);
  for (size_t i = 0; i < n; ++i) dst.bits[i] ^= src.bits[i];
}
