// The application context handed to every stroke handler: the canvas, the pen presets with the
// current one, the view and the pointer input. The main window owns what it points to.
#pragma once

#include <cstdint>

#include "brush/pen_setting.h"
#include "canvas/canvas.h"

struct CanvasView;
struct FloatingSelection;
struct InputState;

struct AppContext {
  Canvas* canvas;
  PenSetting* pens;      // kPenCount presets
  int32_t* currentPen;   // index into pens, 0..15
  CanvasView* view;
  InputState* input;
  // The selection tools' state: the lifted image waiting to be dropped (tools/floating_selection.h).
  // Null where no selection can be made; the selection kinds then do nothing.
  FloatingSelection* floating = nullptr;
};

inline PenSetting& CurrentPen(AppContext& app) { return app.pens[*app.currentPen]; }
