// The thread-pool engine (packed 64-bit accumulators, reductions up to f = 10) and the
// strip-wise fallback for canvases over 40,000,000 pixels.
#include <algorithm>
#include <atomic>
#include <vector>

#include "canvas/status.h"
#include "reduce/reduce_internal.h"
#include "reduce/thread_pool.h"

namespace {

constexpr int kParallelMinSide = 128;     // destinations smaller than 128 x 128 stay on one thread
constexpr int kTileSide = 64;             // destination pixels

// One batch of a reduction: every item owns its destination pixels (a tile at 0 or 180
// degrees, a band of rows otherwise), counts and divides them, and writes them into `out`.
struct ReductionBatch {
  const CountPlan* plan;
  const DivideContext* divide;
  const std::vector<PixelRect>* tiles;  // separable plans
  DibBitmap* out;
  std::atomic<bool> failed{false};
};

void ReductionItem(void* context, int index) {
  ReductionBatch& b = *static_cast<ReductionBatch*>(context);
  if (b.plan->separable) {
    ReduceSeparableTile(*b.plan, *b.divide, (*b.tiles)[static_cast<size_t>(index)], false, *b.out);
    return;
  }
  const int32_t top = TurnedBandTop(index);
  const int32_t bottom = std::min(top + kTurnedBandRows, b.plan->destHeight);
  if (!ReduceTurnedBand(*b.plan, *b.divide, top, bottom, false, *b.out)) b.failed = true;
}

}  // namespace

DibBitmap* ReducePool(const CanvasView& view, const DibBitmap& canvas, const PixelRect& source, uint32_t background,
                      int threaded) {
  // More than 127 samples could reach one destination pixel: the 7-bit count would overflow.
  if (ReductionFactor(view) > kWideReductionAbove) return ReduceWide(view, canvas, source, background, threaded);
  CountPlan plan;
  DivideContext divide{};
  DibBitmap* out = StartReduction(plan, divide, view, canvas, source, background);
  if (!out) return nullptr;
  const bool parallel = threaded && PoolThreadCount() > 1 && plan.destWidth >= kParallelMinSide &&
                        plan.destHeight >= kParallelMinSide;
  // At 0 or 180 degrees each destination pixel's source pixels are known exactly, so tiles of
  // 64 x 64 destination pixels own their pixels; at other rotations bands of 64 destination
  // rows do. Either way: counted and divided in one go, all items in one batch, and no
  // accumulator for the whole destination.
  std::vector<PixelRect> tiles;
  if (plan.separable) tiles = DestinationTiles(plan, kTileSide);
  const int items = plan.separable ? static_cast<int>(tiles.size()) : TurnedBandCount(plan);
  ReductionBatch batch{&plan, &divide, &tiles, out};
  if (parallel) {
    RunPoolBatch(items, ReductionItem, &batch);
  } else {
    for (int i = 0; i < items; ++i) ReductionItem(&batch, i);
  }
  if (batch.failed) {
    FreeDibBitmap(out);
    return nullptr;
  }
  return out;
}

DibBitmap* ReduceStrips(const CanvasView& view, const DibBitmap& canvas, const PixelRect& source,
                        uint32_t background, int threaded) {
  ReduceStepping step;
  if (!ComputeReduceStepping(view, source, step)) return nullptr;
  const PixelRect& src = step.source;
  const PixelRect& dest = step.destination;
  DibBitmap* out = NewReducedPicture(dest.right - dest.left, dest.bottom - dest.top);
  if (!out) return nullptr;
  // Pixels no band reaches (corners of a rotated box) keep the background.
  const uint32_t fill = background & 0xFFFFFF;
  for (int y = 0; y < DibHeight(*out); ++y) {
    uint32_t* row = reinterpret_cast<uint32_t*>(DibRow(*out, y));
    std::fill(row, row + DibWidth(*out), fill);
  }
  // Four bands of source rows; each band completes the destination pixels it reaches, taking
  // the neighbouring rows it needs from within the source, so only a quarter of the
  // accumulators exist at a time.
  const int32_t height = src.bottom - src.top;
  for (int k = 0; k < 4; ++k) {
    const PixelRect band{src.left, src.top + k * height / 4, src.right, src.top + (k + 1) * height / 4};
    if (IsRectEmpty(band)) continue;
    ReduceIntoImageWithin(view, canvas, band, src, background, threaded, ReducePool, *out, dest.left, dest.top);
  }
  return out;
}
