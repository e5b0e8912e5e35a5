#include "tools/feedback_outline.h"

#include <vector>

#include "tools/pixel_line.h"
#include "tools/shape_tools.h"
#include "view/canvas_view.h"

namespace {

constexpr uint8_t kInvert = 0xFF;

bool IsOutlineTarget(const DibBitmap* target) {
  return target && target->bits && DibDepth(*target) == 32;
}

void InvertRun(DibBitmap& target, const LineRun& run) {
  if (run.count <= 0) return;
  // Rows are stored bottom-up: one step down the canvas is one stride back in memory.
  const ptrdiff_t stride = target.stride;
  const ptrdiff_t majorStep = run.majorX * 4 - run.majorY * stride;
  const ptrdiff_t minorStep = run.minorX * 4 - run.minorY * stride;
  uint8_t* p = DibRow(target, run.y) + static_cast<ptrdiff_t>(run.x) * 4;
  int64_t rem = run.rem;
  // Invariant: p addresses the pixel of step k, which lies inside the bitmap (ClipLine).
  for (int64_t k = 0; k < run.count; ++k) {
    p[0] ^= kInvert;
    p[1] ^= kInvert;
    p[2] ^= kInvert;
    if (k + 1 == run.count) break;  // never form a pointer past the clipped run
    rem += run.remStep;
    if (rem >= run.remLimit) {
      rem -= run.remLimit;
      p += minorStep;
    }
    p += majorStep;
  }
}

}  // namespace

void InvertLine(DibBitmap* target, int32_t x0, int32_t y0, int32_t x1, int32_t y1) {
  if (!IsOutlineTarget(target)) return;
  InvertRun(*target, ClipLine(x0, y0, x1, y1, DibWidth(*target), DibHeight(*target)));
}

void InvertPolyline(DibBitmap* target, const IntPoint* points, int count) {
  if (!IsOutlineTarget(target) || !points) return;
  for (int i = 0; i + 1 < count; ++i)
    InvertLine(target, points[i].x, points[i].y, points[i + 1].x, points[i + 1].y);
}

void InvertClosedPolyline(DibBitmap* target, const IntPoint* points, int count) {
  if (!IsOutlineTarget(target) || !points || count < 2) return;
  InvertPolyline(target, points, count);
  InvertLine(target, points[count - 1].x, points[count - 1].y, points[0].x, points[0].y);
}

void InvertShapeOutline(DibBitmap* target, int32_t x0, int32_t y0, int32_t x1, int32_t y1,
                        int kind) {
  if (!IsOutlineTarget(target)) return;
  std::vector<IntPoint> points;
  ShapePoints(kind, x0, y0, x1, y1, 0.0f, points);
  InvertPolyline(target, points.data(), static_cast<int>(points.size()));
}


void InvalidateClient(CanvasView& view, const PixelRect* clientRect) {
  if (view.hooks.invalidateClient) view.hooks.invalidateClient(view, clientRect);
}
