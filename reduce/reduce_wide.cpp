// The plain-thread engine for strong reductions (f > 10): four 32-bit sums per destination
// pixel, so any number of samples fits.
#include <algorithm>
#include <atomic>
#include <system_error>
#include <thread>
#include <vector>

#include "reduce/reduce_internal.h"
#include "reduce/thread_pool.h"

namespace {

constexpr int kParallelMinSide = 256;  // destinations smaller than 256 x 256 stay on one thread
constexpr int kTileSide = 64;          // destination pixels

// Runs work(i) for i = 0..count-1, each on a worker thread of its own (started through the
// worker start hook, which lowers its priority in the program), and waits for all.
template <typename Work>
void RunOnWorkers(int count, Work work) {
  std::vector<std::thread> workers;
  workers.reserve(static_cast<size_t>(count));
  const WorkerThreadStart start = GetWorkerThreadStart();
  int i = 0;
  for (; i < count; ++i) {
    try {
      workers.emplace_back([&work, start, i] {
        if (start) start();
        work(i);
      });
    } catch (const std::system_error&) {
      break;  // the system refuses more threads: the rest runs here
    }
  }
  for (; i < count; ++i) work(i);
  for (std::thread& w : workers) w.join();
}

}  // namespace

DibBitmap* ReduceWide(const CanvasView& view, const DibBitmap& canvas, const PixelRect& source, uint32_t background,
                      int threaded) {
  CountPlan plan;
  DivideContext divide{};
  DibBitmap* out = StartReduction(plan, divide, view, canvas, source, background);
  if (!out) return nullptr;
  const int workers = PoolThreadCount();  // one per processor
  // Items that own their destination pixels (see ReducePool): 64 x 64 tiles at 0 or 180
  // degrees, bands of 64 rows otherwise.
  std::vector<PixelRect> tiles;
  if (plan.separable) tiles = DestinationTiles(plan, kTileSide);
  const int count = plan.separable ? static_cast<int>(tiles.size()) : TurnedBandCount(plan);
  const bool parallel = threaded && workers > 1 && plan.destWidth >= kParallelMinSide &&
                        plan.destHeight >= kParallelMinSide;
  const int threads = parallel ? workers : 1;
  std::atomic<bool> failed{false};
  // Each worker takes the next item when it is done with one: a turned view's bands differ in
  // size (the box's corners are background), and a strong reduction has only a few of them.
  std::atomic<int> next{0};
  auto work = [&](int) {
    for (int i = next++; i < count; i = next++) {
      if (plan.separable) {
        ReduceSeparableTile(plan, divide, tiles[static_cast<size_t>(i)], true, *out);
      } else {
        const int32_t top = TurnedBandTop(i);
        const int32_t bottom = std::min(top + kTurnedBandRows, plan.destHeight);
        if (!ReduceTurnedBand(plan, divide, top, bottom, true, *out)) failed = true;
      }
    }
  };
  if (parallel) {
    RunOnWorkers(threads, work);
  } else {
    work(0);
  }
  if (failed) {
    FreeDibBitmap(out);
    return nullptr;
  }
  return out;
}
