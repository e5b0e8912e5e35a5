#include "files/packbits.h"

#include <cstring>

namespace {

constexpr size_t kMaxBlock = 128;  // longest literal or run one header can carry

// Length of the stretch of bytes equal to bytes[0], at most limit.
size_t EqualStretch(const uint8_t* bytes, size_t limit) {
  const uint8_t b = bytes[0];
  size_t n = 1;
  while (n < limit && bytes[n] == b) ++n;
  return n;
}

}  // namespace

// Works a stretch of equal bytes at a time; the output is the same as feeding the bytes one by
// one through a literal buffer and a pending run:
//  - a stretch of length L >= 2 closes the open literal, then gives (L - 1) / 128 runs of 128
//    and a remainder m of 1..128 bytes: a run when m >= 2, else one byte for the next literal;
//  - a lone byte goes into the literal, which is written out whenever it holds 128 bytes and
//    another byte arrives, when a run starts, and at the end.
size_t EncodePackBits(const uint8_t* bytes, size_t count, std::vector<uint8_t>& out) {
  const size_t start = out.size();
  if (count == 0) return 0;
  out.resize(start + PackBitsWorstCase(count));
  uint8_t* const begin = out.data() + start;
  uint8_t* o = begin;

  const uint8_t* literal = nullptr;  // first byte of the open literal, in the input
  size_t literalLength = 0;
  auto flushLiteral = [&]() {
    if (literalLength == 0) return;
    *o++ = static_cast<uint8_t>(literalLength - 1);
    std::memcpy(o, literal, literalLength);
    o += literalLength;
    literalLength = 0;
  };
  auto addLiteral = [&](const uint8_t* b) {
    // Literal bytes are always next to each other in the input: every run closes the
    // literal before it, so the leftover byte of a split run starts a new one.
    if (literalLength == kMaxBlock) flushLiteral();
    if (literalLength == 0) literal = b;
    ++literalLength;
  };
  auto emitRun = [&](size_t n, uint8_t b) {
    *o++ = static_cast<uint8_t>(1 - static_cast<int>(n));  // -1..-127 as a byte
    *o++ = b;
  };

  size_t i = 0;
  while (i < count) {
    const size_t length = EqualStretch(bytes + i, count - i);
    if (length == 1) {
      addLiteral(bytes + i);
    } else {
      flushLiteral();
      const uint8_t b = bytes[i];
      size_t full = (length - 1) / kMaxBlock;
      const size_t rest = length - full * kMaxBlock;
      while (full--) emitRun(kMaxBlock, b);
      if (rest >= 2)
        emitRun(rest, b);
      else
        addLiteral(bytes + i + length - 1);
    }
    i += length;
  }
  flushLiteral();

  const size_t written = static_cast<size_t>(o - begin);
  out.resize(start + written);
  return written;
}
