// The plain-thread engine for strong reductions (f > 10): four 32-bit sums per destination
// pixel, so any number of samples fits.
#include <cmath>
#include <cstdlib>
#include <system_error>
#include <thread>
#include <vector>

#include "canvas/status.h"
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
  if (!PrepareCountPlan(plan, view, canvas, source)) return nullptr;
  DibBitmap* out = CreateDibBitmap(32, nullptr, 0, plan.destWidth, plan.destHeight);
  if (!out) return nullptr;
  PreferLargePages(out->bits, BitmapBytes(*out));
  const DivideContext divide = MakeDivideContext(background);
  const int workers = PoolThreadCount();  // one per processor
  if (plan.separable) {
    // At 0 or 180 degrees: destination tiles that own their pixels (see ReducePool), dealt
    // out to the workers in turn.
    const std::vector<PixelRect> tiles = DestinationTiles(plan, kTileSide);
    const int count = static_cast<int>(tiles.size());
    const bool parallel = threaded && workers > 1 && plan.destWidth >= kParallelMinSide &&
                          plan.destHeight >= kParallelMinSide;
    const int threads = parallel ? workers : 1;
    auto work = [&](int first) {
      for (int i = first; i < count; i += threads) ReduceSeparableTile(plan, divide, tiles[i], true, *out);
    };
    if (parallel) {
      RunOnWorkers(threads, work);
    } else {
      work(0);
    }
    return out;
  }
  const size_t cells = static_cast<size_t>(plan.destWidth) * static_cast<size_t>(plan.destHeight);
  WideAccumulator* acc = static_cast<WideAccumulator*>(std::calloc(cells, sizeof(WideAccumulator)));
  if (!acc) {
    gStatusCode = kStatusBitmapAllocationFailed;
    FreeDibBitmap(out);
    return nullptr;
  }
  const PixelRect& src = plan.step.source;
  // Count in 2 * workers bands of source rows, even bands first, then odd ones: bands running
  // together are a band apart, and a band at least 2 * s + 2 rows high keeps them from sharing
  // a destination pixel at any rotation (that takes less than sqrt(2) * s rows).
  const int bands = 2 * workers;
  const int32_t height = src.bottom - src.top;
  const double minBand = 2.0 * std::ceil(static_cast<double>(view.scale)) + 2.0;
  const bool parallel = threaded && workers > 1 && plan.destWidth >= kParallelMinSide &&
                        plan.destHeight >= kParallelMinSide && height / bands >= minBand;
  if (!parallel) {
    CountWidePart(plan, src, acc);
    DivideWideRows(divide, acc, *out, 0, plan.destHeight);
  } else {
    for (int parity = 0; parity < 2; ++parity) {
      RunOnWorkers(workers, [&](int i) {
        const int b = 2 * i + parity;
        const PixelRect band{src.left, src.top + static_cast<int32_t>(int64_t{b} * height / bands), src.right,
                             src.top + static_cast<int32_t>(int64_t{b + 1} * height / bands)};
        CountWidePart(plan, band, acc);
      });
    }
    const int rows = plan.destHeight;
    RunOnWorkers(workers, [&](int i) {
      DivideWideRows(divide, acc, *out, static_cast<int>(int64_t{i} * rows / workers),
                     static_cast<int>(int64_t{i + 1} * rows / workers));
    });
  }
  std::free(acc);
  return out;
}
