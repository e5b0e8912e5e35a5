#include "view/brush_outline.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "brush/pen_setting.h"
#include "view/sample_to_canvas.h"
#include "view/view_mapping.h"

namespace {

// trunc toward zero, limited to the int32 range (NaN gives 0). Not TruncToInt32 of
// view/view_mapping.h, on purpose: 2147483520, the largest float below 2^31, gives INT32_MAX
// here and 2147483520 there, and the outline keeps the value it always had.
int32_t TruncToInt(float v) {
  if (!(v == v)) return 0;
  if (v >= 2147483520.0f) return std::numeric_limits<int32_t>::max();
  if (v <= -2147483648.0f) return std::numeric_limits<int32_t>::min();
  return static_cast<int32_t>(v);
}

}  // namespace

BrushOutline BrushOutlineAt(int32_t penDiameter, float scale, int32_t centreX, int32_t centreY) {
  BrushOutline o{};
  o.centreX = centreX;
  o.centreY = centreY;
  penDiameter = std::clamp(penDiameter, 0, kMaxPenSize);  // the outline of a damaged size stays finite
  o.size = scale > 0.0f ? TruncToInt(static_cast<float>(penDiameter) / scale) : 0;
  if (o.size < 0) o.size = 0;
  o.ellipse = o.size >= kOutlineEllipseMinSize;
  if (o.ellipse) {
    const int32_t left = centreX - o.size / 2, top = centreY - o.size / 2;
    o.ellipseBox = {left, top, left + o.size, top + o.size};
  }
  o.cross = o.size >= kOutlineCrossMinSize;
  if (o.cross) {
    o.crossLines[0] = {centreX - 5, centreY, centreX + 6, centreY};
    o.crossLines[1] = {centreX, centreY - 5, centreX, centreY + 6};
  }
  return o;
}

void BrushOutlineCentre(const CanvasView& view, const InputState& input, int32_t& centreX, int32_t& centreY) {
  const CanvasSample s = SampleToCanvas(input, view, true, false);
  const ViewPoint client =
      CanvasToClient(view, static_cast<float>(TruncToInt(s.x)), static_cast<float>(TruncToInt(s.y)));
  const float half = view.scale > 0.0f ? 0.5f / view.scale : 0.0f;
  centreX = TruncToInt(static_cast<float>(client.x) + half);
  centreY = TruncToInt(static_cast<float>(client.y) + half);
}

BrushOutline CurrentBrushOutline(const CanvasView& view, const InputState& input, int32_t penDiameter) {
  int32_t cx = 0, cy = 0;
  BrushOutlineCentre(view, input, cx, cy);
  return BrushOutlineAt(penDiameter, view.scale, cx, cy);
}

bool ShouldDrawBrushOutline(bool outlineFlag, int32_t kindOfPen, int32_t brushCursor, bool panMode) {
  const bool selectionKind = kindOfPen >= 15 && kindOfPen <= 18;
  return outlineFlag && !selectionKind && brushCursor == 1 && !panMode;
}
