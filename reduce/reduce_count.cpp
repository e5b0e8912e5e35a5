// The count and divide loops of the CPU engines.
#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <mutex>
#include <type_traits>

#include "canvas/status.h"
#include "reduce/reduce_internal.h"
#include "view/view_mapping.h"

namespace {

constexpr uint64_t kAllPaper = ~uint64_t{0};
constexpr int kTileCells = 64;  // widest destination tile
// Turned views whose runs of pixels in one cell average fewer pixels (65536 / (|colX| + |colY|))
// add pixel by pixel without summing runs first: measured faster at scales 2 and 4.
constexpr int64_t kShortRunsBelow = 4;

// Accumulators: one run sum (packed, at most kPackedMaxCount samples) added to one cell.
struct PackedCells {
  using Cell = uint64_t;
  static void Add(Cell& cell, uint64_t sum) { cell += sum; }
  static uint32_t Divide(const DivideContext& d, const Cell& cell) { return DividePacked(d, cell); }
  static bool Same(const Cell& a, const Cell& b) { return a == b; }
  // Bare paper only (every count fits the table): its pixel from the plan.
  static bool Paper(const CountPlan& plan, const Cell& cell, uint32_t* pixel) {
    const uint64_t n = cell & kPackedCountMask;
    *pixel = plan.paperPixels[n];
    return cell == plan.paperTimes[n];
  }
};
struct WideCells {
  using Cell = WideAccumulator;
  static void Add(Cell& cell, uint64_t sum) {
    cell.red += static_cast<uint32_t>(sum >> kPackedRedShift);
    cell.green += static_cast<uint32_t>((sum >> kPackedGreenShift) & kPackedFieldMask);
    cell.blue += static_cast<uint32_t>((sum >> kPackedBlueShift) & kPackedFieldMask);
    cell.count += static_cast<uint32_t>(sum & kPackedCountMask);
  }
  static uint32_t Divide(const DivideContext& d, const Cell& cell) { return DivideWide(d, cell); }
  static bool Same(const Cell& a, const Cell& b) {
    return a.red == b.red && a.green == b.green && a.blue == b.blue && a.count == b.count;
  }
  static bool Paper(const CountPlan& plan, const Cell& cell, uint32_t* pixel) {
    const uint32_t n = cell.count;
    if (n >= static_cast<uint32_t>(plan.paperCounts)) return false;
    *pixel = plan.paperPixels[n];
    const WideIncrement& p = plan.paperWide;
    return cell.red == n * p.red && cell.green == n * p.green && cell.blue == n * p.blue;
  }
};

// Packed sum of row[x0..x1) (at most kMaxRunLength pixels): eight pixels per 64-bit load
// through the pair table, a word of bare paper in one addition.
inline uint64_t SumRun(const CountPlan& plan, const uint8_t* row, int32_t x0, int32_t x1) {
  const uint64_t* pairs = plan.pairs;
  uint64_t sum = 0;
  int32_t x = x0;
  for (; x + 8 <= x1; x += 8) {
    uint64_t w;
    std::memcpy(&w, row + x, 8);
    sum += w == kAllPaper ? plan.paperTimes[8]
                          : pairs[w & 0xFFFF] + pairs[(w >> 16) & 0xFFFF] + pairs[(w >> 32) & 0xFFFF] +
                                pairs[w >> 48];
  }
  if (x + 4 <= x1) {
    uint32_t w;
    std::memcpy(&w, row + x, 4);
    sum += w == 0xFFFFFFFFu ? plan.paperTimes[4] : pairs[w & 0xFFFF] + pairs[w >> 16];
    x += 4;
  }
  if (x + 2 <= x1) {
    sum += pairs[row[x] | (row[x + 1] << 8)];
    x += 2;
  }
  if (x < x1) sum += plan.packed[row[x]];
  return sum;
}

// Turned views (reduce_internal.h, ReduceTurnedBand). Positions are the exact 16.16 values of
// the stepping; `py` is taken relative to the band's top row, so a cell's index in the band's
// accumulator rows is (py >> 16) * pitch + (px >> 16), rows `pitch` cells apart.
//
// Runs of pixels sharing a cell are short at small scales (1.5 pixels on average at scale 2
// and 30 degrees, 3 at scale 4) and end where no branch can predict; stepping from one cell
// boundary to the next instead of pixel by pixel was measured slower at every scale.

// How a band adds its source rows' pixels (CountTurnedRow).
enum class TurnedAdd {
  kPixels,       // every pixel to its cell as it comes, no branch
  kIndexed,      // the same in chunks whose cell indices are worked out first (AddIndexedPixels)
  kRuns,         // consecutive pixels of one cell summed first
  kCheckedRuns,  // the same, runs cut at kMaxRunLength pixels
};

// Destinations narrower than this take TurnedAdd::kIndexed for short runs: a stretch's
// positions then fit 32-bit lanes (px < width * 65536 < 2^31, py < kTurnedBandRows * 65536).
constexpr int64_t kIndexedWidthBelow = 32768;
constexpr int kIndexChunk = 256;  // pixels whose cell indices are worked out at once

// TurnedAdd::kIndexed for one source row's pixels [first, end) into packed cells whose rows
// lie 1 << shift cells apart. A chunk's indices come first, two shifts and an addition a pixel
// on 32-bit positions that the compiler steps four or eight at a time in vector registers;
// then the pixels are added with only loads in between, four to an iteration. Counting the
// same pixels in the same cells, this does about half the instructions of kPixels (the
// measured gain at scales 2 and 4 is a sixth to a fifth of the whole reduction).
void AddIndexedPixels(const CountPlan& plan, const uint8_t* row, int64_t first, int64_t end, int64_t px, int64_t py,
                      uint64_t* cells, int shift) {
  const int32_t colX = plan.step.colX, colY = plan.step.colY;
  int32_t index[kIndexChunk];
  for (int64_t k0 = first; k0 < end; k0 += kIndexChunk) {
    const int32_t count = static_cast<int32_t>(std::min<int64_t>(kIndexChunk, end - k0));
    int32_t x = static_cast<int32_t>(px + (k0 - first) * colX);
    int32_t y = static_cast<int32_t>(py + (k0 - first) * colY);
    for (int32_t k = 0; k < count; ++k, x += colX, y += colY) index[k] = ((y >> 16) << shift) + (x >> 16);
    const uint8_t* pixels = row + k0;
    int32_t k = 0;
    for (; k + 4 <= count; k += 4) {
      cells[index[k]] += plan.packed[pixels[k]];
      cells[index[k + 1]] += plan.packed[pixels[k + 1]];
      cells[index[k + 2]] += plan.packed[pixels[k + 2]];
      cells[index[k + 3]] += plan.packed[pixels[k + 3]];
    }
    for (; k < count; ++k) cells[index[k]] += plan.packed[pixels[k]];
  }
}

// One source row's pixels [first, end) (all inside the band and the destination; pixel
// `first` at 16.16 position (px, py)), added as `How` says; a packed run sum holds at most
// kMaxRunLength pixels so it cannot overflow.
template <typename Cells, TurnedAdd How>
void CountTurnedRow(const CountPlan& plan, const uint8_t* row, int64_t first, int64_t end, int64_t px, int64_t py,
                    typename Cells::Cell* cells, int64_t pitch) {
  const ReduceStepping& s = plan.step;
  if constexpr (How == TurnedAdd::kIndexed) {
    static_assert(std::is_same_v<Cells, PackedCells>);
    AddIndexedPixels(plan, row, first, end, px, py, cells, std::countr_zero(static_cast<uint64_t>(pitch)));
    return;
  } else if constexpr (How == TurnedAdd::kPixels) {
    for (int64_t k = first; k < end; ++k, px += s.colX, py += s.colY)
      Cells::Add(cells[(py >> 16) * pitch + (px >> 16)], plan.packed[row[k]]);
    return;
  }
  constexpr bool Checked = How == TurnedAdd::kCheckedRuns;
  const int64_t width = pitch;
  int64_t current = (py >> 16) * width + (px >> 16);
  uint64_t sum = 0;
  int length = 0;
  for (int64_t k = first; k < end; ++k, px += s.colX, py += s.colY) {
    const int64_t index = (py >> 16) * width + (px >> 16);
    if (index != current || (Checked && length == kMaxRunLength)) {
      Cells::Add(cells[current], sum);
      current = index;
      sum = 0;
      length = 0;
    }
    sum += plan.packed[row[k]];
    if constexpr (Checked) ++length;
  }
  Cells::Add(cells[current], sum);
}

// The source rows (offsets from the source's top, [*first, *end)) that can reach destination
// rows [rowBegin, rowEnd): a row's positions span py = base + [low, high] across its pixels,
// base = startY + dy * rowY, and must meet the band. Rows let in that reach nothing cost one
// StepsInside each.
void RowsReachingBand(const CountPlan& plan, int32_t rowBegin, int32_t rowEnd, int64_t* first, int64_t* end) {
  const ReduceStepping& s = plan.step;
  const int64_t across = int64_t{s.source.right - s.source.left - 1} * s.colY;
  const int64_t low = std::min<int64_t>(0, across), high = std::max<int64_t>(0, across);
  const int64_t rows = s.source.bottom - s.source.top;
  constexpr int64_t kUnbounded = int64_t{1} << 60;
  // base + high >= rowBegin * 65536 and base + low < rowEnd * 65536, as 0 <= p + dy * d.
  int64_t firstA, endA, firstB, endB;
  StepsInside(s.startY + high - (int64_t{rowBegin} << 16), s.rowY, kUnbounded, rows, &firstA, &endA);
  StepsInside((int64_t{rowEnd} << 16) - 1 - s.startY - low, -int64_t{s.rowY}, kUnbounded, rows, &firstB, &endB);
  *first = std::max(firstA, firstB);
  *end = std::min(endA, endB);
}

// Every source pixel landing in destination rows [rowBegin, rowEnd) into the band's cells.
// A band reads a short stretch of each of thousands of canvas rows, a pattern the processor's
// own prefetching does not follow: each stretch is located and its cache lines fetched
// kRowsAhead rows before it is counted.
template <typename Cells, TurnedAdd How>
void CountTurnedBand(const CountPlan& plan, int32_t rowBegin, int32_t rowEnd, typename Cells::Cell* cells,
                     int64_t pitch) {
  const ReduceStepping& s = plan.step;
  const int64_t limitX = int64_t{plan.destWidth} << 16, limitY = int64_t{rowEnd - rowBegin} << 16;
  const int64_t n = s.source.right - s.source.left;
  struct Stretch {
    const uint8_t* row = nullptr;
    int64_t first = 0, end = 0, px = 0, py = 0;  // pixels [first, end); pixel first at (px, py)
  };
  constexpr int kRowsAhead = 4;
  Stretch ahead[kRowsAhead];
  int64_t firstRow, endRow;
  RowsReachingBand(plan, rowBegin, rowEnd, &firstRow, &endRow);
  for (int64_t dy = firstRow; dy < endRow + kRowsAhead; ++dy) {
    Stretch& slot = ahead[dy % kRowsAhead];  // row dy - kRowsAhead's stretch, then row dy's
    if (slot.first < slot.end)
      CountTurnedRow<Cells, How>(plan, slot.row, slot.first, slot.end, slot.px, slot.py, cells, pitch);
    slot = Stretch{};
    if (dy >= endRow) continue;
    const int64_t px = s.startX + dy * s.rowX;
    const int64_t py = s.startY + dy * s.rowY - (int64_t{rowBegin} << 16);
    int64_t firstX, endX, firstY, endY;
    StepsInside(px, s.colX, limitX, n, &firstX, &endX);
    StepsInside(py, s.colY, limitY, n, &firstY, &endY);
    const int64_t first = std::max(firstX, firstY), end = std::min(endX, endY);
    if (first >= end) continue;
    slot = {DibRow(*plan.canvas, static_cast<int>(s.source.top + dy)) + s.source.left, first, end,
            px + first * s.colX, py + first * s.colY};
    for (int64_t k = first; k < end; k += 64) __builtin_prefetch(slot.row + k);
    __builtin_prefetch(slot.row + end - 1);
  }
}

// Divides a row of cells into 32-bit pixels; runs of equal cells (bare paper, flat colour)
// are divided once, and cells of bare paper not at all (the plan's paper pixels).
template <typename Cells>
void DivideCells(const CountPlan& plan, const DivideContext& divide, const typename Cells::Cell* cells, int count,
                 uint32_t* pixels) {
  if (count <= 0) return;
  typename Cells::Cell last = cells[0];
  uint32_t lastPixel = Cells::Divide(divide, last);
  pixels[0] = lastPixel;
  for (int x = 1; x < count; ++x) {
    if (!Cells::Same(cells[x], last)) {
      last = cells[x];
      if (!Cells::Paper(plan, last, &lastPixel)) lastPixel = Cells::Divide(divide, last);
    }
    pixels[x] = lastPixel;
  }
}

// Packed sum of a block's pixels in columns [x, x + L) of its rows (L = 2, 4, 8 or 16; N rows,
// or `count` when N is 0): the rows' words are ANDed first, so a block of bare paper costs one
// load per row.
template <int L, int N>
inline uint64_t SumBlock(const CountPlan& plan, const uint8_t* const* rows, int count, int32_t x) {
  if constexpr (N != 0) count = N;
  const uint64_t* pairs = plan.pairs;
  if constexpr (L == 16) {
    uint64_t common = kAllPaper;
    for (int k = 0; k < count; ++k) {
      uint64_t a, b;
      std::memcpy(&a, rows[k] + x, 8);
      std::memcpy(&b, rows[k] + x + 8, 8);
      common &= a & b;
    }
    if (common == kAllPaper) return plan.paperTimes[16 * count];
    return SumBlock<8, N>(plan, rows, count, x) + SumBlock<8, N>(plan, rows, count, x + 8);
  } else {
    using Word = std::conditional_t<L == 8, uint64_t, std::conditional_t<L == 4, uint32_t, uint16_t>>;
    constexpr Word kPaper = static_cast<Word>(~Word{0});
    Word words[kMaxBlockRows];
    Word common = kPaper;
    for (int k = 0; k < count; ++k) {
      std::memcpy(&words[k], rows[k] + x, sizeof(Word));
      common &= words[k];
    }
    if (common == kPaper) return plan.paperTimes[L * count];
    uint64_t sum = 0;
    for (int k = 0; k < count; ++k) {
      const uint64_t w = words[k];
      sum += pairs[w & 0xFFFF];
      if constexpr (L >= 4) sum += pairs[(w >> 16) & 0xFFFF];
      if constexpr (L == 8) sum += pairs[(w >> 32) & 0xFFFF] + pairs[w >> 48];
    }
    return sum;
  }
}

// One block's runs [begin, end) into the tile's cells. L: the length of every run (0: any);
// N: the block's row count (0: `count`). Invariant: a run's block sum holds at most
// kPackedMaxCount samples (plan.blockRows), and its column lies inside the tile.
template <typename Cells, int L, int N>
void AddBlockRuns(const CountPlan& plan, const uint8_t* const* rows, int count, int32_t begin, int32_t end,
                  typename Cells::Cell* cells, int32_t tileLeft) {
  for (int32_t i = begin; i < end; ++i) {
    const ColumnRun& run = plan.runs[i];
    uint64_t sum;
    if constexpr (L != 0) {
      sum = SumBlock<L, N>(plan, rows, count, run.x0);
    } else {
      sum = 0;
      for (int k = 0; k < count; ++k) sum += SumRun(plan, rows[k], run.x0, run.x1);
    }
    Cells::Add(cells[run.column - tileLeft], sum);
  }
}

template <typename Cells>
using BlockRunsFunction = void (*)(const CountPlan&, const uint8_t* const*, int, int32_t, int32_t,
                                   typename Cells::Cell*, int32_t);

// The loop for a block: specialised for the runs of the preset zooms (1/2, 1/4, 1/8, 1/16 at 0
// or 180 degrees: runs and blocks of 2, 4, 8 or 16).
template <typename Cells>
BlockRunsFunction<Cells> BlockRunsFor(int length, int count) {
  switch (length) {
    case 2: return count == 2 ? AddBlockRuns<Cells, 2, 2> : AddBlockRuns<Cells, 2, 0>;
    case 4: return count == 4 ? AddBlockRuns<Cells, 4, 4> : AddBlockRuns<Cells, 4, 0>;
    case 8: return count == 8 ? AddBlockRuns<Cells, 8, 8> : AddBlockRuns<Cells, 8, 0>;
    case 16: return AddBlockRuns<Cells, 16, 0>;
    default: return AddBlockRuns<Cells, 0, 0>;
  }
}

template <typename Cells>
void SeparableTile(const CountPlan& plan, const DivideContext& divide, const PixelRect& tile, DibBitmap& out) {
  using Cell = typename Cells::Cell;
  // The tile's runs: the runs of consecutive columns are adjacent in plan.runs.
  int32_t runBegin = INT32_MAX, runEnd = INT32_MIN;
  for (int32_t c = tile.left; c < tile.right; ++c) {
    if (plan.firstRun[c] == plan.endRun[c]) continue;
    runBegin = std::min(runBegin, plan.firstRun[c]);
    runEnd = std::max(runEnd, plan.endRun[c]);
  }
  // One length for the runs between the tile's first and last (the canvas's edge columns
  // often make shorter runs), or 0; [innerBegin, innerEnd) are the runs of that length.
  int32_t innerBegin = runBegin, innerEnd = runEnd;
  if (runEnd - runBegin > 2) {
    ++innerBegin;
    --innerEnd;
  }
  int length = innerBegin < innerEnd ? plan.runs[innerBegin].x1 - plan.runs[innerBegin].x0 : 0;
  for (int32_t i = innerBegin; i < innerEnd && length != 0; ++i)
    if (plan.runs[i].x1 - plan.runs[i].x0 != length) length = 0;
  if (length == 0) {
    innerBegin = runBegin;
    innerEnd = runEnd;
  }
  const int width = tile.right - tile.left;
  Cell cells[kTileCells];
  const uint8_t* rows[kMaxBlockRows];
  for (int32_t r = tile.top; r < tile.bottom; ++r) {
    std::fill(cells, cells + width, Cell{});
    for (int32_t y = plan.rowBegin[r]; y < plan.rowEnd[r] && runBegin < runEnd;) {
      // A block of at most plan.blockRows source rows of this destination row.
      int count = 0;
      for (; count < plan.blockRows && y < plan.rowEnd[r]; ++count, ++y) rows[count] = DibRow(*plan.canvas, y);
      if (runBegin < innerBegin) AddBlockRuns<Cells, 0, 0>(plan, rows, count, runBegin, innerBegin, cells, tile.left);
      BlockRunsFor<Cells>(length, count)(plan, rows, count, innerBegin, innerEnd, cells, tile.left);
      if (innerEnd < runEnd) AddBlockRuns<Cells, 0, 0>(plan, rows, count, innerEnd, runEnd, cells, tile.left);
    }
    uint32_t* pixels = reinterpret_cast<uint32_t*>(DibRow(out, r)) + tile.left;
    DivideCells<Cells>(plan, divide, cells, width, pixels);
  }
}

// Accumulator rows for turned bands, lent out and kept between reductions: a band's rows are
// then neither allocated nor faulted in again, whichever thread (the pool's, the wide
// engine's own, the caller) counts the band. At most one block per thread at work is kept.
class BandRows {
 public:
  explicit BandRows(size_t bytes) {
    {
      std::lock_guard<std::mutex> guard(Lock());
      std::vector<Block>& kept = Kept();
      if (!kept.empty()) {
        block_ = kept.back();
        kept.pop_back();
      }
    }
    if (block_.bytes < bytes) {
      std::free(block_.data);
      block_.data = std::malloc(bytes);
      block_.bytes = block_.data ? bytes : 0;
      PreferLargePages(block_.data, block_.bytes);
    }
  }
  ~BandRows() {
    if (!block_.data) return;
    std::lock_guard<std::mutex> guard(Lock());
    Kept().push_back(block_);
  }
  BandRows(const BandRows&) = delete;
  BandRows& operator=(const BandRows&) = delete;
  void* data() const { return block_.data; }

 private:
  struct Block {
    void* data = nullptr;
    size_t bytes = 0;
  };
  static std::mutex& Lock() {
    static std::mutex lock;
    return lock;
  }
  // Never destroyed: worker threads may still return blocks while the process exits.
  static std::vector<Block>& Kept() {
    static auto* kept = new std::vector<Block>();
    return *kept;
  }
  Block block_;
};

// The columns [*left, *right) of destination row r that canvas pixels can reach: the row's
// strip cut from the parallelogram spanned by the source pixels' positions (in double
// precision; one column of margin each side covers its rounding, which is far below one).
void ReachedColumns(const CountPlan& plan, int32_t r, int32_t* left, int32_t* right) {
  const ReduceStepping& s = plan.step;
  const double across = s.source.right - s.source.left - 1, down = s.source.bottom - s.source.top - 1;
  const double x0 = s.startX, y0 = s.startY;
  const double ux = across * s.colX, uy = across * s.colY, vx = down * s.rowX, vy = down * s.rowY;
  const double xs[4] = {x0, x0 + ux, x0 + ux + vx, x0 + vx};
  const double ys[4] = {y0, y0 + uy, y0 + uy + vy, y0 + vy};
  const double top = 65536.0 * r, bottom = 65536.0 * (r + 1);
  double lo = std::numeric_limits<double>::max(), hi = std::numeric_limits<double>::lowest();
  for (int i = 0; i < 4; ++i) {
    const int j = (i + 1) % 4;
    if (ys[i] >= top && ys[i] <= bottom) {
      lo = std::min(lo, xs[i]);
      hi = std::max(hi, xs[i]);
    }
    for (const double line : {top, bottom}) {
      if ((ys[i] - line) * (ys[j] - line) >= 0) continue;  // the edge does not cross the line
      const double x = xs[i] + (line - ys[i]) * (xs[j] - xs[i]) / (ys[j] - ys[i]);
      lo = std::min(lo, x);
      hi = std::max(hi, x);
    }
  }
  if (lo > hi) {
    *left = *right = 0;
    return;
  }
  const double width = plan.destWidth;
  *left = static_cast<int32_t>(std::clamp(std::floor(lo / 65536.0) - 1.0, 0.0, width));
  *right = static_cast<int32_t>(std::clamp(std::floor(hi / 65536.0) + 2.0, 0.0, width));
  if (*right < *left) *right = *left;
}


// Turned views at stronger reductions: counting by cell crossings. A source row's stretch
// visits a staircase of cells; a cell's sum is P(exit) - P(entry), where P(k) is the sum of the
// stretch's pixels before pixel k. So each crossing at pixel e adds P(e) to the cell it leaves
// and takes it from the cell it enters, and the stretch's end adds P(end) to its last cell.
// The crossings of cell columns (x) and of cell rows (y) come each in their own loop, stepped
// exactly from boundary to boundary with no branch, and each is kept in one entry of its own
// array (X: the cell entered across a column boundary, Y: across a row boundary); the cells are
// put together when the band is divided:
//   cell c = C[c] - X[c] + X[c + sx] - Y[c] + Y[c + sy * pitch]
// (sx, sy: the signs of colX and colY, the way the stretch walks). Where a crossing meets a
// column and a row boundary at the same pixel, the column one is taken first: it enters the
// cell (x(e), y(e - 1)), which the row crossing leaves again, so that cell keeps nothing.
// P comes from sums of pixel pairs (a word of bare paper in a few additions), so a pixel costs
// a fraction of a lookup and a crossing a few operations: at reductions of 4 and more the
// crossings are far fewer than the pixels. Sums wrap: only the cells' final sums must fit
// their fields.

// Packed sums: the packed increments, 19-bit channels and the count (at most 127 samples).
struct PackedLanes {
  using Sum = uint64_t;
  using Cells = PackedCells;
  static constexpr bool kWide = false;
  static Sum Make(uint64_t channels, int64_t) { return channels; }
  static uint64_t ToCell(Sum s) { return s; }
};

// Wide sums: red, green and blue in 21-bit fields of one value (kWideLanesMaxCount samples at
// most), the count beside them, which is the number of pixels and so comes from positions.
struct ChannelsAndCount {
  uint64_t channels = 0, count = 0;
  ChannelsAndCount& operator+=(const ChannelsAndCount& o) {
    channels += o.channels;
    count += o.count;
    return *this;
  }
  friend ChannelsAndCount operator+(ChannelsAndCount a, const ChannelsAndCount& b) { return a += b; }
  friend ChannelsAndCount operator-(ChannelsAndCount a, const ChannelsAndCount& b) {
    return {a.channels - b.channels, a.count - b.count};
  }
};
struct WideLanes {
  using Sum = ChannelsAndCount;
  using Cells = WideCells;
  static constexpr bool kWide = true;
  static Sum Make(uint64_t channels, int64_t count) { return {channels, static_cast<uint64_t>(count)}; }
  static WideAccumulator ToCell(const Sum& s) {
    return {static_cast<uint32_t>(s.channels >> (2 * kWideLaneBits)),
            static_cast<uint32_t>((s.channels >> kWideLaneBits) & kWideLaneMask),
            static_cast<uint32_t>(s.channels & kWideLaneMask), static_cast<uint32_t>(s.count)};
  }
};

// The crossings of one stretch's pixels [first, end) along one axis, v = v0 + e * d the
// position on it (|d| < 65536, so each crossing is one boundary further), w = w0 + e * dw the
// other axis's: for every pixel e in (first, end) whose cell on the axis differs from pixel
// e - 1's, in order, target[(w >> 16) * across] += P(e), target having moved by `along` first.
// Stepped exactly: e = ceil(n / |d|) for the boundaries' distances n, n + 65536, ..., the
// remainder carried. P(e) = p2[i >> 1] + one[before[i]] when i = e - first is odd, with
// before = the pixels from first - 1. Its own function, so its few values stay in registers.
template <typename Lanes>
#if defined(__GNUC__)
__attribute__((noinline))
#endif
void AddCrossings(int64_t v0, int64_t d, int64_t first, int64_t end, int64_t w0, int64_t dw,
                  typename Lanes::Sum* target, int64_t along, int64_t across, const uint64_t* p2,
                  const uint8_t* before, const uint64_t* one) {
  if (d == 0) return;
  const int64_t a = d > 0 ? d : -d;
  const int64_t c0 = (v0 + first * d) >> 16;
  const int64_t n = d > 0 ? (c0 + 1) * 65536 - v0 : v0 - c0 * 65536 + 1;  // > first * a
  const int64_t e0 = (n + a - 1) / a;
  int64_t rem = e0 * a - n;  // [0, a)
  int64_t w = w0 + e0 * dw;
  int64_t i = e0 - first;
  const int64_t last = end - first;
  const int64_t q = 65536 / a, r = 65536 % a, wq = q * dw;
  while (i < last) {
    target += along;
    const uint64_t odd = 0 - static_cast<uint64_t>(i & 1);
    target[(w >> 16) * across] += Lanes::Make(p2[i >> 1] + (one[before[i]] & odd), i);
    const int64_t t = rem - r;
    const int64_t borrow = t >> 63;  // -1 when the next boundary is one pixel further
    i += q - borrow;
    w += wq + (borrow & dw);
    rem = t + (borrow & a);
  }
}

// Whether a turned view counts by crossings: cells at least this many pixels long along a row
// on average.
constexpr int64_t kCrossingRunsFrom = 3;

bool CountsByCrossings(const ReduceStepping& s) {
  const int64_t colX = std::abs(int64_t{s.colX}), colY = std::abs(int64_t{s.colY});
  return (colX + colY) * kCrossingRunsFrom <= 65536;
}

template <typename Lanes>
size_t CrossingScratchBytes(const CountPlan& plan, int32_t rows) {
  const size_t entries = static_cast<size_t>(rows) * static_cast<size_t>(plan.destWidth + 2);
  const size_t prefixes = static_cast<size_t>((plan.step.source.right - plan.step.source.left) / 2 + 2);
  return 3 * entries * sizeof(typename Lanes::Sum) + prefixes * sizeof(uint64_t);
}

// Counts destination rows [rowBegin, rowEnd) into `cells` (the band's rows, `reached` their
// reached columns, every one of which is written) with `scratch` of CrossingScratchBytes.
template <typename Lanes>
void CountTurnedBandByCrossings(const CountPlan& plan, int32_t rowBegin, int32_t rowEnd,
                                const int32_t (*reached)[2], void* scratch, typename Lanes::Cells::Cell* cells) {
  using Sum = typename Lanes::Sum;
  const ReduceStepping& s = plan.step;
  const uint64_t* one = Lanes::kWide ? plan.pairStore->wide : plan.packed;
  const uint64_t* pairs = Lanes::kWide ? plan.pairStore->wideSums : plan.pairs;
  const int64_t width = plan.destWidth, pitch = width + 2;  // a column of margin each side
  const int32_t rows = rowEnd - rowBegin;
  const int64_t n = s.source.right - s.source.left;
  const size_t entries = static_cast<size_t>(rows) * static_cast<size_t>(pitch);
  Sum* c = static_cast<Sum*>(scratch);
  Sum* x = c + entries;
  Sum* y = x + entries;
  uint64_t* p2 = reinterpret_cast<uint64_t*>(y + entries);
  // Cleared: each row's reached columns and its neighbours', one column more each side.
  for (int32_t r = 0; r < rows; ++r) {
    int32_t lo = INT32_MAX, hi = INT32_MIN;
    for (int32_t k = std::max(0, r - 1); k <= std::min(rows - 1, r + 1); ++k) {
      if (reached[k][0] >= reached[k][1]) continue;
      lo = std::min(lo, reached[k][0]);
      hi = std::max(hi, reached[k][1]);
    }
    if (lo >= hi) continue;
    for (Sum* a : {c, x, y}) std::fill(a + r * pitch + lo, a + r * pitch + hi + 2, Sum{});  // columns lo - 1 .. hi
  }
  const int64_t limitX = width << 16, limitY = int64_t{rows} << 16;
  const int64_t sx = s.colX > 0 ? 1 : -1, syPitch = s.colY > 0 ? pitch : -pitch;
  int64_t firstRow, endRow;
  RowsReachingBand(plan, rowBegin, rowEnd, &firstRow, &endRow);
  // Each row's stretch is located, and its cache lines fetched, kRowsAhead rows before it is
  // counted (see CountTurnedBand).
  struct Stretch {
    const uint8_t* row = nullptr;
    int64_t first = 0, end = 0, px = 0, py = 0;  // pixels [first, end); px, py: pixel 0's position
  };
  constexpr int kRowsAhead = 4;
  Stretch ahead[kRowsAhead];
  for (int64_t dy = firstRow; dy < endRow + kRowsAhead; ++dy) {
    Stretch& slot = ahead[dy % kRowsAhead];
    const Stretch now = slot;
    slot = Stretch{};
    if (dy < endRow) {
      const int64_t ax = s.startX + dy * s.rowX;
      const int64_t ay = s.startY + dy * s.rowY - (int64_t{rowBegin} << 16);
      int64_t firstX, endX, firstY, endY;
      StepsInside(ax, s.colX, limitX, n, &firstX, &endX);
      StepsInside(ay, s.colY, limitY, n, &firstY, &endY);
      const int64_t a = std::max(firstX, firstY), b = std::min(endX, endY);
      if (a < b) {
        slot = {DibRow(*plan.canvas, static_cast<int>(s.source.top + dy)) + s.source.left, a, b, ax, ay};
        for (int64_t k = a; k < b; k += 64) __builtin_prefetch(slot.row + k);
        __builtin_prefetch(slot.row + b - 1);
      }
    }
    if (now.first >= now.end) continue;
    const uint8_t* row = now.row;
    const int64_t first = now.first, end = now.end, px = now.px, py = now.py;
    // p2[j]: the channels of pixels [first, first + 2j). No branch for bare paper: about half
    // the words of a drawing hold ink, which no branch predicts.
    uint64_t sum = 0;
    p2[0] = 0;
    int64_t j = 0, k = first;
    for (; k + 8 <= end; k += 8, j += 4) {
      uint64_t w;
      std::memcpy(&w, row + k, 8);
      const uint64_t a = pairs[w & 0xFFFF], b = pairs[(w >> 16) & 0xFFFF];
      const uint64_t c2 = pairs[(w >> 32) & 0xFFFF], d = pairs[w >> 48];
      const uint64_t ab = a + b;
      p2[j + 1] = sum + a;
      p2[j + 2] = sum + ab;
      p2[j + 3] = sum + ab + c2;
      sum += ab + c2 + d;
      p2[j + 4] = sum;
    }
    for (; k + 2 <= end; k += 2) {
      sum += pairs[row[k] | (row[k + 1] << 8)];
      p2[++j] = sum;
    }
    const uint8_t* before = row + first - 1;
    // The stretch's last cell takes P(end).
    const int64_t i = end - first;
    c[((py + (end - 1) * s.colY) >> 16) * pitch + ((px + (end - 1) * s.colX) >> 16) + 1] +=
        Lanes::Make(p2[i >> 1] + (one[before[i]] & (0 - static_cast<uint64_t>(i & 1))), i);
    // Column crossings enter (x(e), y(e - 1)); row crossings enter (x(e), y(e)).
    AddCrossings<Lanes>(px, s.colX, first, end, py - s.colY, s.colY, x + ((px + first * s.colX) >> 16) + 1, sx,
                        pitch, p2, before, one);
    AddCrossings<Lanes>(py, s.colY, first, end, px, s.colX, y + ((py + first * s.colY) >> 16) * pitch + 1, syPitch, 1,
                        p2, before, one);
  }
  const int64_t sy = s.colY > 0 ? 1 : -1;
  const int64_t sxColumn = s.colX == 0 ? 0 : sx;
  for (int32_t r = 0; r < rows; ++r) {
    const int32_t* span = reached[r];
    const Sum* cr = c + r * pitch + 1;
    const Sum* xr = x + r * pitch + 1;
    const Sum* yr = y + r * pitch + 1;
    typename Lanes::Cells::Cell* out = cells + static_cast<size_t>(r) * static_cast<size_t>(width);
    if (r + sy >= 0 && r + sy < rows) {
      const Sum* yn = yr + syPitch;
      for (int32_t i = span[0]; i < span[1]; ++i)
        out[i] = Lanes::ToCell(cr[i] - xr[i] + xr[i + sxColumn] - yr[i] + yn[i]);
    } else {
      for (int32_t i = span[0]; i < span[1]; ++i) out[i] = Lanes::ToCell(cr[i] - xr[i] + xr[i + sxColumn] - yr[i]);
    }
  }
}

}  // namespace

double MostSamplesPerCell(const ReduceStepping& s) {
  constexpr double kUnbounded = std::numeric_limits<double>::infinity();
  if (s.colY == 0 && s.rowX == 0) return kUnbounded;  // straight views have their own rule
  const double cx = s.colX, cy = s.colY, rx = s.rowX, ry = s.rowY;
  const double length = std::hypot(cx, cy);
  if (length == 0) return kUnbounded;
  const double spacing = std::abs(cx * ry - cy * rx) / length;
  if (spacing == 0) return kUnbounded;
  const double across = 65536.0 * (std::abs(cx) + std::abs(cy)) / length;  // the normal is (-cy, cx) / length
  const double rows = std::floor(across / spacing) + 2.0;
  const double run = std::floor(65535.0 / std::max(std::abs(cx), std::abs(cy))) + 1.0;
  return rows * run;
}

bool PackedSumsFit(const ReduceStepping& s) { return MostSamplesPerCell(s) <= kPackedMaxCount; }

namespace {

template <typename Cells>
bool TurnedBand(const CountPlan& plan, const DivideContext& divide, int32_t rowBegin, int32_t rowEnd,
                DibBitmap& out) {
  using Cell = typename Cells::Cell;
  using Lanes = std::conditional_t<std::is_same_v<Cells, PackedCells>, PackedLanes, WideLanes>;
  // Packed cells hold at most 127 samples (the callers see to it); wide ones counted by
  // crossings at most kWideLanesMaxCount.
  const bool crossings = CountsByCrossings(plan.step) &&
                         (!Lanes::kWide || MostSamplesPerCell(plan.step) <= kWideLanesMaxCount);
  // Packed cells take one addition per pixel; wide ones four, so they always sum runs first.
  // Pixels k and k + m share a cell only when |m * step| < 65536 on both axes, so no run is
  // longer than 65535 / max(|colX|, |colY|) + 1; only longer ones need cutting.
  const int64_t colX = std::abs(int64_t{plan.step.colX}), colY = std::abs(int64_t{plan.step.colY});
  const int64_t longest = 65535 / std::max<int64_t>(std::max(colX, colY), 1) + 1;
  const bool shortRuns = !crossings && std::is_same_v<Cells, PackedCells> && (colX + colY) * kShortRunsBelow > 65536;
  const bool indexed = shortRuns && plan.destWidth < kIndexedWidthBelow;
  // The accumulator rows lie `pitch` cells apart: the destination's width, or for indexed
  // counting the power of two from there (an index is then a shift, not a multiplication).
  const size_t width = static_cast<size_t>(plan.destWidth);
  const size_t pitch = indexed ? std::bit_ceil(width) : width;
  const size_t count = static_cast<size_t>(rowEnd - rowBegin) * pitch;
  const size_t cellBytes = (count * sizeof(Cell) + 15) & ~size_t{15};
  const BandRows rows(cellBytes + (crossings ? CrossingScratchBytes<Lanes>(plan, rowEnd - rowBegin) : 0));
  Cell* cells = static_cast<Cell*>(rows.data());
  if (!cells) {
    gStatusCode = kStatusBitmapAllocationFailed;
    return false;
  }
  // Only the columns canvas pixels can reach are cleared and divided; about half of a turned
  // view's box is the background around the canvas.
  int32_t reached[kTurnedBandRows][2];
  for (int32_t r = rowBegin; r < rowEnd; ++r) {
    int32_t* span = reached[r - rowBegin];
    ReachedColumns(plan, r, &span[0], &span[1]);
    if (crossings) continue;  // every reached cell is written
    Cell* row = cells + static_cast<size_t>(r - rowBegin) * pitch;
    std::fill(row + span[0], row + span[1], Cell{});
  }
  if (crossings) {
    CountTurnedBandByCrossings<Lanes>(plan, rowBegin, rowEnd, reached,
                                      static_cast<uint8_t*>(rows.data()) + cellBytes, cells);
  } else if (indexed) {
    if constexpr (std::is_same_v<Cells, PackedCells>)
      CountTurnedBand<Cells, TurnedAdd::kIndexed>(plan, rowBegin, rowEnd, cells, static_cast<int64_t>(pitch));
  } else if (shortRuns) {
    CountTurnedBand<Cells, TurnedAdd::kPixels>(plan, rowBegin, rowEnd, cells, static_cast<int64_t>(pitch));
  } else if (longest <= kMaxRunLength) {
    CountTurnedBand<Cells, TurnedAdd::kRuns>(plan, rowBegin, rowEnd, cells, static_cast<int64_t>(pitch));
  } else {
    CountTurnedBand<Cells, TurnedAdd::kCheckedRuns>(plan, rowBegin, rowEnd, cells, static_cast<int64_t>(pitch));
  }
  const uint32_t background = plan.paperPixels[0];  // no sample
  for (int32_t r = rowBegin; r < rowEnd; ++r) {
    const int32_t* span = reached[r - rowBegin];
    uint32_t* pixels = reinterpret_cast<uint32_t*>(DibRow(out, r));
    std::fill(pixels, pixels + span[0], background);
    std::fill(pixels + span[1], pixels + plan.destWidth, background);
    DivideCells<Cells>(plan, divide, cells + static_cast<size_t>(r - rowBegin) * pitch + span[0], span[1] - span[0],
                       pixels + span[0]);
  }
  return true;
}

// Calls land(i, d) for every index i in [begin, end) of a separable axis whose destination
// index d = (start + (i - begin) * step) >> 16 lies in [0, limit), in order of i.
template <typename Land>
void ForEachLanding(int32_t begin, int32_t end, int32_t start, int32_t step, int32_t limit, Land land) {
  for (int32_t i = begin; i < end; ++i) {
    const int64_t d = (start + int64_t{i - begin} * step) >> 16;
    if (d >= 0 && d < limit) land(i, static_cast<int32_t>(d));
  }
}

// The pair table of the last palette, kept: partial updates between palette changes reuse it.
std::shared_ptr<const PairTable> PairTableFor(const uint64_t packed[kDibColourCount]) {
  static std::mutex lock;
  static std::shared_ptr<const PairTable> last;
  std::lock_guard<std::mutex> guard(lock);
  if (last && std::memcmp(last->packed, packed, sizeof last->packed) == 0) return last;
  auto table = std::make_shared<PairTable>();
  std::memcpy(table->packed, packed, sizeof table->packed);
  for (int i = 0; i < kDibColourCount; ++i) {
    const uint64_t p = packed[i];
    table->wide[i] = ((p >> kPackedRedShift) << (2 * kWideLaneBits)) |
                     (((p >> kPackedGreenShift) & kPackedFieldMask) << kWideLaneBits) |
                     ((p >> kPackedBlueShift) & kPackedFieldMask);
  }
  for (int hi = 0; hi < 256; ++hi) {
    for (int lo = 0; lo < 256; ++lo) {
      table->sums[lo | (hi << 8)] = packed[lo] + packed[hi];
      table->wideSums[lo | (hi << 8)] = table->wide[lo] + table->wide[hi];
    }
  }
  last = table;
  return last;
}

}  // namespace

double ReductionFactor(const CanvasView& view) {
  return RotationSpan(view.rotation) * static_cast<double>(view.scale);
}

bool PrepareCountPlan(CountPlan& plan, const CanvasView& view, const DibBitmap& canvas, const PixelRect& source) {
  if (DibDepth(canvas) != 8 || DibWidth(canvas) != ViewCanvasWidth(view) ||
      DibHeight(canvas) != ViewCanvasHeight(view)) {
    return false;
  }
  if (!ComputeReduceStepping(view, source, plan.step)) return false;
  const ReduceStepping& s = plan.step;
  plan.canvas = &canvas;
  plan.destWidth = s.destination.right - s.destination.left;
  plan.destHeight = s.destination.bottom - s.destination.top;
  BuildPackedIncrements(canvas.colours, plan.packed);
  for (int k = 0; k <= kPackedMaxCount; ++k) plan.paperTimes[k] = plan.packed[0xFF] * static_cast<uint64_t>(k);
  plan.separable = s.colY == 0 && s.rowX == 0;
  plan.runs.clear();
  plan.pairStore = PairTableFor(plan.packed);
  plan.pairs = plan.pairStore->sums;
  if (!plan.separable) return true;
  plan.firstRun.assign(static_cast<size_t>(plan.destWidth), 0);
  plan.endRun.assign(static_cast<size_t>(plan.destWidth), 0);
  ForEachLanding(s.source.left, s.source.right, s.startX, s.colX, plan.destWidth, [&](int32_t x, int32_t c) {
    ColumnRun* last = plan.runs.empty() ? nullptr : &plan.runs.back();
    if (last && last->column == c && last->x1 == x && last->x1 - last->x0 < kMaxRunLength) {
      ++last->x1;
      return;
    }
    if (plan.firstRun[c] == plan.endRun[c]) plan.firstRun[c] = static_cast<int32_t>(plan.runs.size());
    plan.runs.push_back({x, x + 1, c});
    plan.endRun[c] = static_cast<int32_t>(plan.runs.size());
  });
  // Source rows summed into one packed value per run before it is added to a cell: rows times
  // the longest run stays within the 7-bit count.
  int longest = 1;
  for (const ColumnRun& r : plan.runs) longest = std::max(longest, static_cast<int>(r.x1 - r.x0));
  plan.blockRows = std::max(1, std::min(kMaxBlockRows, kPackedMaxCount / longest));
  plan.rowBegin.assign(static_cast<size_t>(plan.destHeight), 0);
  plan.rowEnd.assign(static_cast<size_t>(plan.destHeight), 0);
  ForEachLanding(s.source.top, s.source.bottom, s.startY, s.rowY, plan.destHeight, [&](int32_t y, int32_t r) {
    if (plan.rowBegin[r] == plan.rowEnd[r]) {
      plan.rowBegin[r] = y;
      plan.rowEnd[r] = y + 1;
    } else {  // rows of one destination row are adjacent (either direction)
      plan.rowBegin[r] = std::min(plan.rowBegin[r], y);
      plan.rowEnd[r] = std::max(plan.rowEnd[r], y + 1);
    }
  });
  return true;
}

DibBitmap* StartReduction(CountPlan& plan, DivideContext& divide, const CanvasView& view, const DibBitmap& canvas,
                          const PixelRect& source, uint32_t background) {
  if (!PrepareCountPlan(plan, view, canvas, source)) return nullptr;
  divide = MakeDivideContext(background);
  // Counts of paper samples a cell can hold: up to the packed limit, and for wide sums about
  // (sqrt 2 * scale + 2)^2 (cells with more are divided as they come).
  const double side = 1.415 * static_cast<double>(view.scale) + 2.0;
  plan.paperCounts = static_cast<int32_t>(std::clamp(side * side, double{kPackedMaxCount + 1}, double{kPaperCounts}));
  const uint64_t paper = plan.packed[0xFF];
  plan.paperWide = {static_cast<uint32_t>(paper >> kPackedRedShift),
                    static_cast<uint32_t>((paper >> kPackedGreenShift) & kPackedFieldMask),
                    static_cast<uint32_t>((paper >> kPackedBlueShift) & kPackedFieldMask), 1};
  for (int32_t n = 0; n < plan.paperCounts; ++n) {
    const uint32_t k = static_cast<uint32_t>(n);
    const WideIncrement& p = plan.paperWide;
    plan.paperPixels[n] = DivideWide(divide, {k * p.red, k * p.green, k * p.blue, k});
  }
  return NewReducedPicture(plan.destWidth, plan.destHeight);
}

void ReduceSeparableTile(const CountPlan& plan, const DivideContext& divide, const PixelRect& tile, bool wide,
                         DibBitmap& out) {
  if (wide) {
    SeparableTile<WideCells>(plan, divide, tile, out);
  } else {
    SeparableTile<PackedCells>(plan, divide, tile, out);
  }
}

std::vector<PixelRect> DestinationTiles(const CountPlan& plan, int side) {
  side = std::min(side, kTileCells);
  std::vector<PixelRect> tiles;
  for (int32_t top = 0; top < plan.destHeight; top += side)
    for (int32_t left = 0; left < plan.destWidth; left += side)
      tiles.push_back({left, top, std::min(left + side, plan.destWidth), std::min(top + side, plan.destHeight)});
  return tiles;
}

bool ReduceTurnedBand(const CountPlan& plan, const DivideContext& divide, int32_t rowBegin, int32_t rowEnd,
                      bool wide, DibBitmap& out) {
  // Wide sums cost four additions a run; packed ones serve wherever no cell can get more than
  // kPackedMaxCount samples (the divide gives the same bytes from either).
  return wide && !PackedSumsFit(plan.step) ? TurnedBand<WideCells>(plan, divide, rowBegin, rowEnd, out)
                                           : TurnedBand<PackedCells>(plan, divide, rowBegin, rowEnd, out);
}

int TurnedBandCount(const CountPlan& plan) { return (plan.destHeight + kTurnedBandRows - 1) / kTurnedBandRows; }
