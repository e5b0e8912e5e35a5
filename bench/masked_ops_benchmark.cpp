// Masked layer operations over a whole A4 canvas at 600 DPI, next to memcpy of the same
// bytes (the memory-bandwidth floor), and the palette computation.
#include <benchmark/benchmark.h>

#include <cstring>
#include <random>

#include "canvas/dib_bitmap.h"
#include "canvas/layer_table.h"
#include "canvas/masked_ops.h"
#include "canvas/palette.h"

namespace {

constexpr int kA4Width = 4961;
constexpr int kA4Height = 7016;

struct A4 {
  DibBitmap* canvas = CreateDibBitmap(8, nullptr, 0, kA4Width, kA4Height);
  DibBitmap* source = CreateDibBitmap(8, nullptr, 0, kA4Width, kA4Height);
  DibBitmap* mask = CreateDibBitmap(1, nullptr, 0, kA4Width, kA4Height);
  LayerTable layers = DefaultLayerTable();
  A4() {
    std::mt19937 random(1);
    size_t bytes = static_cast<size_t>(canvas->stride) * kA4Height;
    for (size_t i = 0; i < bytes; ++i) canvas->bits[i] = source->bits[i] = static_cast<uint8_t>(random());
    for (size_t i = 0; i < static_cast<size_t>(mask->stride) * kA4Height; ++i)
      mask->bits[i] = static_cast<uint8_t>(random());
    layers.rows[3].locked = 1;
  }
  ~A4() {
    FreeDibBitmap(canvas);
    FreeDibBitmap(source);
    FreeDibBitmap(mask);
  }
};

A4& Shared() {
  static A4 a4;
  return a4;
}

void SetBytes(benchmark::State& state) {
  state.SetBytesProcessed(state.iterations() * int64_t{kA4Width} * kA4Height);
}

void BM_Memcpy_Baseline(benchmark::State& state) {
  A4& a = Shared();
  size_t bytes = static_cast<size_t>(a.canvas->stride) * kA4Height;
  for (auto _ : state) {
    std::memcpy(a.canvas->bits, a.source->bits, bytes);
    benchmark::ClobberMemory();
  }
  SetBytes(state);
}

void BM_MaskedCopy(benchmark::State& state) {
  A4& a = Shared();
  for (auto _ : state) {
    MaskedCopy(*a.canvas, {0, 0, kA4Width, kA4Height, 0, 0}, *a.source, a.layers);
    benchmark::ClobberMemory();
  }
  SetBytes(state);
}

void BM_PaintWithMask(benchmark::State& state) {
  A4& a = Shared();
  for (auto _ : state) {
    PaintWithMask(*a.canvas, {0, 0, kA4Width, kA4Height, 0, 0}, *a.mask, a.layers);
    benchmark::ClobberMemory();
  }
  SetBytes(state);
}

void BM_PaintWithMaskUnaligned(benchmark::State& state) {
  A4& a = Shared();
  for (auto _ : state) {
    PaintWithMask(*a.canvas, {0, 0, kA4Width - 3, kA4Height, 3, 0}, *a.mask, a.layers);
    benchmark::ClobberMemory();
  }
  SetBytes(state);
}

void BM_ComputePalette(benchmark::State& state) {
  LayerTable layers = DefaultLayerTable();
  layers.rows[2].clipped = 1;
  layers.rows[4].opacity = 100;
  DibColour palette[256];
  for (auto _ : state) {
    ComputePalette(layers, palette);
    benchmark::DoNotOptimize(palette);
  }
}

}  // namespace

BENCHMARK(BM_Memcpy_Baseline)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MaskedCopy)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PaintWithMask)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PaintWithMaskUnaligned)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ComputePalette)->Unit(benchmark::kMicrosecond);

BENCHMARK_MAIN();
