#include "app/canvas_control.h"

#include <mutex>

#include "view/view_operations.h"

CanvasControl DecodeCanvasControl(uint64_t wParam, uint64_t lParam) {
  CanvasControl c{kCanvasControlNone, 0, 0};
  switch (wParam) {
    case kCanvasControlPanOn:
    case kCanvasControlPanOff:
      c.operation = static_cast<CanvasControlOperation>(wParam);
      break;
    case kCanvasControlScroll:
      c.operation = kCanvasControlScroll;
      c.dx = static_cast<int16_t>(lParam & 0xFFFF);
      c.dy = static_cast<int16_t>((lParam >> 16) & 0xFFFF);
      break;
    default:
      break;
  }
  return c;
}

bool ApplyCanvasControl(InputStep& step, CanvasView& view, const CanvasControl& control) {
  switch (control.operation) {
    case kCanvasControlPanOn:
      step.panMode = step.externalPan = true;
      return true;
    case kCanvasControlPanOff:
      step.panMode = step.externalPan = false;
      return true;
    case kCanvasControlScroll: {
      std::lock_guard<std::recursive_mutex> guard(step.update.lock);
      ScrollViewBy(view, control.dx, control.dy);
      return true;
    }
    default:
      return false;
  }
}
