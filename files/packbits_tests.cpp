#include "files/packbits.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <vector>

namespace {

using Bytes = std::vector<uint8_t>;

Bytes Encode(const Bytes& in) {
  Bytes out;
  const size_t n = EncodePackBits(in.data(), in.size(), out);
  EXPECT_EQ(n, out.size());
  return out;
}

Bytes Repeat(uint8_t b, size_t n) { return Bytes(n, b); }

// count bytes with no two neighbours equal: 0, 1, 2, ...
Bytes Distinct(size_t count) {
  Bytes b(count);
  for (size_t i = 0; i < count; ++i) b[i] = static_cast<uint8_t>(i);
  return b;
}

Bytes Join(std::initializer_list<Bytes> parts) {
  Bytes all;
  for (const Bytes& p : parts) all.insert(all.end(), p.begin(), p.end());
  return all;
}

// Decodes PackBits codes; fails the test on a truncated or -128 header.
Bytes Decode(const Bytes& code) {
  Bytes out;
  size_t i = 0;
  while (i < code.size()) {
    const int h = static_cast<int8_t>(code[i++]);
    if (h >= 0) {
      EXPECT_LE(i + h + 1, code.size()) << "literal runs past the end";
      if (i + h + 1 > code.size()) break;
      out.insert(out.end(), code.begin() + static_cast<ptrdiff_t>(i), code.begin() + static_cast<ptrdiff_t>(i + h + 1));
      i += static_cast<size_t>(h) + 1;
    } else {
      EXPECT_NE(h, -128);
      EXPECT_LT(i, code.size()) << "run without its byte";
      if (i >= code.size()) break;
      out.insert(out.end(), static_cast<size_t>(1 - h), code[i++]);
    }
  }
  return out;
}

// The encoder fed one byte at a time: a literal buffer of up to 128 bytes, the pending byte c
// and its count n. The production encoder works a stretch at a time and must agree byte for
// byte with this one.
Bytes ByteAtATime(const Bytes& in) {
  Bytes out;
  if (in.empty()) return out;
  Bytes literal;
  auto flush = [&] {
    if (literal.empty()) return;
    out.push_back(static_cast<uint8_t>(literal.size() - 1));
    out.insert(out.end(), literal.begin(), literal.end());
    literal.clear();
  };
  auto run = [&](int n, uint8_t c) {
    out.push_back(static_cast<uint8_t>(1 - n));
    out.push_back(c);
  };
  uint8_t c = in[0];
  int n = 1;
  for (size_t i = 1; i < in.size(); ++i) {
    const uint8_t b = in[i];
    if (b == c) {
      flush();
      if (n == 128) {
        run(128, c);
        n = 1;
      } else {
        ++n;
      }
    } else if (n >= 2) {
      run(n, c);
      c = b;
      n = 1;
    } else {
      if (literal.size() == 128) flush();
      literal.push_back(c);
      c = b;
    }
  }
  if (n >= 2) {
    flush();
    run(n, c);
  } else {
    if (literal.size() == 128) flush();
    literal.push_back(c);
    flush();
  }
  return out;
}

}  // namespace

TEST(PackBits, RunsAndLiteralsSplitAt128Bytes) {
  const struct {
    const char* what;
    Bytes in, code;
  } cases[] = {
      // 300 = 128 + 128 + 44; a run of n has the header 1 - n: 128 -> 0x81, 44 -> -43 = 0xD5.
      {"run of 300", Repeat(7, 300), {0x81, 7, 0x81, 7, 0xD5, 7}},
      {"run of 128: one full run", Repeat(7, 128), {0x81, 7}},
      {"run of 256: two", Repeat(7, 256), {0x81, 7, 0x81, 7}},
      // The 129th byte is left alone and goes out as a 1-byte literal (header 0).
      {"run of 129", Repeat(7, 129), {0x81, 7, 0x00, 7}},
      // The remainder is a pair, which is already a run (header 1 - 2 = 0xFF).
      {"run of 130", Repeat(7, 130), {0x81, 7, 0xFF, 7}},
      {"pair", Repeat(7, 2), {0xFF, 7}},
      // A leftover byte of a split run opens the literal that follows it.
      {"x * 129, y, z", Join({Repeat('x', 129), {'y', 'z'}}), {0x81, 'x', 0x02, 'x', 'y', 'z'}},
      {"128 distinct bytes: one literal, header 127", Distinct(128), Join({{0x7F}, Distinct(128)})},
      // A full literal of 128, then a literal of one (header 0, byte 128).
      {"129 distinct bytes", Distinct(129), Join({{0x7F}, Distinct(128), {0x00, 128}})},
      // The literal closes, then the pair is a run.
      {"full literal, then a pair", Join({Distinct(128), {200, 200}}), Join({{0x7F}, Distinct(128), {0xFF, 200}})},
      // Literal of 2 (header 1), then a run of 2.
      {"lone bytes before a run", {1, 2, 3, 3}, {0x01, 1, 2, 0xFF, 3}},
      {"empty", {}, {}},
      {"one byte", {0x42}, {0x00, 0x42}},
      {"one byte FF", {0xFF}, {0x00, 0xFF}},
      // Each a is a 1-byte literal (00 a), each pair a run (FF b): 4 bytes per 3.
      {"a b b a b b", {'a', 'b', 'b', 'a', 'b', 'b'}, {0x00, 'a', 0xFF, 'b', 0x00, 'a', 0xFF, 'b'}},
      // Ending on a lone byte after a pair: 6 bytes for 4.
      {"a b b a", {'a', 'b', 'b', 'a'}, {0x00, 'a', 0xFF, 'b', 0x00, 'a'}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(Encode(c.in), c.code);
  }
}

TEST(PackBits, LoneBytesBetweenPairsAreTheWorstCase) {
  Bytes pattern;
  for (int i = 0; i < 3000; ++i) pattern.push_back(i % 3 == 0 ? 'a' : 'b');
  const Bytes code = Encode(pattern);
  EXPECT_EQ(code.size(), 4000u);
  EXPECT_LE(code.size(), PackBitsWorstCase(pattern.size()));
  EXPECT_EQ(Decode(code), pattern);
  EXPECT_LE(6u, PackBitsWorstCase(4));
}

TEST(PackBits, AppendsAfterWhatTheBufferHolds) {
  Bytes out{0xAA, 0xBB};
  const Bytes row{5, 5, 5};
  EXPECT_EQ(EncodePackBits(row.data(), row.size(), out), 2u);
  EXPECT_EQ(out, (Bytes{0xAA, 0xBB, 0xFE, 5}));
}

TEST(PackBits, AgreesWithTheByteAtATimeEncoderAndRoundTrips) {
  std::mt19937 random(12345);
  for (int trial = 0; trial < 400; ++trial) {
    const size_t length = random() % 700;
    // Few distinct values and long stretches, so runs, splits and full literals all occur.
    const int alphabet = 1 + static_cast<int>(random() % 4) * (trial % 3 == 0 ? 60 : 1);
    Bytes in;
    while (in.size() < length) {
      const uint8_t b = static_cast<uint8_t>(random() % alphabet);
      const size_t stretch = random() % 5 == 0 ? random() % 300 : 1;
      in.insert(in.end(), std::min(stretch, length - in.size()), b);
    }
    const Bytes code = Encode(in);
    ASSERT_EQ(code, ByteAtATime(in)) << "trial " << trial;
    ASSERT_LE(code.size(), PackBitsWorstCase(in.size()));
    ASSERT_EQ(Decode(code), in) << "trial " << trial;
  }
}
