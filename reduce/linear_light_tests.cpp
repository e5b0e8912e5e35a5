#include "reduce/linear_light.h"

#include <gtest/gtest.h>

#include <cmath>

TEST(LinearLight, LinearValuesSpanZeroTo4095) {
  const uint16_t* l = LinearValueTable();
  EXPECT_EQ(l[0], 0);
  EXPECT_EQ(l[255], 4095);
  // (128 / 255)^2.2 = 0.21952, * 4095 = 898.9, rounded 899.
  EXPECT_EQ(l[128], 899);
  // (1 / 255)^2.2 * 4095 = 0.0210: rounds to 0.
  EXPECT_EQ(l[1], 0);
}

TEST(LinearLight, PackedIncrementFields) {
  DibColour palette[kDibColourCount] = {};
  palette[3] = {255, 0, 128, 0};  // blue 255, green 0, red 128
  uint64_t packed[kDibColourCount];
  BuildPackedIncrements(palette, packed);
  EXPECT_EQ(packed[3], (uint64_t{899} << 45) | (uint64_t{0} << 26) | (uint64_t{4095} << 7) | 1u);
  EXPECT_EQ(packed[0], 1u);  // black: only the count
  // 127 white samples fill each field without carrying into the next.
  const uint64_t white = PackIncrement(4095, 4095, 4095);
  const uint64_t sum = white * 127;
  EXPECT_EQ(sum & kPackedCountMask, 127u);
  EXPECT_EQ((sum >> kPackedBlueShift) & kPackedFieldMask, 127u * 4095u);
  EXPECT_EQ((sum >> kPackedGreenShift) & kPackedFieldMask, 127u * 4095u);
  EXPECT_EQ(sum >> kPackedRedShift, 127u * 4095u);
}

TEST(LinearLight, FastPowFollowsThePower) {
  EXPECT_EQ(FastPow(1.0f), 1.0f);  // E[127] * M[0]
  EXPECT_EQ(FastPow(0.25f), GetFastPowTables().exponent[125]);  // a power of two: M[0] = 1
  EXPECT_NEAR(FastPow(0.5f), 0.72974, 1e-4);  // 0.5^(1/2.2)
  // Ten mantissa bits: the relative error stays below 0.45 * 2^-10.
  for (float v = 0.001f; v <= 1.0f; v += 0.0137f) {
    const double exact = std::pow(static_cast<double>(v), 1.0 / 2.2);
    EXPECT_NEAR(FastPow(v), exact, exact * 4.5e-4) << v;
  }
}

TEST(LinearLight, SmallCountTable) {
  const uint8_t* t = SmallCountTable();
  EXPECT_EQ(t[0], 0xC0);
  EXPECT_EQ(t[(1u << 17) + 0], 0);
  EXPECT_EQ(t[(1u << 17) + 4095], 255);
  // Half white: trunc(FastPow(0.5) * 255 + 0.5) = trunc(186.58) = 186, the same for 1 of 2 and 2 of 4.
  EXPECT_EQ(t[(2u << 17) + 4095], 186);
  EXPECT_EQ(t[(4u << 17) + 8190], 186);
  EXPECT_EQ(t[(31u << 17) + 31 * 4095], 255);
  EXPECT_EQ(SmallCountTable(), t);  // built once
}

TEST(LinearLight, DivideRules) {
  const DivideContext c = MakeDivideContext(kReduceBackground);
  EXPECT_EQ(DividePacked(c, 0), 0xC0C0C0u);  // no sample: background grey
  const uint64_t white = PackIncrement(4095, 4095, 4095), black = PackIncrement(0, 0, 0);
  EXPECT_EQ(DividePacked(c, 2 * white + 2 * black), 0xBABABAu);  // 186 = 0xBA
  // 32 samples and more use the formula with the background weighted 1 / (n * 65536 + 1).
  EXPECT_EQ(DividePacked(c, 32 * white), 0xFFFFFFu);
  EXPECT_EQ(DividePacked(c, 16 * white + 16 * black), 0xBABABAu);
  EXPECT_EQ(DividePacked(c, 40 * black), 0u);
  const WideAccumulator wide{300u * 4095u, 0, 150u * 4095u, 300};
  EXPECT_EQ(DivideWide(c, wide), 0xFF00BAu);  // red white, green black, blue half
  const WideAccumulator none{0, 0, 0, 0};
  EXPECT_EQ(DivideWide(MakeDivideContext(0x123456), none), 0x123456u);
  // Channels land as blue, green, red bytes of the pixel.
  DibColour palette[kDibColourCount] = {};
  palette[1] = {0, 0, 255, 0};  // pure red
  uint64_t packed[kDibColourCount];
  BuildPackedIncrements(palette, packed);
  EXPECT_EQ(DividePacked(c, packed[1]), 0xFF0000u);
}
