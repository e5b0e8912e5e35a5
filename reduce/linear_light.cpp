#include "reduce/linear_light.h"

#include <cmath>

namespace {

uint8_t ByteOf(uint32_t colour, int shift) { return static_cast<uint8_t>((colour >> shift) & 0xFF); }

float LinearUnit(uint8_t byte) { return std::pow(static_cast<float>(byte) / 255.0f, 2.2f); }

struct LinearTable {
  uint16_t values[256];
  LinearTable() {
    for (int v = 0; v < 256; ++v) {
      values[v] = static_cast<uint16_t>(LinearUnit(static_cast<uint8_t>(v)) * 4095.0f + 0.5f);
    }
  }
};

struct FastPowBuilt {
  FastPowTables tables;
  FastPowBuilt() {
    for (int i = 0; i < 256; ++i) {
      tables.exponent[i] = static_cast<float>(std::pow(2.0, (i - 127) * 0.45454547));
    }
    for (int j = 0; j < 1024; ++j) {
      tables.mantissa[j] = static_cast<float>(std::pow(1.0 + j / 1024.0, 0.45454547));
    }
  }
};

struct SmallCountBuilt {
  uint8_t* bytes;
  SmallCountBuilt() : bytes(new uint8_t[kSmallCountTableSize]()) {
    const FastPowTables& t = GetFastPowTables();
    bytes[0] = 0xC0;
    for (uint32_t n = 1; n < static_cast<uint32_t>(kSmallCountLimit); ++n) {
      const float reciprocal = 1.0f / static_cast<float>(n);
      uint8_t* entries = bytes + (n << 17);
      for (uint32_t sum = 0; sum < n * 4096; ++sum) {
        const float v = static_cast<float>(sum) * (1.0f / 4095.0f) * reciprocal;
        const float p = FastPow(t, v) * 255.0f + 0.5f;
        entries[sum] = p >= 255.0f ? 255 : static_cast<uint8_t>(p);
      }
    }
  }
};

}  // namespace

const uint16_t* LinearValueTable() {
  static const LinearTable table;  // thread-safe initialisation
  return table.values;
}

const FastPowTables& GetFastPowTables() {
  static const FastPowBuilt built;
  return built.tables;
}

const uint8_t* SmallCountTable() {
  static const SmallCountBuilt built;  // 4 MiB, kept for the life of the process
  return built.bytes;
}

void InitReduceTables() {
  LinearValueTable();
  GetFastPowTables();
  SmallCountTable();
}

void BuildPackedIncrements(const DibColour palette[kDibColourCount], uint64_t increments[kDibColourCount]) {
  const uint16_t* l = LinearValueTable();
  for (int i = 0; i < kDibColourCount; ++i) {
    increments[i] = PackIncrement(l[palette[i].red], l[palette[i].green], l[palette[i].blue]);
  }
}

void BuildWideIncrements(const DibColour palette[kDibColourCount], WideIncrement increments[kDibColourCount]) {
  const uint16_t* l = LinearValueTable();
  for (int i = 0; i < kDibColourCount; ++i) {
    increments[i] = {l[palette[i].red], l[palette[i].green], l[palette[i].blue], 1};
  }
}

ReduceBackgroundLinear BackgroundLinear(uint32_t colour) {
  ReduceBackgroundLinear b;
  b.redByte = ByteOf(colour, 16);
  b.greenByte = ByteOf(colour, 8);
  b.blueByte = ByteOf(colour, 0);
  b.red = LinearUnit(b.redByte);
  b.green = LinearUnit(b.greenByte);
  b.blue = LinearUnit(b.blueByte);
  return b;
}

DivideContext MakeDivideContext(uint32_t background) {
  return {SmallCountTable(), &GetFastPowTables(), BackgroundLinear(background)};
}
