// Generates brush/dispersed_screen_table.cpp: the 32 x 32 dispersed-dot threshold matrix of the
// grain tone pens, a permutation of 1..1024 whose every threshold level is an evenly spread,
// structureless set of dots (blue noise).
//
// Thirty-four cells are fixed in advance: the whole first row, 1 at row 28 column 11 and 1024
// at row 23 column 21. Everything else comes from a fixed seed, so running this again on the
// same toolchain writes the same table:
//
//   g++ -std=c++20 -O2 -o /tmp/make_dispersed_screen scripts/make_dispersed_screen.cpp
//   /tmp/make_dispersed_screen > brush/dispersed_screen_table.cpp
//
// Method: void-and-cluster (Ulichney 1993) on the torus with the fixed cells honoured, followed
// by swap refinement of the free cells against an energy summed over every threshold level.
//
//  1. A starting pattern of kStartDots dots: the fixed cells whose value is <= kStartDots plus
//     free cells placed one at a time into the largest void, then relaxed by moving the
//     tightest-clustered free dot into the largest free void until that changes nothing.
//  2. Ranks kStartDots down to 1: the fixed cell of that value if there is one, else the free
//     dot in the tightest cluster, is removed and gets that rank.
//  3. Ranks kStartDots + 1 up to 1024: the fixed cell of that value, else the free empty cell
//     in the largest void, is added and gets that rank. Past half the cells the largest void of
//     the dots is the tightest cluster of the holes, so the holes spread just as the dots do.
//  4. Refinement: for a pair of cells with values a < b, the dot patterns of levels b..512 hold
//     both as dots and the patterns of levels 512..a-1 hold both as holes (the minority pixels
//     of each level). The energy adds, for every level, a Gaussian of the pair's distance
//     scaled to that level's dot spacing. Random swaps of two free cells are kept when they
//     lower the energy.
//
// "Void" and "cluster" are measured with a Gaussian (sigma 1.5) of the dots around a cell,
// wrapped around the 32 x 32 torus.
#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <numbers>
#include <vector>

namespace {

constexpr int kSide = 32;
constexpr int kCells = kSide * kSide;
constexpr int kStartDots = 102;  // about a tenth of the cells
constexpr double kSigma = 1.5;
// Refinement: the Gaussian of level L has variance kLevelSigma2 times the square of that level's
// dot spacing. Narrow (0.1) mostly parts near neighbours; wider kernels (0.3 and more) traded
// close pairs for smoothness and left adjacent dots at a quarter's density.
constexpr double kLevelSigma2 = 0.1;
constexpr int kRefineRounds = 300000;

constexpr int kFirstRow[kSide] = {247, 1014, 193, 889, 531, 365, 938, 299, 856, 379, 1009,
                                  341, 636, 417, 885, 82, 651, 202, 909, 544, 167, 944,
                                  87, 482, 962, 143, 397, 926, 446, 258, 975, 353};

// xorshift64*: a fixed, portable random sequence.
struct Random {
  uint64_t state = 0x9E3779B97F4A7C15ull;
  uint64_t Next() {
    state ^= state >> 12;
    state ^= state << 25;
    state ^= state >> 27;
    return state * 0x2545F4914F6CDD1Dull;
  }
  int Below(int n) { return static_cast<int>((Next() >> 33) % static_cast<uint64_t>(n)); }
};

int Wrap(int d) {
  d = d < 0 ? -d : d;
  return d > kSide / 2 ? kSide - d : d;
}
int Distance2(int a, int b) {
  int dx = Wrap(a % kSide - b % kSide), dy = Wrap(a / kSide - b / kSide);
  return dx * dx + dy * dy;
}

struct Field {
  std::array<double, kCells> density{};  // Gaussian-weighted count of dots around each cell
  std::array<bool, kCells> dot{};
  std::array<double, kSide / 2 + 1> kernel1{};

  Field() {
    for (int d = 0; d <= kSide / 2; ++d) kernel1[d] = std::exp(-d * d / (2 * kSigma * kSigma));
  }
  void Toggle(int cell, bool on) {
    dot[cell] = on;
    const double sign = on ? 1.0 : -1.0;
    for (int i = 0; i < kCells; ++i)
      density[i] += sign * kernel1[Wrap(i % kSide - cell % kSide)] * kernel1[Wrap(i / kSide - cell / kSide)];
  }
  // Tightest cluster among the dots that free[] allows to move.
  int TightestDot(const std::array<bool, kCells>& free) const {
    int best = -1;
    for (int i = 0; i < kCells; ++i)
      if (dot[i] && free[i] && (best < 0 || density[i] > density[best])) best = i;
    return best;
  }
  int LargestVoid(const std::array<bool, kCells>& free) const {
    int best = -1;
    for (int i = 0; i < kCells; ++i)
      if (!dot[i] && free[i] && (best < 0 || density[i] < density[best])) best = i;
    return best;
  }
};

// Pair weights of the refinement energy, by squared distance d2: dots[d2][b] for the levels at
// which both cells are dots (b the larger value), holes[d2][a] for those at which both are holes
// (a the smaller value).
struct PairWeights {
  std::vector<std::array<double, kCells + 2>> dots, holes;

  PairWeights() : dots(kSide * kSide / 2 + 1), holes(kSide * kSide / 2 + 1) {
    // Level L has n = min(L, 1024 - L) minority pixels, spaced about sqrt(1024 / n) apart.
    // The Gaussian's width follows that spacing; dividing by n keeps every level's share equal.
    for (int d2 = 0; d2 < static_cast<int>(dots.size()); ++d2) {
      std::array<double, kCells + 2> perLevel{};
      for (int level = 1; level < kCells; ++level) {
        int n = level <= kCells / 2 ? level : kCells - level;
        double spacing2 = static_cast<double>(kCells) / n;
        double sigma2 = kLevelSigma2 * spacing2;
        perLevel[level] = std::exp(-d2 / (2 * sigma2)) / n;
      }
      // Dots: both cells are dots at levels L >= b, counted while L <= 512.
      double sum = 0;
      for (int b = kCells; b >= 1; --b) {
        if (b <= kCells / 2) sum += perLevel[b];
        dots[d2][b] = sum;
      }
      // Holes: both cells are holes at levels L < a, counted while L >= 512.
      sum = 0;
      for (int a = 1; a <= kCells; ++a) {
        holes[d2][a] = sum;
        if (a >= kCells / 2) sum += perLevel[a];
      }
    }
  }
  double Pair(int d2, int u, int v) const {
    int a = u < v ? u : v, b = u < v ? v : u;
    return dots[d2][b] + holes[d2][a];
  }
};

// The energy of a cell against all others, as value v.
double CellEnergy(const PairWeights& w, const std::array<int, kCells>& m, int cell, int v, int skip) {
  double e = 0;
  for (int j = 0; j < kCells; ++j)
    if (j != cell && j != skip) e += w.Pair(Distance2(cell, j), v, m[j]);
  return e;
}

void Refine(std::array<int, kCells>& m, const std::array<bool, kCells>& free, int rounds) {
  PairWeights w;
  std::vector<int> movable;
  for (int i = 0; i < kCells; ++i)
    if (free[i]) movable.push_back(i);
  Random random;
  int kept = 0;
  for (int round = 0; round < rounds; ++round) {
    int i = movable[random.Below(static_cast<int>(movable.size()))];
    int j = movable[random.Below(static_cast<int>(movable.size()))];
    if (i == j) continue;
    double before = CellEnergy(w, m, i, m[i], j) + CellEnergy(w, m, j, m[j], i);
    double after = CellEnergy(w, m, i, m[j], j) + CellEnergy(w, m, j, m[i], i);
    if (after < before) {
      std::swap(m[i], m[j]);
      ++kept;
    }
  }
  std::fprintf(stderr, "refinement kept %d of %d swaps\n", kept, rounds);
}

std::array<int, kCells> Generate(int refineRounds) {
  std::array<int, kCells> pinnedValue{};  // 0: free
  for (int c = 0; c < kSide; ++c) pinnedValue[c] = kFirstRow[c];
  pinnedValue[28 * kSide + 11] = 1;
  pinnedValue[23 * kSide + 21] = kCells;
  std::array<int, kCells + 1> cellOfValue;
  cellOfValue.fill(-1);
  std::array<bool, kCells> free{};
  for (int i = 0; i < kCells; ++i) {
    free[i] = pinnedValue[i] == 0;
    if (!free[i]) cellOfValue[pinnedValue[i]] = i;
  }

  // 1. Starting pattern.
  Field start;
  int count = 0;
  for (int i = 0; i < kCells; ++i)
    if (!free[i] && pinnedValue[i] <= kStartDots) start.Toggle(i, true), ++count;
  for (; count < kStartDots; ++count) start.Toggle(start.LargestVoid(free), true);
  for (int guard = 0; guard < 100000; ++guard) {
    int tight = start.TightestDot(free);
    start.Toggle(tight, false);
    int hole = start.LargestVoid(free);
    start.Toggle(hole, true);
    if (hole == tight) break;
  }

  std::array<int, kCells> m{};
  // 2. Ranks down from the start.
  Field down = start;
  for (int rank = kStartDots; rank >= 1; --rank) {
    int cell = cellOfValue[rank] >= 0 ? cellOfValue[rank] : down.TightestDot(free);
    down.Toggle(cell, false);
    m[cell] = rank;
  }
  // 3. Ranks up from the start.
  Field up = start;
  for (int rank = kStartDots + 1; rank <= kCells; ++rank) {
    int cell = cellOfValue[rank] >= 0 ? cellOfValue[rank] : up.LargestVoid(free);
    up.Toggle(cell, true);
    m[cell] = rank;
  }
  if (refineRounds > 0) Refine(m, free, refineRounds);
  return m;
}

bool KeepsFixedCells(const std::array<int, kCells>& m) {
  bool ok = m[28 * kSide + 11] == 1 && m[23 * kSide + 21] == kCells;
  for (int c = 0; c < kSide; ++c) ok = ok && m[c] == kFirstRow[c];
  return ok;
}

// Quality report on stderr, per level over its minority pixels (dots up to level 512, holes
// above): the smallest toroidal distance relative to the spacing of a hexagonal packing of that
// many points; the number of pairs closer than half that spacing; and the power of the pattern
// at low frequencies (radius 1..4 of 16) relative to white noise of the same density.
void Report(const std::array<int, kCells>& m) {
  double worst = 1e9, worstLow = 0, worstWindow = 0;
  int worstLevel = 0, worstLowLevel = 0, closeTotal = 0;
  for (int level = 1; level < kCells; ++level) {
    bool dots = level <= kCells / 2;
    int n = dots ? level : kCells - level;
    std::vector<int> cells;
    for (int i = 0; i < kCells; ++i)
      if ((m[i] <= level) == dots) cells.push_back(i);
    double hex = std::sqrt(2.0 * kCells / (std::sqrt(3.0) * n));
    int best = 1 << 30, close = 0;
    for (size_t a = 0; a < cells.size(); ++a)
      for (size_t b = a + 1; b < cells.size(); ++b) {
        int d2 = Distance2(cells[a], cells[b]);
        if (d2 < best) best = d2;
        if (d2 < hex * hex * 0.25) ++close;
      }
    closeTotal += close;
    double ratio = n >= 2 ? std::sqrt(static_cast<double>(best)) / hex : 1;
    if (ratio < worst) worst = ratio, worstLevel = level;
    double p = static_cast<double>(n) / kCells, low = 0;
    int lowCount = 0;
    for (int v = -4; v <= 4; ++v)
      for (int u = -4; u <= 4; ++u) {
        if (u * u + v * v == 0 || u * u + v * v > 16) continue;
        double re = 0, im = 0;
        for (int i : cells) {
          double phase = 2 * std::numbers::pi * (u * (i % kSide) + v * (i / kSide)) / kSide;
          re += std::cos(phase), im += std::sin(phase);
        }
        low += (re * re + im * im) / (kCells * p * (1 - p));
        ++lowCount;
      }
    low /= lowCount;
    if (n >= 16 && low > worstLow) worstLow = low, worstLowLevel = level;
    // 8 x 8 windows, wrapping: how far the count strays from n / 16.
    for (int top = 0; top < kSide; ++top)
      for (int left = 0; left < kSide; ++left) {
        int k = 0;
        for (int i : cells)
          if ((i / kSide - top + kSide) % kSide < 8 && (i % kSide - left + kSide) % kSide < 8) ++k;
        worstWindow = std::max(worstWindow, std::abs(k - n / 16.0));
      }
    if (level % 64 == 0 || (level % 8 == 0 && (level < 64 || level > 960)))
      std::fprintf(stderr, "level %4d: min distance %.2f (hex %.2f, ratio %.2f), close pairs %d, low power %.3f\n", level,
                   std::sqrt(static_cast<double>(best)), hex, ratio, close, low);
  }
  std::fprintf(stderr, "worst distance ratio %.3f at level %d; close pairs %d; worst low power %.3f at level %d; "
               "worst window %.2f\n", worst, worstLevel, closeTotal, worstLow, worstLowLevel, worstWindow);
}

void Write(const std::array<int, kCells>& m) {
  std::printf(
      "// The dispersed-dot threshold matrix of the grain tone pens. Generated by\n"
      "// scripts/make_dispersed_screen.cpp (void-and-cluster around fixed cells, then swap\n"
      "// refinement); regenerate rather than edit by hand.\n"
      "#include \"brush/tone_screen.h\"\n"
      "\n"
      "// clang-format off\n"
      "constexpr ScreenMatrix DispersedScreen = {{\n");
  for (int r = 0; r < kSide; ++r) {
    std::printf("  {");
    for (int c = 0; c < kSide; ++c) std::printf("%s%4d", c ? "," : "", m[r * kSide + c]);
    std::printf("},\n");
  }
  std::printf("}};\n// clang-format on\n");
}

}  // namespace

int main(int argc, char**) {
  // Any argument skips the refinement, to compare with plain void-and-cluster.
  std::array<int, kCells> m = Generate(argc > 1 ? 0 : kRefineRounds);
  if (!KeepsFixedCells(m)) {
    std::fprintf(stderr, "a fixed cell lost its value\n");
    return 1;
  }
  Report(m);
  Write(m);
  return 0;
}
