#include "tools/lasso_fill.h"

#include <algorithm>

#include "tools/pen_kind_table.h"
#include "canvas/masked_ops.h"
#include "tools/lasso_path.h"
#include "tools/polygon_mask.h"
#include "tools/stroke_phase.h"
#include "view/sample_to_canvas.h"

namespace {

constexpr DibColour kMaskColours[2] = {{0, 0, 0, 0}, {255, 255, 255, 0}};

// Applies the closed lasso to the canvas; returns 1 with the changed rectangle, or 0.
int ApplyLasso(AppContext& app, PixelRect& dirty) {
  Canvas& canvas = *app.canvas;
  const PixelRect& box = app.tools.fillLasso.canvasBox;  // right and bottom inclusive
  // The pen lights the largest coordinates too, so the mask reaches one past them; it is cut
  // to the canvas.
  const int64_t left = std::max<int64_t>(box.left, 0), top = std::max<int64_t>(box.top, 0);
  const int64_t right = std::min<int64_t>(int64_t{box.right} + 1, canvas.width);
  const int64_t bottom = std::min<int64_t>(int64_t{box.bottom} + 1, canvas.height);
  if (app.tools.fillLasso.count < 3 || int64_t{box.right} - box.left < 1 || int64_t{box.bottom} - box.top < 1) return 0;
  if (left >= right || top >= bottom || !canvas.bitmap) return 0;
  const int x = static_cast<int>(left), y = static_cast<int>(top);
  const int w = static_cast<int>(right - left), h = static_cast<int>(bottom - top);

  DibBitmap* mask = CreateDibBitmap(1, kMaskColours, 2, w, h);
  if (!mask) return 0;
  FillPolygonMask(*mask, app.tools.fillLasso.canvas.get(), app.tools.fillLasso.count, IntPoint{x, y});
  const BlitArea area{x, y, w, h, 0, 0};
  const int layer = DrawingLayer(CurrentPen(app), canvas.currentLayer);
  switch (PenKindFactsOf(CurrentPen(app).KindOfPen).mode) {
    case kPaintLayer:
      SetLayerInRegion(*canvas.bitmap, area, *mask, *mask, canvas.layers, layer);
      break;
    case kEraseLayer:
      EraseLayerWithMask(*canvas.bitmap, area, *mask, canvas.layers, layer);
      break;
    default:
      EraseWithMask(*canvas.bitmap, area, *mask, canvas.layers);
      break;
  }
  FreeDibBitmap(mask);
  dirty = {x, y, x + w, y + h};
  return 1;
}

}  // namespace


int LassoFillHandler(AppContext& app, PixelRect& dirty) {
  if (!IsLayerEditable(app.canvas->layers, app.canvas->currentLayer)) return 0;
  const CanvasSample current = SampleToCanvas(*app.input, *app.view, true, false);
  const StrokePhase phase = PhaseOf(app);
  if (phase == StrokePhase::kPress) {
    BeginLasso(app.tools.fillLasso, *app.view, current.x, current.y);
    return 0;
  }
  if (app.tools.fillLasso.count < 1) return 0;  // no lasso (closed at its limit, or never begun)
  if (phase == StrokePhase::kDrag) {
    if (ExtendLasso(app.tools.fillLasso, app, current.x, current.y, kFillLassoCloseAt) != LassoStep::kFull) return 0;
  }
  RedrawCanvasBox(app, app.tools.fillLasso.canvasBox);
  const int changed = ApplyLasso(app, dirty);
  EndLasso(app.tools.fillLasso);
  // A lasso that changed nothing still ends the stroke; the input step commits only a
  // non-empty rectangle.
  return changed;
}
