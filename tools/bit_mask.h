// Row helpers for 1-bit masks (pixel x of a row is bit 7 - x % 8 of byte x / 8). Internal to
// the tools.
#pragma once

#include <cstdint>
#include <cstring>

// Sets the bits of pixels xl .. xr (inclusive) of a row; nothing when xl > xr. The caller has
// clamped the range to the row.
inline void SetMaskBits(uint8_t* row, int xl, int xr) {
  if (xl > xr) return;
  const int first = xl >> 3, last = xr >> 3;
  const uint8_t head = static_cast<uint8_t>(0xFFu >> (xl & 7));
  const uint8_t tail = static_cast<uint8_t>(0xFFu << (7 - (xr & 7)));
  if (first == last) {
    row[first] |= head & tail;
    return;
  }
  row[first] |= head;
  if (last > first + 1) std::memset(row + first + 1, 0xFF, static_cast<size_t>(last - first - 1));
  row[last] |= tail;
}

// Clears the bits of pixels xl .. xr (inclusive) of a row; nothing when xl > xr.
inline void ClearMaskBits(uint8_t* row, int xl, int xr) {
  if (xl > xr) return;
  const int first = xl >> 3, last = xr >> 3;
  const uint8_t head = static_cast<uint8_t>(0xFFu >> (xl & 7));
  const uint8_t tail = static_cast<uint8_t>(0xFFu << (7 - (xr & 7)));
  if (first == last) {
    row[first] &= static_cast<uint8_t>(~(head & tail));
    return;
  }
  row[first] &= static_cast<uint8_t>(~head);
  if (last > first + 1) std::memset(row + first + 1, 0, static_cast<size_t>(last - first - 1));
  row[last] &= static_cast<uint8_t>(~tail);
}

inline void SetMaskBit(uint8_t* row, int x) { row[x >> 3] |= static_cast<uint8_t>(0x80u >> (x & 7)); }

// The byte of the 1-bit row whose bits are pixels 8 b .. 8 b + 7, with the pixels at and past
// `width` read as `pad` (0 or 1 for every such pixel).
inline uint8_t MaskByteWithTail(const uint8_t* row, int b, int width, bool pad) {
  const int valid = width - 8 * b;  // pixels of this byte inside the row
  if (valid >= 8) return row[b];
  const uint8_t keep = static_cast<uint8_t>(0xFFu << (8 - valid));
  return pad ? static_cast<uint8_t>(row[b] | ~keep) : static_cast<uint8_t>(row[b] & keep);
}
