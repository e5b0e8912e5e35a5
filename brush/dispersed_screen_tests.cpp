// The dispersed screen is generated data (scripts/make_dispersed_screen.cpp). Besides the cells
// fixed in advance, these tests hold it to what a grain tone pen needs from it: at every density
// the painted pixels are spread evenly, with no clumps, no gaps and no repeating pattern.
//
// Each level is judged by its minority pixels: the set cells up to level 512 and the clear
// cells above it, since those are what the eye picks out.
#include "brush/tone_screen.h"

#include <gtest/gtest.h>

#include <array>
#include <bit>
#include <cmath>
#include <cstdint>
#include <vector>

namespace {

// A level's minority pixels, one 32-bit word per matrix row, bit c for column c.
using ScreenRows = std::array<uint32_t, kScreenSide>;

int Minority(int level) { return level <= kScreenCells / 2 ? level : kScreenCells - level; }

ScreenRows MinorityRows(const ScreenMatrix& m, int level) {
  const bool dots = level <= kScreenCells / 2;
  ScreenRows rows{};
  for (int r = 0; r < kScreenSide; ++r)
    for (int c = 0; c < kScreenSide; ++c)
      if ((m.at[r][c] <= level) == dots) rows[r] |= 1u << c;
  return rows;
}

int WrappedDistance2(int r1, int c1, int r2, int c2) {
  int dr = std::abs(r1 - r2), dc = std::abs(c1 - c2);
  dr = std::min(dr, kScreenSide - dr);
  dc = std::min(dc, kScreenSide - dc);
  return dr * dr + dc * dc;
}

// Squared smallest distance between two minority pixels of each level, on the torus the tile
// makes when it repeats across the canvas. Built incrementally: the dots of level L are those
// of L - 1 plus the cell of threshold L; the holes of level L are those of L + 1 plus the cell
// of threshold L + 1.
std::vector<int> MinimumDistances2(const ScreenMatrix& m) {
  std::array<int, kScreenCells + 1> rowOf{}, columnOf{};
  for (int r = 0; r < kScreenSide; ++r)
    for (int c = 0; c < kScreenSide; ++c) rowOf[m.at[r][c]] = r, columnOf[m.at[r][c]] = c;
  auto closest = [&](int v, int from, int to) {
    int best = 1 << 20;
    for (int u = from; u <= to; ++u)
      best = std::min(best, WrappedDistance2(rowOf[v], columnOf[v], rowOf[u], columnOf[u]));
    return best;
  };
  std::vector<int> result(kScreenCells + 1, 1 << 20);
  for (int level = 2; level <= kScreenCells / 2; ++level)
    result[level] = std::min(result[level - 1], closest(level, 1, level - 1));
  for (int level = kScreenCells - 2; level > kScreenCells / 2; --level)
    result[level] = std::min(result[level + 1], closest(level + 1, level + 2, kScreenCells));
  return result;
}

}  // namespace

TEST(DispersedScreen, IsAPermutationOfOneTo1024) {
  std::vector<int> seen(kScreenCells + 1, 0);
  for (const auto& row : DispersedScreen.at)
    for (int v : row) {
      ASSERT_GE(v, 1);
      ASSERT_LE(v, kScreenCells);
      EXPECT_EQ(seen[v]++, 0) << v;
    }
}

TEST(DispersedScreen, KeepsItsFixedCells) {
  constexpr int kFirstRow[kScreenSide] = {247, 1014, 193, 889, 531, 365, 938, 299, 856, 379, 1009,
                                          341, 636, 417, 885, 82, 651, 202, 909, 544, 167, 944,
                                          87, 482, 962, 143, 397, 926, 446, 258, 975, 353};
  for (int c = 0; c < kScreenSide; ++c) EXPECT_EQ(DispersedScreen.at[0][c], kFirstRow[c]) << c;
  EXPECT_EQ(DispersedScreen.at[28][11], 1);
  EXPECT_EQ(DispersedScreen.at[23][21], 1024);
}

TEST(DispersedScreen, NoTwoMinorityPixelsOfALevelCrowdEachOther) {
  // n points packed as evenly as possible (a hexagonal lattice) on the 1024-cell torus lie
  // sqrt(2 * 1024 / (sqrt(3) * n)) apart. At no level may two minority pixels come closer than
  // 0.45 of that. Below 240 minority pixels this forbids two side by side; at 16 pixels (spacing
  // 8.6) it forbids any pair closer than 3.9. A random ordering already breaks it among its
  // first few pixels, a raster ordering at the second.
  const std::vector<int> d2 = MinimumDistances2(DispersedScreen);
  for (int level = 2; level <= kScreenCells - 2; ++level) {
    const double n = Minority(level);
    const double spacing = std::sqrt(2.0 * kScreenCells / (std::sqrt(3.0) * n));
    EXPECT_GE(std::sqrt(static_cast<double>(d2[level])), 0.45 * spacing) << "level " << level;
  }
}

TEST(DispersedScreen, EveryNeighbourhoodHoldsItsShareOfEveryLevel) {
  // An 8 x 8 window is 1/16 of the tile, so it should hold n / 16 of a level's n minority
  // pixels. Over all 1024 window positions (wrapping) and all levels it stays within 6 pixels
  // of that (plain void-and-cluster ordering reaches 6.2). A random ordering strays by 11 to 14
  // at mid-range levels; a screen that fills one region before another strays by far more.
  for (int level = 1; level < kScreenCells; ++level) {
    const ScreenRows rows = MinorityRows(DispersedScreen, level);
    const double share = Minority(level) / 16.0;
    double worst = 0;
    for (int top = 0; top < kScreenSide; ++top) {
      for (int left = 0; left < kScreenSide; ++left) {
        int count = 0;
        for (int r = 0; r < 8; ++r)
          count += std::popcount(std::rotr(rows[(top + r) % kScreenSide], left) & 0xFFu);
        worst = std::max(worst, std::abs(count - share));
      }
    }
    EXPECT_LE(worst, 6.0) << "level " << level;
  }
}

TEST(DispersedScreen, NoLevelRepeatsWithinTheTile) {
  // An ordered (lattice) screen shows its grid: shifting a level's pattern by one lattice step
  // maps it onto itself. Here no shift other than zero maps more than 3/4 of a level's
  // minority pixels onto minority pixels (the most is about 0.64, at half density; a random
  // ordering gives about 0.55 there, a lattice 1).
  for (int level = 16; level <= kScreenCells - 16; ++level) {
    const ScreenRows rows = MinorityRows(DispersedScreen, level);
    const int n = Minority(level);
    for (int dy = 0; dy < kScreenSide; ++dy) {
      for (int dx = 0; dx < kScreenSide; ++dx) {
        if (dx == 0 && dy == 0) continue;
        int overlap = 0;
        for (int r = 0; r < kScreenSide; ++r)
          overlap += std::popcount(rows[r] & std::rotr(rows[(r + dy) % kScreenSide], dx));
        ASSERT_LE(4 * overlap, 3 * n) << "level " << level << " shift " << dx << ", " << dy;
      }
    }
  }
}
