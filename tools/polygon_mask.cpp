#include "tools/polygon_mask.h"

#include <algorithm>
#include <cstdint>
#include <memory>
#include <new>

#include "tools/bit_mask.h"
#include "tools/mask_pen.h"

namespace {

// The pen's own limit (tools/mask_pen.h), so that brush and pen see the same polygon.
constexpr int64_t kVertexLimit = int64_t{1} << 26;

int64_t Limit(int32_t v) { return std::clamp<int64_t>(v, -kVertexLimit, kVertexLimit); }

// ceil(n / d) for d > 0.
int64_t CeilDiv(int64_t n, int64_t d) {
  const int64_t q = n / d;
  return q + ((n % d != 0 && n > 0) ? 1 : 0);
}

// An edge that crosses rows: top (x0, y0), bottom (x1, y1), y0 < y1.
struct Edge {
  int64_t x0, y0, x1, y1;
};

}  // namespace

bool FillPolygonMask(DibBitmap& mask, const IntPoint* points, int count, IntPoint origin) {
  if (count < 1 || !points || DibDepth(mask) != 1) return true;
  const int width = DibWidth(mask), height = DibHeight(mask);
  auto vertex = [&](int i, int64_t& x, int64_t& y) {
    x = Limit(points[i].x) - origin.x;
    y = Limit(points[i].y) - origin.y;
  };

  // The pen: the polyline, then its closing segment.
  if (count >= 2) {
    const IntPoint closing[2] = {points[count - 1], points[0]};
    DrawPolylineOnMask(&mask, origin.x, origin.y, points, count, 1);
    DrawPolylineOnMask(&mask, origin.x, origin.y, closing, 2, 1);
  }
  if (count < 3) return true;

  // The brush: an edge table sorted by top row, walked row by row with the active edges.
  std::unique_ptr<Edge[]> edges(new (std::nothrow) Edge[count]);
  std::unique_ptr<int64_t[]> crossings(new (std::nothrow) int64_t[count]);
  std::unique_ptr<int[]> active(new (std::nothrow) int[count]);
  if (!edges || !crossings || !active) return false;
  int edgeCount = 0;
  int64_t yMin = INT64_MAX, yMax = INT64_MIN;
  for (int i = 0; i < count; ++i) {
    int64_t ax, ay, bx, by;
    vertex(i, ax, ay);
    vertex((i + 1) % count, bx, by);
    if (ay == by) continue;  // horizontal edges cross no row
    edges[edgeCount++] = ay < by ? Edge{ax, ay, bx, by} : Edge{bx, by, ax, ay};
    yMin = std::min(yMin, std::min(ay, by));
    yMax = std::max(yMax, std::max(ay, by));
  }
  if (edgeCount == 0) return true;
  std::sort(edges.get(), edges.get() + edgeCount, [](const Edge& a, const Edge& b) { return a.y0 < b.y0; });

  const int64_t firstRow = std::max<int64_t>(yMin, 0);
  const int64_t lastRow = std::min<int64_t>(yMax - 1, height - 1);
  int next = 0, activeCount = 0;
  for (int64_t j = firstRow; j <= lastRow; ++j) {
    // Active edges are those with y0 <= j < y1.
    while (next < edgeCount && edges[next].y0 <= j) active[activeCount++] = next++;
    int kept = 0, n = 0;
    for (int a = 0; a < activeCount; ++a) {
      const Edge& ed = edges[active[a]];
      if (ed.y1 <= j) continue;
      active[kept++] = active[a];
      // x = x0 + (j - y0) (x1 - x0) / (y1 - y0); only its ceiling matters, and sorting the
      // ceilings gives the same pairs of fill limits as sorting the exact crossings.
      crossings[n++] = ed.x0 + CeilDiv((j - ed.y0) * (ed.x1 - ed.x0), ed.y1 - ed.y0);
    }
    activeCount = kept;
    std::sort(crossings.get(), crossings.get() + n);
    uint8_t* row = DibRow(mask, static_cast<int>(j));
    // Each pair (left, right) fills ceil(left) .. ceil(right) - 1.
    for (int p = 0; p + 1 < n; p += 2) {
      const int64_t a = std::max<int64_t>(crossings[p], 0);
      const int64_t b = std::min<int64_t>(crossings[p + 1] - 1, width - 1);
      SetMaskBits(row, static_cast<int>(a), static_cast<int>(b));
    }
  }
  return true;
}

bool MaskHasAnyBit(const DibBitmap& mask) {
  if (DibDepth(mask) != 1) return false;
  const int width = DibWidth(mask);
  const int fullBytes = width >> 3;
  const uint8_t tail = static_cast<uint8_t>(0xFF << (8 - (width & 7)));
  for (int y = 0; y < DibHeight(mask); ++y) {
    const uint8_t* row = DibRow(mask, y);
    for (int i = 0; i < fullBytes; ++i)
      if (row[i]) return true;
    if ((width & 7) && (row[fullBytes] & tail)) return true;
  }
  return false;
}
