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

// Wide sums of turned views counted by crossings: red, green and blue l in 21-bit fields of
// one 64-bit value, for cells of at most kWideLanesMaxCount samples.
inline constexpr int kWideLaneBits = 21;
inline constexpr uint64_t kWideLaneMask = (uint64_t{1} << kWideLaneBits) - 1;
inline constexpr int kWideLanesMaxCount = 511;  // 511 * 4095 < 2^21

// pairs[lo | hi << 8] = packed[lo] + packed[hi]: two source bytes per lookup; the same for the
// 21-bit channels.
struct PairTable {
  uint64_t packed[kDibColourCount];  // the increments it was built from
  uint64_t sums[65536];
  uint64_t wide[kDibColourCount];    // red << 42 | green << 21 | blue
  uint64_t wideSums[65536];
};

// Longest run summed in one packed value: keeps a run sum's 7-bit count far from overflow
// whatever the scale.
inline constexpr int kMaxRunLength = 64;
inline constexpr int kMaxBlockRows = 32;

// Counts of bare-paper samples whose divided pixel a plan keeps (CountPlan::paperPixels).
inline constexpr int kPaperCounts = 1024;

struct CountPlan {
  const DibBitmap* canvas = nullptr;
  ReduceStepping step{};
  int32_t destWidth = 0, destHeight = 0;
  uint64_t packed[kDibColourCount]{};
  uint64_t paperTimes[kPackedMaxCount + 1]{};  // k * packed[0xFF]: k bare-paper pixels
  // The divided pixel of k bare-paper samples, k < paperCounts (StartReduction): a turned
  // view's paper cells hold many different counts, and each count is divided once here
  // instead of once per cell. paperWide: the paper's wide increment.
  int32_t paperCounts = 0;
  WideIncrement paperWide{};
  uint32_t paperPixels[kPaperCounts]{};
  // The pair table (shared between reductions of one palette).
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

// Fills the plan for a source rectangle. False when the source is empty or reaches no
// destination pixel, or the canvas is not an 8-bit bitmap of the view's canvas size.
[[nodiscard]] bool PrepareCountPlan(CountPlan& plan, const CanvasView& view, const DibBitmap& canvas,
                                    const PixelRect& source);

// The start every CPU engine shares: the plan, the divide (its paper pixels included) and the
// destination picture (NewReducedPicture). Null when there is nothing to reduce or the picture
// cannot be allocated (status code 41).
DibBitmap* StartReduction(CountPlan& plan, DivideContext& divide, const CanvasView& view, const DibBitmap& canvas,
                          const PixelRect& source, uint32_t background);

// Separable plans: counts and divides the destination pixels of `tile` (destination
// coordinates, relative to the destination's top-left) straight into `out`, with no
// accumulator outside the tile's current row. Tiles own their destination pixels, so any
// number may run at the same time. wide: sum in wide accumulators (any count), else packed.
void ReduceSeparableTile(const CountPlan& plan, const DivideContext& divide, const PixelRect& tile, bool wide,
                         DibBitmap& out);

// Destination tiles of side `side` (at most 64) covering the destination.
std::vector<PixelRect> DestinationTiles(const CountPlan& plan, int side);

// Other rotations: destination rows [rowBegin, rowEnd) (relative to the destination's top, at
// most kTurnedBandRows of them) counted and divided straight into `out`. Every source pixel
// whose destination lies in the band is found from the band (for each source row, the one
// stretch of columns that lands there), and summed into accumulator rows lent to the band
// and kept between reductions; so bands own their pixels, any number may run at the same time,
// and no accumulator exists for the whole destination. wide: wide accumulators, else packed.
// False when the accumulator rows cannot be allocated (status code 41; `out` is then partly
// written).
inline constexpr int kTurnedBandRows = 64;
[[nodiscard]] bool ReduceTurnedBand(const CountPlan& plan, const DivideContext& divide, int32_t rowBegin,
                                    int32_t rowEnd, bool wide, DibBitmap& out);

// Whether no destination pixel of a turned view (colY or rowX not 0) can get more than
// kPackedMaxCount samples, so packed sums serve even above f = 10: a source row puts at most
// one run into a cell (positions are monotone along it), a run has at most
// 65535 / max(|colX|, |colY|) + 1 pixels, and the rows are parallel lines |col x row| / |col|
// apart, so a cell, as wide across them as its projection on their normal, meets at most
// that width / spacing + 1 of them (one more against rounding). The wide engine's bands use
// it; the divide gives the same bytes from either kind of sum.
[[nodiscard]] bool PackedSumsFit(const ReduceStepping& step);

// The bound PackedSumsFit compares with kPackedMaxCount: the most samples a cell of a turned
// view can get (infinity for straight or degenerate steppings).
double MostSamplesPerCell(const ReduceStepping& step);

// The number of turned bands covering the destination, and band `index`'s rows.
int TurnedBandCount(const CountPlan& plan);
inline int32_t TurnedBandTop(int index) { return index * kTurnedBandRows; }

// The canvas pixels whose centres can reach `destination` (view space), limited to `limit`.
PixelRect SourceForDestination(const CanvasView& view, const PixelRect& destination, const PixelRect& limit);

// ReduceIntoImage with the grown source limited to `limit` instead of the canvas.
bool ReduceIntoImageWithin(const CanvasView& view, const DibBitmap& canvas, const PixelRect& source,
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

// The destination picture of a reduction: a 32-bit bitmap of width x height whose pixels the
// engine then writes, every one of them. It is the picture offered on this thread
// (ReusedPicture) when that has this size, so its memory is already mapped and faulted in;
// otherwise a new one, on large pages where offered. Null when it cannot be allocated (status
// code 41).
DibBitmap* NewReducedPicture(int32_t width, int32_t height);

// Offers `picture` (owned from now on; may be null) to the reductions this thread starts
// while the offer lives: the first NewReducedPicture of its size takes it. A recomposition
// that keeps the picture's size (palette change, layer toggle) so overwrites the old picture
// instead of allocating, zeroing and faulting a new one of tens of megabytes. A picture that is
// not 32-bit of `size` (the size the reduction will ask for) is freed at once, before the new
// one exists; one not taken is freed when the offer ends.
class ReusedPicture {
 public:
  ReusedPicture(DibBitmap* picture, const PixelRect& size);
  ~ReusedPicture();
  ReusedPicture(const ReusedPicture&) = delete;
  ReusedPicture& operator=(const ReusedPicture&) = delete;

 private:
  DibBitmap* previous_;  // the offer this one hides, restored at its end
};

// The bytes of a bitmap's pixels.
inline size_t BitmapBytes(const DibBitmap& b) {
  return static_cast<size_t>(b.stride) * static_cast<size_t>(DibHeight(b));
}

// f = (|sin| + |cos|) * scale of the view.
double ReductionFactor(const CanvasView& view);
