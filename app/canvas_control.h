// Canvas control from another program: the registered message "Dotwright_CanvasControl_Msg"
// pans the view. wParam selects the operation; lParam carries the scroll distances.
#pragma once

#include <cstdint>

#include "view/canvas_view.h"
#include "app/input_step.h"

inline constexpr char16_t kCanvasControlMessageName[] = u"Dotwright_CanvasControl_Msg";

enum CanvasControlOperation : uint32_t {
  kCanvasControlNone = 0,
  kCanvasControlPanOn = 0x1200,   // mouse moves stop drawing; the hand cursor shows
  kCanvasControlScroll = 0x1201,  // scroll by dx = signed low 16 bits, dy = signed high 16 bits
  kCanvasControlPanOff = 0x1202,
};

struct CanvasControl {
  CanvasControlOperation operation;  // kCanvasControlNone for any other wParam
  int32_t dx, dy;
};

CanvasControl DecodeCanvasControl(uint64_t wParam, uint64_t lParam);

// Applies a decoded operation: pan on/off set both pan flags; scroll moves the view (under the
// view lock). The caller then sets the cursor or refreshes the information window. Returns
// true when something changed.
bool ApplyCanvasControl(InputStep& step, CanvasView& view, const CanvasControl& control);
