// Shared parts of the CPU engines: the count plan (increments and, for views at 0 or 180
// degrees, which source columns and rows make each destination column and row), the count
// loops, and the divide.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "canvas/dib_bitmap.h"
#include "canvas/pixel_rect.h"
#include "reduce/linear_light.h"
#include "reduce/reduce.h"
#include "view/canvas_view.h"

// Source columns [x0, x1) (canvas x) that all land in destination column `column`.
struct ColumnRun {
  int32_t x0, x1;
  int32_t column;
};

// pairs[lo | hi << 8] = packed[lo] + packed[hi]: two source bytes per lookup.
struct PairTable {
  uint64_t packed[kDibColourCount];  // the increments it was built from
  uint64_t sums[65536];
};

// Longest run summed in one packed value: keeps a run sum's 7-bit count far from overflow
// whatever the scale.
inline constexpr int kMaxRunLength = 64;
inline constexpr int kMaxBlockRows = 32;

struct CountPlan {
  const DibBitmap* canvas = nullptr;
  ReduceStepping step{};
  int32_t destWidth = 0, destHeight = 0;
  uint64_t packed[kDibColourCount]{};
  uint64_t paperTimes[kPackedMaxCount + 1]{};  // k * packed[0xFF]: k bare-paper pixels
  // The pair table (separable plans only; shared between reductions of one palette).
  const uint64_t* pairs = nullptr;
  std::shared_ptr<const PairTable> pairStore;
  // Rotation 0 or 180 (integer steps colY == rowX == 0): the destination column depends on the
  // source column alone and the row on the source row alone. Then:
  bool separable = false;
  std::vector<ColumnRun> runs;      // in source x order; a column's runs are adjacent
  std::vector<int32_t> firstRun;    // per destination column: its runs [firstRun, endRun)
  std::vector<int32_t> endRun;      //   (equal when no source column reaches it)
  std::vector<int32_t> rowBegin;    // per destination row: its source rows [rowBegin, rowEnd)
  std::vector<int32_t> rowEnd;
  int blockRows = 1;                // source rows summed per run before a cell is updated
};

// Fills the plan for a source rectangle. Returns 0 when the source is empty or reaches no
// destination pixel, or the canvas is not an 8-bit bitmap of the view's canvas size.
int PrepareCountPlan(CountPlan& plan, const CanvasView& view, const DibBitmap& canvas, const PixelRect& source);

// Adds every source pixel of `part` (inside plan.step.source) into the accumulators
// (destWidth x destHeight, row-major, top-down), pixel by pixel along the 16.16 steps. Two
// parts may run at the same time only when they cannot reach the same destination pixel.
void CountPackedPart(const CountPlan& plan, const PixelRect& part, uint64_t* accumulators);
void CountWidePart(const CountPlan& plan, const PixelRect& part, WideAccumulator* accumulators);

// Separable plans: counts and divides the destination pixels of `tile` (destination
// coordinates, relative to the destination's top-left) straight into `out`, with no
// accumulator outside the tile's current row. Tiles own their destination pixels, so any
// number may run at the same time. wide: sum in wide accumulators (any count), else packed.
void ReduceSeparableTile(const CountPlan& plan, const DivideContext& divide, const PixelRect& tile, bool wide,
                         DibBitmap& out);

// Destination tiles of side `side` (at most 64) covering the destination.
std::vector<PixelRect> DestinationTiles(const CountPlan& plan, int side);

// Divides destination rows [rowBegin, rowEnd) into the 32-bit bitmap.
void DividePackedRows(const DivideContext& divide, const uint64_t* accumulators, DibBitmap& out, int rowBegin,
                      int rowEnd);
void DivideWideRows(const DivideContext& divide, const WideAccumulator* accumulators, DibBitmap& out,
                    int rowBegin, int rowEnd);

// The canvas pixels whose centres can reach `destination` (view space), limited to `limit`.
PixelRect SourceForDestination(const CanvasView& view, const PixelRect& destination, const PixelRect& limit);

// ReduceIntoImage with the grown source limited to `limit` instead of the canvas.
int ReduceIntoImageWithin(const CanvasView& view, const DibBitmap& canvas, const PixelRect& source,
                          const PixelRect& limit, uint32_t background, int threaded, ReduceEngine engine,
                          DibBitmap& target, int32_t targetLeft, int32_t targetTop);

// Large buffers the engines are about to fill in one go (destination pictures). A fresh
// allocation of tens of megabytes is otherwise faulted in 4 KiB page by page: about 2.5 us a
// page in a virtual machine, nearly half of a whole reduction at scale 2, and slower, not
// faster, when two threads fault at once. On Linux the range is marked for 2 MiB pages
// (transparent huge pages, "madvise" mode); elsewhere nothing happens. Call it before the
// memory is first touched; buffers under kLargePagesFrom bytes are left alone.
inline constexpr size_t kLargePagesFrom = size_t{8} << 20;
void PreferLargePages(void* data, size_t bytes);
// The bytes of a bitmap's pixels.
inline size_t BitmapBytes(const DibBitmap& b) {
  return static_cast<size_t>(b.stride) * static_cast<size_t>(DibHeight(b));
}

// f = (|sin| + |cos|) * scale of the view.
double ReductionFactor(const CanvasView& view);
