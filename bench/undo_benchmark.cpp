// Committing and undoing a full-canvas change on an A4 canvas at 600 DPI, next to memcpy of
// the bytes each one moves: a commit cuts the patch from the previous canvas and copies the
// canvas into the previous canvas (two canvas copies); an undo swaps three (patch to canvas,
// previous to patch, canvas to previous).
#include <benchmark/benchmark.h>

#include <cstring>
#include <vector>

#include "canvas/canvas_lifecycle.h"
#include "canvas/undo_history.h"

namespace {

constexpr int kA4Width = 4961;
constexpr int kA4Height = 7016;

struct A4Canvas {
  Canvas canvas{};
  A4Canvas() {
    InitCanvas(canvas);
    if (!NewCanvas(canvas, kA4Width, kA4Height)) std::abort();
    for (int y = 0; y < kA4Height; y += 3) std::memset(DibRow(*canvas.bitmap, y), 0xFE, kA4Width / 2);
  }
  ~A4Canvas() { DestroyCanvas(canvas); }
  size_t Bytes() const { return static_cast<size_t>(canvas.bitmap->stride) * kA4Height; }
};

void BM_Commit_FullCanvas(benchmark::State& state) {
  A4Canvas a;
  for (auto _ : state) {
    CommitCanvasRect(a.canvas, {0, 0, kA4Width, kA4Height});
    state.PauseTiming();
    ResetUndoHistory(a.canvas.undo);  // frees the patch outside the measurement
    state.ResumeTiming();
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * 2 * static_cast<int64_t>(a.Bytes()));
}

void BM_Memcpy_TwoCanvasCopies(benchmark::State& state) {
  A4Canvas a;
  std::vector<uint8_t> patch(a.Bytes());
  for (auto _ : state) {
    std::memcpy(patch.data(), a.canvas.previous->bits, a.Bytes());
    std::memcpy(a.canvas.previous->bits, a.canvas.bitmap->bits, a.Bytes());
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * 2 * static_cast<int64_t>(a.Bytes()));
}

void BM_Undo_FullCanvas(benchmark::State& state) {
  A4Canvas a;
  CommitCanvasRect(a.canvas, {0, 0, kA4Width, kA4Height});
  PixelRect r{};
  for (auto _ : state) {
    // Undo and redo alternate so every iteration moves the same bytes.
    if (!Undo(a.canvas, r)) Redo(a.canvas, r);
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * 3 * static_cast<int64_t>(a.Bytes()));
}

void BM_Memcpy_ThreeCanvasCopies(benchmark::State& state) {
  A4Canvas a;
  std::vector<uint8_t> patch(a.Bytes());
  for (auto _ : state) {
    std::memcpy(a.canvas.bitmap->bits, patch.data(), a.Bytes());
    std::memcpy(patch.data(), a.canvas.previous->bits, a.Bytes());
    std::memcpy(a.canvas.previous->bits, a.canvas.bitmap->bits, a.Bytes());
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * 3 * static_cast<int64_t>(a.Bytes()));
}

}  // namespace

BENCHMARK(BM_Commit_FullCanvas)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Memcpy_TwoCanvasCopies)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Undo_FullCanvas)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Memcpy_ThreeCanvasCopies)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
