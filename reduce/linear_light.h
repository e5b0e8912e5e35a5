// Linear-light arithmetic of the reduced view: colours of canvas pixels are averaged after
// raising them to the power 2.2, and the average is raised to 1/2.2. Every engine (the CPU
// engines of reduce.h and the OpenCL kernels) must produce the same bytes, so every formula
// below is exact: single precision, evaluated in the order written, no fused multiply-add
// (OpenCL kernels: `#pragma OPENCL FP_CONTRACT OFF`, and a correctly rounded divide).
//
// Linear value of a channel byte v (0..255), 0..4095:
//   l(v) = trunc(powf((float)v / 255.0f, 2.2f) * 4095.0f + 0.5f)
//
// Packed increment of a palette entry (accumulators of reductions up to f = 10, at most 127
// samples per destination pixel; 127 * 4095 < 2^19 so no field overflows):
//   bits 45..63 red l, bits 26..44 green l, bits 7..25 blue l, bits 0..6 count 1.
// Summing increments with one 64-bit addition sums all three channels and counts the samples.
//
// Wide increment (reductions above f = 10): four 32-bit values red l, green l, blue l, 1; the
// accumulator is four 32-bit sums in the same order.
//
// Background: a colour 0x00RRGGBB (the default, kReduceBackground, is grey 0xC0C0C0). Its
// linear value per channel is powf((float)byte / 255.0f, 2.2f), in 0..1.
//
// FastPow(v), the power 1/2.2 of v in 0..1, from two tables built once in double precision and
// stored as float:
//   E[i] = (float)pow(2.0, (i - 127) * 0.45454547)     i = 0..255
//   M[j] = (float)pow(1.0 + j / 1024.0, 0.45454547)    j = 0..1023
//   (0.45454547 is the double literal; i - 127 and j / 1024.0 are exact)
//   b = the 32-bit pattern of v; FastPow(v) = M[(b >> 13) & 1023] * E[b >> 23].
//
// SmallCountTable (4 MiB of bytes, index (n << 17) + sum): entry 0 is 0xC0; for n = 1..31 and
// sum = 0..n * 4096 - 1:
//   byte = clamp(trunc(FastPow((float)sum * (1.0f / 4095.0f) * (1.0f / (float)n)) * 255.0f + 0.5f), 0, 255)
// (the two products left to right; 1.0f / (float)n rounded once). Other entries are 0 and unused.
//
// Divide of one accumulator with count n and channel sums S (per channel, stored as blue,
// green, red, then a 0 byte; as a uint32: 0x00RRGGBB):
//   n == 0:  the background colour's byte.
//   n < 32:  SmallCountTable[min((n << 17) + S, 0x3FFFFF)].
//   n >= 32: t = (float)S * (1.0f / 4095.0f); t = t * 65536.0f; t = t + backgroundLinear;
//            d = (float)n * 65536.0f + 1.0f; v = t / d;
//            byte = min(trunc(FastPow(v) * 255.0f + 0.5f), 255).
// For the default background the n == 0 rule gives the table's entry 0, 0xC0.
#pragma once

#include <cstdint>
#include <cstring>

#include "canvas/dib_bitmap.h"

// Grey RGB(192, 192, 192): destination pixels no canvas pixel reaches.
inline constexpr uint32_t kReduceBackground = 0xC0C0C0;

inline constexpr int kLinearMax = 4095;
inline constexpr int kPackedRedShift = 45;
inline constexpr int kPackedGreenShift = 26;
inline constexpr int kPackedBlueShift = 7;
inline constexpr uint64_t kPackedFieldMask = 0x7FFFF;  // 19 bits
inline constexpr uint64_t kPackedCountMask = 0x7F;     // 7 bits
inline constexpr int kPackedMaxCount = 127;
inline constexpr int kSmallCountLimit = 32;            // counts below use SmallCountTable
inline constexpr uint32_t kSmallCountTableSize = 1u << 22;  // 4 MiB
inline constexpr uint32_t kSmallCountIndexMax = 0x3FFFFF;

// l(v) for v = 0..255 (table built once, thread-safe).
const uint16_t* LinearValueTable();

inline uint64_t PackIncrement(uint32_t redL, uint32_t greenL, uint32_t blueL) {
  return (static_cast<uint64_t>(redL) << kPackedRedShift) |
         (static_cast<uint64_t>(greenL) << kPackedGreenShift) |
         (static_cast<uint64_t>(blueL) << kPackedBlueShift) | 1u;
}

// The 256 packed increments of a colour table (the canvas bitmap's palette).
void BuildPackedIncrements(const DibColour palette[kDibColourCount], uint64_t increments[kDibColourCount]);

struct WideIncrement {
  uint32_t red, green, blue, count;  // l values and 1
};
using WideAccumulator = WideIncrement;  // sums of red, green, blue l values and the count

void BuildWideIncrements(const DibColour palette[kDibColourCount], WideIncrement increments[kDibColourCount]);

// The background as the divide needs it.
struct ReduceBackgroundLinear {
  float red, green, blue;        // powf(byte / 255, 2.2), 0..1
  uint8_t redByte, greenByte, blueByte;
};
ReduceBackgroundLinear BackgroundLinear(uint32_t colour);  // colour 0x00RRGGBB

struct FastPowTables {
  float exponent[256];   // E
  float mantissa[1024];  // M
};
// Built once on first use (thread-safe), then only read.
const FastPowTables& GetFastPowTables();

inline float FastPow(const FastPowTables& t, float v) {
  uint32_t b;
  std::memcpy(&b, &v, sizeof b);
  return t.mantissa[(b >> 13) & 1023] * t.exponent[b >> 23];
}
inline float FastPow(float v) { return FastPow(GetFastPowTables(), v); }

// The 4 MiB small-count table (see above), built once on first use (thread-safe).
const uint8_t* SmallCountTable();

// Builds every table now (start-up), so the first reduction does not pay for them.
void InitReduceTables();

// Everything the divide reads, gathered once per reduction.
struct DivideContext {
  const uint8_t* smallCount;
  const FastPowTables* fastPow;
  ReduceBackgroundLinear background;
};
DivideContext MakeDivideContext(uint32_t background);

// One channel from a count n and a sum (the rules above).
inline uint32_t DivideChannel(const DivideContext& c, uint32_t n, uint32_t sum, float backgroundLinear,
                              uint8_t backgroundByte) {
  if (n == 0) return backgroundByte;
  if (n < static_cast<uint32_t>(kSmallCountLimit)) {
    uint32_t index = (n << 17) + sum;
    return c.smallCount[index < kSmallCountIndexMax ? index : kSmallCountIndexMax];
  }
  float t = static_cast<float>(sum) * (1.0f / 4095.0f);
  t = t * 65536.0f;
  t = t + backgroundLinear;
  const float d = static_cast<float>(n) * 65536.0f + 1.0f;
  const float v = t / d;
  const uint32_t byte = static_cast<uint32_t>(FastPow(*c.fastPow, v) * 255.0f + 0.5f);
  return byte < 255 ? byte : 255;
}

// One packed accumulator to a 32-bit pixel 0x00RRGGBB (bytes blue, green, red, 0 in memory).
inline uint32_t DividePacked(const DivideContext& c, uint64_t sum) {
  const uint32_t n = static_cast<uint32_t>(sum & kPackedCountMask);
  const uint32_t r = DivideChannel(c, n, static_cast<uint32_t>(sum >> kPackedRedShift),
                                   c.background.red, c.background.redByte);
  const uint32_t g = DivideChannel(c, n, static_cast<uint32_t>((sum >> kPackedGreenShift) & kPackedFieldMask),
                                   c.background.green, c.background.greenByte);
  const uint32_t b = DivideChannel(c, n, static_cast<uint32_t>((sum >> kPackedBlueShift) & kPackedFieldMask),
                                   c.background.blue, c.background.blueByte);
  return (r << 16) | (g << 8) | b;
}

// One wide accumulator to a 32-bit pixel 0x00RRGGBB.
inline uint32_t DivideWide(const DivideContext& c, const WideAccumulator& sum) {
  const uint32_t r = DivideChannel(c, sum.count, sum.red, c.background.red, c.background.redByte);
  const uint32_t g = DivideChannel(c, sum.count, sum.green, c.background.green, c.background.greenByte);
  const uint32_t b = DivideChannel(c, sum.count, sum.blue, c.background.blue, c.background.blueByte);
  return (r << 16) | (g << 8) | b;
}
