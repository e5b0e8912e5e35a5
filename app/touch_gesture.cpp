#include "app/touch_gesture.h"

#include <algorithm>
#include <cmath>

#include "view/view_commands.h"
#include "view/view_operations.h"

namespace {

int FingerOf(const TouchGesture& g, uint32_t id) {
  for (int i = 0; i < g.fingers; ++i)
    if (g.id[i] == id) return i;
  return -1;
}

double Distance(const TouchGesture& g) { return std::hypot(double(g.x[1] - g.x[0]), double(g.y[1] - g.y[0])); }

// The angle of the line from the first finger to the second, measured as the rotate drag
// measures the cursor about the centre (horizontal offset first), so a twist turns the picture
// the way a rotate drag in the same direction does.
double Angle(const TouchGesture& g) { return std::atan2(double(g.x[1] - g.x[0]), double(g.y[1] - g.y[0])); }

}  // namespace

bool TouchGestureRunning(const TouchGesture& gesture) { return gesture.fingers > 0; }

TouchStep TouchDown(TouchGesture& g, uint32_t id, int32_t x, int32_t y) {
  TouchStep step;
  if (g.fingers >= 2 || g.ended || FingerOf(g, id) >= 0) return step;
  const int i = g.fingers++;
  g.id[i] = id;
  g.x[i] = x;
  g.y[i] = y;
  if (g.fingers == 2) {
    g.twoFinger = true;
    g.midX = (g.x[0] + g.x[1]) / 2;
    g.midY = (g.y[0] + g.y[1]) / 2;
    // Fingers landing on one point have no distance to compare with: count it as one pixel.
    g.startDistance = std::max(1.0, Distance(g));
    g.startAngle = Angle(g);
    g.zoom = 1.0f;
    g.angle = 0;
    step.kind = TouchStep::kBeginPreview;
  }
  return step;
}

TouchStep TouchMove(TouchGesture& g, uint32_t id, int32_t x, int32_t y) {
  TouchStep step;
  const int i = FingerOf(g, id);
  if (i < 0 || g.ended) return step;
  const int32_t dx = g.x[i] - x, dy = g.y[i] - y;
  g.x[i] = x;
  g.y[i] = y;
  if (!g.twoFinger) {
    if (dx == 0 && dy == 0) return step;
    step.kind = TouchStep::kScroll;
    step.dx = dx;
    step.dy = dy;
    return step;
  }
  g.zoom = static_cast<float>(std::clamp(Distance(g) / g.startDistance, 1.0 / kTouchZoomLimit, double(kTouchZoomLimit)));
  g.angle = Angle(g) - g.startAngle;
  step.kind = TouchStep::kPreview;
  step.preview = {static_cast<float>(g.angle), g.midX, g.midY, g.zoom};
  return step;
}

TouchStep TouchUp(TouchGesture& g, uint32_t id) {
  TouchStep step;
  const int i = FingerOf(g, id);
  if (i < 0) return step;
  // Forget the finger, keeping the other one's slot first.
  if (i == 0) {
    g.id[0] = g.id[1];
    g.x[0] = g.x[1];
    g.y[0] = g.y[1];
  }
  --g.fingers;
  if (g.twoFinger && !g.ended) {
    g.ended = true;
    step.kind = TouchStep::kApply;
  }
  // The last finger up: the next touch starts afresh (the caller applied the pair's work at
  // the first lift, while this record still held it).
  if (g.fingers == 0) g = TouchGesture{};
  return step;
}

void ApplyTouchGesture(const TouchGesture& g, CanvasView& view) {
  const int32_t offsetX = g.midX - view.clientWidth / 2, offsetY = g.midY - view.clientHeight / 2;
  ScrollViewBy(view, offsetX, offsetY);
  if (g.zoom != 1.0f) SetViewScale(view, view.scale / g.zoom);
  if (g.angle != 0) SetViewRotation(view, static_cast<float>(view.rotation + DragRotationDegrees(0, g.angle)));
  ScrollViewBy(view, -offsetX, -offsetY);
}
