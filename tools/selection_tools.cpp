#include "tools/selection_tools.h"

#include <algorithm>

#include "brush/pen_kind_table.h"
#include "tools/floating_selection.h"
#include "tools/lasso_path.h"
#include "view/canvas_view.h"
#include "view/sample_to_canvas.h"

namespace {

// The stroke being drawn; one stroke runs at a time, on the window thread.
LassoPath gLasso;

struct RectSelection {
  bool active = false;
  IntPoint start{}, current{};  // canvas corners
  IntPoint shown[4]{};          // client corners of the feedback on the back buffer
  bool feedbackShown = false;
};
RectSelection gRect;

bool IsAllLayerKind(int kind) { return kind == kKindRectangleSelectionAll || kind == kKindLassoSelectionAll; }

// The common conditions: an editable current layer and a floating-selection record.
bool MaySelect(const AppContext& app) {
  return app.floating && IsLayerEditable(app.canvas->layers, app.canvas->currentLayer);
}

// Lifts the closed polygon and reports the erased rectangle; 0 when nothing was lifted.
int Lift(AppContext& app, const IntPoint* points, int count, PixelRect& dirty) {
  const PixelRect lifted = LiftSelection(app, points, count, IsAllLayerKind(CurrentPen(app).KindOfPen));
  if (IsRectEmpty(lifted)) return 0;
  dirty = lifted;
  return 1;
}

// Closes the lasso: removes the feedback, lifts, frees the lists.
int CloseLasso(AppContext& app, PixelRect& dirty) {
  RedrawCanvasBox(app, gLasso.canvasBox);
  const int changed = Lift(app, gLasso.canvas.get(), gLasso.count, dirty);
  EndLasso(gLasso);
  return changed;
}

// Inverts the rectangle outline of the canvas corners a and b and remembers it as shown.
void ShowRectFeedback(const AppContext& app, IntPoint a, IntPoint b) {
  const CanvasView& view = *app.view;
  gRect.shown[0] = LassoClientPoint(view, a);
  gRect.shown[1] = LassoClientPoint(view, {b.x, a.y});
  gRect.shown[2] = LassoClientPoint(view, b);
  gRect.shown[3] = LassoClientPoint(view, {a.x, b.y});
  InvertClosedPolyline(view.backBuffer, gRect.shown, 4);
  gRect.feedbackShown = true;
}

// Inverts the shown outline again, which removes it.
void HideRectFeedback(const AppContext& app) {
  if (!gRect.feedbackShown) return;
  InvertClosedPolyline(app.view->backBuffer, gRect.shown, 4);
  gRect.feedbackShown = false;
}

// The client box of the shown outline, grown by 1 on the right and bottom; empty when none.
PixelRect ShownBox() {
  if (!gRect.feedbackShown) return PixelRect{};
  PixelRect box{gRect.shown[0].x, gRect.shown[0].y, gRect.shown[0].x, gRect.shown[0].y};
  for (const IntPoint& p : gRect.shown) {
    box.left = std::min(box.left, p.x);
    box.top = std::min(box.top, p.y);
    box.right = std::max(box.right, p.x);
    box.bottom = std::max(box.bottom, p.y);
  }
  return {box.left, box.top, box.right + 1, box.bottom + 1};
}

IntPoint CanvasPixel(const CanvasSample& s) { return {TruncateCanvasCoordinate(s.x), TruncateCanvasCoordinate(s.y)}; }

}  // namespace

int SelectionLassoPointCount() { return gLasso.count; }

int LassoHandler(AppContext& app, PixelRect& dirty) {
  if (!MaySelect(app)) return 0;
  const CanvasSample current = SampleToCanvas(*app.input, *app.view, true, false);
  const CanvasSample previous = SampleToCanvas(*app.input, *app.view, true, true);
  if (previous.pressure == 0.0f && current.pressure != 0.0f) {
    BeginLasso(gLasso, *app.view, current.x, current.y);
    return 0;
  }
  if (gLasso.count < 1) return 0;  // no lasso (closed at its limit, or never begun)
  if (current.pressure != 0.0f) {
    if (ExtendLasso(gLasso, app, current.x, current.y, kSelectionLassoCloseAt) != LassoStep::kFull) return 0;
  }
  return CloseLasso(app, dirty);
}

int RectSelectHandler(AppContext& app, PixelRect& dirty) {
  if (!MaySelect(app)) return 0;
  const CanvasSample current = SampleToCanvas(*app.input, *app.view, true, false);
  const CanvasSample previous = SampleToCanvas(*app.input, *app.view, true, true);
  if (previous.pressure == 0.0f && current.pressure != 0.0f) {
    HideRectFeedback(app);
    gRect.active = true;
    gRect.start = gRect.current = CanvasPixel(current);
    ShowRectFeedback(app, gRect.start, gRect.start);
    InvalidateViewRect(app, ShownBox());
    return 0;
  }
  if (!gRect.active) return 0;
  gRect.current = CanvasPixel(current);
  if (current.pressure != 0.0f) {
    const PixelRect before = ShownBox();
    HideRectFeedback(app);
    ShowRectFeedback(app, gRect.start, gRect.current);
    InvalidateViewRect(app, UnionRect(before, ShownBox()));
    return 0;
  }

  // Release: the polygon of the four corners, lifted like a closed lasso.
  HideRectFeedback(app);
  gRect.active = false;
  const IntPoint a = gRect.start, b = gRect.current;
  const IntPoint corners[4] = {a, {b.x, a.y}, b, {a.x, b.y}};
  RedrawCanvasBox(app, {std::min(a.x, b.x), std::min(a.y, b.y), std::max(a.x, b.x), std::max(a.y, b.y)});
  return Lift(app, corners, 4, dirty);
}
