#include "tools/lasso_path.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <new>

#include "tools/floating_selection.h"
#include "view/canvas_view.h"
#include "view/view_mapping.h"

namespace {

void Extend(PixelRect& box, IntPoint p) {
  box.left = std::min(box.left, p.x);
  box.top = std::min(box.top, p.y);
  box.right = std::max(box.right, p.x);
  box.bottom = std::max(box.bottom, p.y);
}

}  // namespace

IntPoint LassoClientPoint(const CanvasView& view, IntPoint p) {
  const ViewPoint c = CanvasToClient(view, static_cast<float>(p.x), static_cast<float>(p.y));
  const int32_t half = static_cast<int32_t>(1.0f / view.scale) / 2;
  return {c.x + half, c.y + half};
}

bool BeginLasso(LassoPath& lasso, const CanvasView& view, float x, float y) {
  EndLasso(lasso);
  lasso.client.reset(new (std::nothrow) IntPoint[kLassoCapacity]);
  lasso.canvas.reset(new (std::nothrow) IntPoint[kLassoCapacity]);
  if (!lasso.client || !lasso.canvas) {
    EndLasso(lasso);
    return false;
  }
  const IntPoint p{TruncateToInt(x), TruncateToInt(y)};
  const IntPoint c = LassoClientPoint(view, p);
  lasso.canvas[0] = p;
  lasso.client[0] = c;
  lasso.canvasBox = {p.x, p.y, p.x, p.y};
  lasso.clientBox = {c.x, c.y, c.x, c.y};
  lasso.count = 1;
  return true;
}

LassoStep ExtendLasso(LassoPath& lasso, const AppContext& app, float x, float y, int closeAt) {
  if (lasso.count < 1 || lasso.count >= kLassoCapacity) return LassoStep::kIgnored;
  const CanvasView& view = *app.view;
  const IntPoint p{TruncateToInt(x), TruncateToInt(y)};
  const IntPoint c = LassoClientPoint(view, p);
  const IntPoint last = lasso.client[lasso.count - 1];
  if (c == last) return LassoStep::kIgnored;
  lasso.canvas[lasso.count] = p;
  lasso.client[lasso.count] = c;
  InvertLine(view.backBuffer, last.x, last.y, c.x, c.y);
  InvalidateViewRect(app, {std::min(last.x, c.x), std::min(last.y, c.y), std::max(last.x, c.x) + 1,
                           std::max(last.y, c.y) + 1});
  Extend(lasso.canvasBox, p);
  Extend(lasso.clientBox, c);
  ++lasso.count;
  return lasso.count >= closeAt ? LassoStep::kFull : LassoStep::kStored;
}

void RedrawCanvasBox(const AppContext& app, const PixelRect& canvasBox) {
  CanvasView& view = *app.view;
  const PixelRect box{canvasBox.left, canvasBox.top, canvasBox.right == INT32_MAX ? INT32_MAX : canvasBox.right + 1,
                      canvasBox.bottom == INT32_MAX ? INT32_MAX : canvasBox.bottom + 1};
  PixelRect client = CanvasRectToClient(view, box);
  if (client.right < INT32_MAX) ++client.right;
  if (client.bottom < INT32_MAX) ++client.bottom;
  if (view.hooks.renderViewRect) view.hooks.renderViewRect(view, client);
  InvalidateViewRect(app, client);
}

void EndLasso(LassoPath& lasso) {
  lasso.client.reset();
  lasso.canvas.reset();
  lasso.count = 0;
}
