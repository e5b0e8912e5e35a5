// The count and divide loops of the CPU engines.
#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <type_traits>

#include "reduce/reduce_internal.h"

namespace {

constexpr uint64_t kAllPaper = ~uint64_t{0};
constexpr int kTileCells = 64;  // widest destination tile

// Accumulators: one run sum (packed, at most kPackedMaxCount samples) added to one cell.
struct PackedCells {
  using Cell = uint64_t;
  static void Add(Cell& cell, uint64_t sum) { cell += sum; }
  static uint32_t Divide(const DivideContext& d, const Cell& cell) { return DividePacked(d, cell); }
  static bool Same(const Cell& a, const Cell& b) { return a == b; }
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

// The steps k in [0, n) with 0 <= p + k * d < limit, as [*first, *end) (empty: first >= end).
inline void StepsInside(int64_t p, int64_t d, int64_t limit, int64_t n, int64_t* first, int64_t* end) {
  auto floorDiv = [](int64_t a, int64_t b) { return a / b - ((a % b != 0) && ((a < 0) != (b < 0))); };
  int64_t lo, hi;  // lo <= k < hi
  if (d == 0) {
    lo = 0;
    hi = p >= 0 && p < limit ? n : 0;
  } else if (d > 0) {
    lo = p >= 0 ? 0 : floorDiv(-p + d - 1, d);        // ceil(-p / d)
    hi = p < limit ? floorDiv(limit - p + d - 1, d) : 0;  // ceil((limit - p) / d)
  } else {
    lo = p < limit ? 0 : floorDiv(p - limit, -d) + 1;
    hi = p >= 0 ? floorDiv(p, -d) + 1 : 0;
  }
  *first = std::max<int64_t>(lo, 0);
  *end = std::min<int64_t>(hi, n);
}

// Any view, pixel by pixel along the 16.16 steps; consecutive pixels landing in one
// destination pixel are summed before their cell is touched. Each row is first clipped to the
// pixels that land inside the destination. (Finding where a run ends by division does not
// pay: at 30 degrees runs are 3 to 6 pixels long.) Checked: runs may exceed kMaxRunLength.
template <typename Cells, bool Checked>
void CountGeneral(const CountPlan& plan, const PixelRect& part, typename Cells::Cell* cells) {
  const ReduceStepping& s = plan.step;
  const int64_t width = plan.destWidth;
  const int64_t limitX = int64_t{plan.destWidth} << 16, limitY = int64_t{plan.destHeight} << 16;
  for (int32_t y = part.top; y < part.bottom; ++y) {
    const int64_t dx = part.left - s.source.left, dy = y - s.source.top;
    int64_t px = s.startX + dx * s.colX + dy * s.rowX;
    int64_t py = s.startY + dx * s.colY + dy * s.rowY;
    const int64_t n = part.right - part.left;
    int64_t firstX, endX, firstY, endY;
    StepsInside(px, s.colX, limitX, n, &firstX, &endX);
    StepsInside(py, s.colY, limitY, n, &firstY, &endY);
    const int64_t first = std::max(firstX, firstY), end = std::min(endX, endY);
    if (first >= end) continue;
    px += first * s.colX;
    py += first * s.colY;
    const uint8_t* row = DibRow(*plan.canvas, y) + part.left;
    // Invariant: (px, py) is the 16.16 position of pixel k, inside the destination; the run of
    // `length` pixels landing in cell `current` sums to `sum`.
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
}

template <typename Cells>
void CountAny(const CountPlan& plan, const PixelRect& part, typename Cells::Cell* cells) {
  // Pixels k and k + m share a cell only when |m * step| < 65536 on both axes, so no run is
  // longer than 65535 / max(|colX|, |colY|) + 1.
  const int64_t step = std::max(std::abs(int64_t{plan.step.colX}), std::abs(int64_t{plan.step.colY}));
  if (step > 0 && 65535 / step + 1 <= kMaxRunLength) {
    CountGeneral<Cells, false>(plan, part, cells);
  } else {
    CountGeneral<Cells, true>(plan, part, cells);
  }
}

// Divides a row of cells into 32-bit pixels; runs of equal cells (bare paper, flat colour)
// are divided once.
template <typename Cells>
void DivideCells(const DivideContext& divide, const typename Cells::Cell* cells, int count, uint32_t* pixels) {
  if (count <= 0) return;
  typename Cells::Cell last = cells[0];
  uint32_t lastPixel = Cells::Divide(divide, last);
  pixels[0] = lastPixel;
  for (int x = 1; x < count; ++x) {
    if (!Cells::Same(cells[x], last)) {
      last = cells[x];
      lastPixel = Cells::Divide(divide, last);
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
    DivideCells<Cells>(divide, cells, width, pixels);
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
  for (int hi = 0; hi < 256; ++hi)
    for (int lo = 0; lo < 256; ++lo) table->sums[lo | (hi << 8)] = packed[lo] + packed[hi];
  last = table;
  return last;
}

}  // namespace

double ReductionFactor(const CanvasView& view) {
  return RotationSpan(view.rotation) * static_cast<double>(view.scale);
}

int PrepareCountPlan(CountPlan& plan, const CanvasView& view, const DibBitmap& canvas, const PixelRect& source) {
  if (DibDepth(canvas) != 8 || DibWidth(canvas) != ViewCanvasWidth(view) ||
      DibHeight(canvas) != ViewCanvasHeight(view)) {
    return 0;
  }
  if (!ComputeReduceStepping(view, source, plan.step)) return 0;
  const ReduceStepping& s = plan.step;
  plan.canvas = &canvas;
  plan.destWidth = s.destination.right - s.destination.left;
  plan.destHeight = s.destination.bottom - s.destination.top;
  BuildPackedIncrements(canvas.colours, plan.packed);
  for (int k = 0; k <= kPackedMaxCount; ++k) plan.paperTimes[k] = plan.packed[0xFF] * static_cast<uint64_t>(k);
  plan.separable = s.colY == 0 && s.rowX == 0;
  plan.runs.clear();
  if (!plan.separable) return 1;
  plan.pairStore = PairTableFor(plan.packed);
  plan.pairs = plan.pairStore->sums;
  plan.firstRun.assign(static_cast<size_t>(plan.destWidth), 0);
  plan.endRun.assign(static_cast<size_t>(plan.destWidth), 0);
  for (int32_t x = s.source.left; x < s.source.right; ++x) {
    const int64_t column = (s.startX + int64_t{x - s.source.left} * s.colX) >> 16;
    if (column < 0 || column >= plan.destWidth) continue;
    const int32_t c = static_cast<int32_t>(column);
    ColumnRun* last = plan.runs.empty() ? nullptr : &plan.runs.back();
    if (last && last->column == c && last->x1 == x && last->x1 - last->x0 < kMaxRunLength) {
      ++last->x1;
      continue;
    }
    if (plan.firstRun[c] == plan.endRun[c]) plan.firstRun[c] = static_cast<int32_t>(plan.runs.size());
    plan.runs.push_back({x, x + 1, c});
    plan.endRun[c] = static_cast<int32_t>(plan.runs.size());
  }
  // Source rows summed into one packed value per run before it is added to a cell: rows times
  // the longest run stays within the 7-bit count.
  int longest = 1;
  for (const ColumnRun& r : plan.runs) longest = std::max(longest, static_cast<int>(r.x1 - r.x0));
  plan.blockRows = std::max(1, std::min(kMaxBlockRows, kPackedMaxCount / longest));
  plan.rowBegin.assign(static_cast<size_t>(plan.destHeight), 0);
  plan.rowEnd.assign(static_cast<size_t>(plan.destHeight), 0);
  for (int32_t y = s.source.top; y < s.source.bottom; ++y) {
    const int64_t row = (s.startY + int64_t{y - s.source.top} * s.rowY) >> 16;
    if (row < 0 || row >= plan.destHeight) continue;
    const size_t r = static_cast<size_t>(row);
    if (plan.rowBegin[r] == plan.rowEnd[r]) {
      plan.rowBegin[r] = y;
      plan.rowEnd[r] = y + 1;
    } else {  // rows of one destination row are adjacent (either direction)
      plan.rowBegin[r] = std::min(plan.rowBegin[r], y);
      plan.rowEnd[r] = std::max(plan.rowEnd[r], y + 1);
    }
  }
  return 1;
}

void CountPackedPart(const CountPlan& plan, const PixelRect& part, uint64_t* accumulators) {
  CountAny<PackedCells>(plan, part, accumulators);
}

void CountWidePart(const CountPlan& plan, const PixelRect& part, WideAccumulator* accumulators) {
  CountAny<WideCells>(plan, part, accumulators);
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

void DividePackedRows(const DivideContext& divide, const uint64_t* accumulators, DibBitmap& out, int rowBegin,
                      int rowEnd) {
  const int width = DibWidth(out);
  for (int y = rowBegin; y < rowEnd; ++y) {
    DivideCells<PackedCells>(divide, accumulators + static_cast<int64_t>(y) * width, width,
                             reinterpret_cast<uint32_t*>(DibRow(out, y)));
  }
}

void DivideWideRows(const DivideContext& divide, const WideAccumulator* accumulators, DibBitmap& out,
                    int rowBegin, int rowEnd) {
  const int width = DibWidth(out);
  for (int y = rowBegin; y < rowEnd; ++y) {
    DivideCells<WideCells>(divide, accumulators + static_cast<int64_t>(y) * width, width,
                           reinterpret_cast<uint32_t*>(DibRow(out, y)));
  }
}
