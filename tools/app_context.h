// The application context handed to every stroke handler: the canvas, the pen presets with the
// current one, the view, the pointer input, and what the session keeps for the pens (texture,
// paper grain, stamp cache, per-stroke tool state). The application layer owns what the
// pointers point to and the resources held here (ReleaseStrokeResources frees them).
#pragma once

#include <cstdint>

#include "brush/pen_setting.h"
#include "canvas/canvas.h"
#include "tools/tool_state.h"

struct AppContext;
struct CanvasView;
struct FloatingSelection;
struct InputState;
struct StampCache;

// A stroke handler paints one sample's piece of stroke and returns nonzero when it changed
// pixels, with the changed canvas rectangle in dirty.
using StrokeHandler = int (*)(AppContext& app, PixelRect& dirty);

struct AppContext {
  Canvas* canvas;
  PenSetting* pens;      // kPenCount presets
  int32_t* currentPen;   // index into pens, 0..15
  CanvasView* view;
  InputState* input;
  // The selection tools' state: the lifted image waiting to be dropped (tools/floating_selection.h).
  // Null where no selection can be made; the selection kinds then do nothing.
  FloatingSelection* floating = nullptr;
  DibBitmap* texture = nullptr;       // texture of the current pen (kind 4), or null; owned
  DibBitmap* material = nullptr;      // paper grain, or null; owned
  StampCache* stampCache = nullptr;   // transformed stamps (kind 19), made on first use; owned
  ToolState tools{};
};

inline PenSetting& CurrentPen(AppContext& app) { return app.pens[*app.currentPen]; }

// Frees the texture, the paper grain and the stamp cache.
void ReleaseStrokeResources(AppContext& app);
