#include "tools/selection_tools.h"

#include <algorithm>

#include "tools/pen_kind_table.h"
#include "tools/floating_selection.h"
#include "tools/lasso_path.h"
#include "tools/stroke_phase.h"
#include "view/canvas_view.h"
#include "view/sample_to_canvas.h"

namespace {

// The common conditions: an editable current layer and a floating-selection record.
bool MaySelect(const AppContext& app) {
  return app.floating && IsLayerEditable(app.canvas->layers, app.canvas->currentLayer);
}

// Lifts the closed polygon and reports the erased rectangle; 0 when nothing was lifted.
int Lift(AppContext& app, const IntPoint* points, int count, PixelRect& dirty) {
  const PixelRect lifted = LiftSelection(app, points, count, PenKindFactsOf(CurrentPen(app).KindOfPen).allLayers);
  if (IsRectEmpty(lifted)) return 0;
  dirty = lifted;
  return 1;
}

// Closes the lasso: removes the feedback, lifts, frees the lists.
int CloseLasso(AppContext& app, PixelRect& dirty) {
  RedrawCanvasBox(app, app.tools.selectionLasso.canvasBox);
  const int changed = Lift(app, app.tools.selectionLasso.canvas.get(), app.tools.selectionLasso.count, dirty);
  EndLasso(app.tools.selectionLasso);
  return changed;
}

// Inverts the rectangle outline of the canvas corners a and b and remembers it as shown.
void ShowRectFeedback(AppContext& app, IntPoint a, IntPoint b) {
  const CanvasView& view = *app.view;
  app.tools.rect.shown[0] = LassoClientPoint(view, a);
  app.tools.rect.shown[1] = LassoClientPoint(view, {b.x, a.y});
  app.tools.rect.shown[2] = LassoClientPoint(view, b);
  app.tools.rect.shown[3] = LassoClientPoint(view, {a.x, b.y});
  InvertClosedPolyline(view.backBuffer, app.tools.rect.shown, 4);
  app.tools.rect.feedbackShown = true;
}

// Inverts the shown outline again, which removes it.
void HideRectFeedback(AppContext& app) {
  if (!app.tools.rect.feedbackShown) return;
  InvertClosedPolyline(app.view->backBuffer, app.tools.rect.shown, 4);
  app.tools.rect.feedbackShown = false;
}

// The client box of the shown outline, grown by 1 on the right and bottom; empty when none.
PixelRect ShownBox(const RectSelection& rect) {
  if (!rect.feedbackShown) return PixelRect{};
  PixelRect box{rect.shown[0].x, rect.shown[0].y, rect.shown[0].x, rect.shown[0].y};
  for (const IntPoint& p : rect.shown) {
    box.left = std::min(box.left, p.x);
    box.top = std::min(box.top, p.y);
    box.right = std::max(box.right, p.x);
    box.bottom = std::max(box.bottom, p.y);
  }
  return {box.left, box.top, box.right + 1, box.bottom + 1};
}

IntPoint CanvasPixel(const CanvasSample& s) { return {TruncateToInt(s.x), TruncateToInt(s.y)}; }

}  // namespace


int LassoHandler(AppContext& app, PixelRect& dirty) {
  if (!MaySelect(app)) return 0;
  const CanvasSample current = SampleToCanvas(*app.input, *app.view, true, false);
  const StrokePhase phase = PhaseOf(app);
  if (phase == StrokePhase::kPress) {
    BeginLasso(app.tools.selectionLasso, *app.view, current.x, current.y);
    return 0;
  }
  if (app.tools.selectionLasso.count < 1) return 0;  // no lasso (closed at its limit, or never begun)
  if (phase == StrokePhase::kDrag) {
    if (ExtendLasso(app.tools.selectionLasso, app, current.x, current.y, kSelectionLassoCloseAt) != LassoStep::kFull) return 0;
  }
  return CloseLasso(app, dirty);
}

int RectSelectHandler(AppContext& app, PixelRect& dirty) {
  if (!MaySelect(app)) return 0;
  const CanvasSample current = SampleToCanvas(*app.input, *app.view, true, false);
  const StrokePhase phase = PhaseOf(app);
  if (phase == StrokePhase::kPress) {
    HideRectFeedback(app);
    app.tools.rect.active = true;
    app.tools.rect.start = app.tools.rect.current = CanvasPixel(current);
    ShowRectFeedback(app, app.tools.rect.start, app.tools.rect.start);
    InvalidateViewRect(app, ShownBox(app.tools.rect));
    return 0;
  }
  if (!app.tools.rect.active) return 0;
  app.tools.rect.current = CanvasPixel(current);
  if (phase == StrokePhase::kDrag) {
    const PixelRect before = ShownBox(app.tools.rect);
    HideRectFeedback(app);
    ShowRectFeedback(app, app.tools.rect.start, app.tools.rect.current);
    InvalidateViewRect(app, UnionRect(before, ShownBox(app.tools.rect)));
    return 0;
  }

  // Release: the polygon of the four corners, lifted like a closed lasso.
  HideRectFeedback(app);
  app.tools.rect.active = false;
  const IntPoint a = app.tools.rect.start, b = app.tools.rect.current;
  const IntPoint corners[4] = {a, {b.x, a.y}, b, {a.x, b.y}};
  RedrawCanvasBox(app, {std::min(a.x, b.x), std::min(a.y, b.y), std::max(a.x, b.x), std::max(a.y, b.y)});
  return Lift(app, corners, 4, dirty);
}
