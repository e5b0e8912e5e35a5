// The thread-pool engine (packed 64-bit accumulators, reductions up to f = 10) and the
// strip-wise fallback for canvases over 40,000,000 pixels.
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <vector>

#include "canvas/status.h"
#include "reduce/reduce_internal.h"
#include "reduce/thread_pool.h"

namespace {

constexpr int kParallelMinSide = 128;     // destinations smaller than 128 x 128 stay on one thread
constexpr float kTileDestinationSide = 64.0f;  // a tile spans about 64 destination pixels
constexpr int kDivideBandsPerThread = 4;

struct CountBatch {
  const CountPlan* plan;
  uint64_t* accumulators;
  const std::vector<PixelRect>* tiles;
};

struct SeparableBatch {
  const CountPlan* plan;
  const DivideContext* divide;
  const std::vector<PixelRect>* tiles;
  DibBitmap* out;
};

void SeparableItem(void* context, int index) {
  const SeparableBatch& b = *static_cast<const SeparableBatch*>(context);
  ReduceSeparableTile(*b.plan, *b.divide, (*b.tiles)[index], false, *b.out);
}

struct DivideBatch {
  const DivideContext* divide;
  const uint64_t* accumulators;
  DibBitmap* out;
  int rows;
  int bands;
};

void CountTile(void* context, int index) {
  const CountBatch& b = *static_cast<const CountBatch*>(context);
  CountPackedPart(*b.plan, (*b.tiles)[index], b.accumulators);
}

void DivideBand(void* context, int index) {
  const DivideBatch& b = *static_cast<const DivideBatch*>(context);
  const int begin = static_cast<int>(int64_t{index} * b.rows / b.bands);
  const int end = static_cast<int>(int64_t{index + 1} * b.rows / b.bands);
  DividePackedRows(*b.divide, b.accumulators, *b.out, begin, end);
}

// Tile boundaries floor(i * t) from the source's start, i = 0..count (count even), clipped.
std::vector<int32_t> TileEdges(int32_t begin, int32_t end, float t) {
  const int32_t length = end - begin;
  int count = static_cast<int>(std::ceil(static_cast<double>(length) / t));
  count = std::max(count, 1);
  count += count & 1;  // even, so the four passes are balanced
  std::vector<int32_t> edges(static_cast<size_t>(count) + 1);
  for (int i = 0; i <= count; ++i) {
    const double at = std::floor(static_cast<double>(i) * t);
    edges[static_cast<size_t>(i)] = begin + static_cast<int32_t>(std::min<double>(at, length));
  }
  edges.back() = end;
  return edges;
}

}  // namespace

DibBitmap* ReducePool(const CanvasView& view, const DibBitmap& canvas, const PixelRect& source, uint32_t background,
                      int threaded) {
  // More than 127 samples could reach one destination pixel: the 7-bit count would overflow.
  if (ReductionFactor(view) > kWideReductionAbove) return ReduceWide(view, canvas, source, background, threaded);
  CountPlan plan;
  if (!PrepareCountPlan(plan, view, canvas, source)) return nullptr;
  DibBitmap* out = CreateDibBitmap(32, nullptr, 0, plan.destWidth, plan.destHeight);
  if (!out) return nullptr;
  PreferLargePages(out->bits, BitmapBytes(*out));
  const DivideContext divide = MakeDivideContext(background);
  const bool parallel = threaded && PoolThreadCount() > 1 && plan.destWidth >= kParallelMinSide &&
                        plan.destHeight >= kParallelMinSide;
  if (plan.separable) {
    // At 0 or 180 degrees each destination pixel's source pixels are known exactly, so tiles of
    // 64 x 64 destination pixels own their pixels: counted and divided in one go, all tiles in
    // one batch, and no accumulator for the whole destination.
    const std::vector<PixelRect> tiles = DestinationTiles(plan, static_cast<int>(kTileDestinationSide));
    SeparableBatch batch{&plan, &divide, &tiles, out};
    if (parallel) {
      RunPoolBatch(static_cast<int>(tiles.size()), SeparableItem, &batch);
    } else {
      for (int i = 0; i < static_cast<int>(tiles.size()); ++i) SeparableItem(&batch, i);
    }
    return out;
  }
  const size_t cells = static_cast<size_t>(plan.destWidth) * static_cast<size_t>(plan.destHeight);
  uint64_t* acc = static_cast<uint64_t*>(std::calloc(cells, sizeof(uint64_t)));  // the Init step
  if (!acc) {
    gStatusCode = kStatusBitmapAllocationFailed;
    FreeDibBitmap(out);
    return nullptr;
  }
  const PixelRect& src = plan.step.source;
  if (!parallel) {
    CountPackedPart(plan, src, acc);
    DividePackedRows(divide, acc, *out, 0, plan.destHeight);
  } else {
    // Tiles of side t canvas pixels span about 64 destination pixels. Tiles of one pass are a
    // whole tile apart (at least 64 * s / 1.42 canvas pixels), much more than the sqrt(2) * s
    // it takes for two canvas pixels to share a destination pixel.
    const float t = kTileDestinationSide /
                    (static_cast<float>(RotationSpan(view.rotation)) * (1.0f / view.scale));
    const std::vector<int32_t> xs = TileEdges(src.left, src.right, t);
    const std::vector<int32_t> ys = TileEdges(src.top, src.bottom, t);
    std::vector<PixelRect> tiles;
    tiles.reserve(xs.size() * ys.size() / 4 + 1);
    for (int pass = 0; pass < 4; ++pass) {
      tiles.clear();
      for (size_t j = static_cast<size_t>(pass / 2); j + 1 < ys.size(); j += 2) {
        for (size_t i = static_cast<size_t>(pass % 2); i + 1 < xs.size(); i += 2) {
          const PixelRect tile{xs[i], ys[j], xs[i + 1], ys[j + 1]};
          if (!IsRectEmpty(tile)) tiles.push_back(tile);
        }
      }
      CountBatch batch{&plan, acc, &tiles};
      RunPoolBatch(static_cast<int>(tiles.size()), CountTile, &batch);
    }
    const int bands = std::min(plan.destHeight, PoolThreadCount() * kDivideBandsPerThread);
    DivideBatch batch{&divide, acc, out, plan.destHeight, bands};
    RunPoolBatch(bands, DivideBand, &batch);
  }
  std::free(acc);
  return out;
}

DibBitmap* ReduceStrips(const CanvasView& view, const DibBitmap& canvas, const PixelRect& source,
                        uint32_t background, int threaded) {
  ReduceStepping step;
  if (!ComputeReduceStepping(view, source, step)) return nullptr;
  const PixelRect& src = step.source;
  const PixelRect& dest = step.destination;
  DibBitmap* out = CreateDibBitmap(32, nullptr, 0, dest.right - dest.left, dest.bottom - dest.top);
  if (!out) return nullptr;
  PreferLargePages(out->bits, BitmapBytes(*out));
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
