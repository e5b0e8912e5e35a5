// The freehand outline of the lasso tools (selection kinds 16 and 18, lasso fill and erase
// kinds 20 to 22): up to 8000 points kept twice, as client points for the inverted feedback
// and as truncated canvas points for the fill, with running boxes of both. The point lists
// are allocated at pen-down and freed when the lasso ends.
#pragma once

#include "canvas/pixel_rect.h"
#include "tools/app_context.h"
#include "tools/feedback_outline.h"
#include "tools/position_trunc.h"
#include "tools/tool_state.h"

// What adding a point did.
enum class LassoStep {
  kIgnored,  // no lasso, or the point falls on the last client point: nothing stored
  kStored,   // stored and drawn
  kFull,     // stored, and the lasso reached its point limit: close it now
};

// The client point of a canvas pixel: CanvasToClient of (x, y) plus trunc(1 / scale) / 2 on
// each coordinate (the middle of the pixel's block on a magnified view).
IntPoint LassoClientPoint(const CanvasView& view, IntPoint canvasPoint);

// Pen-down at canvas position (x, y): allocates the lists and stores point 0, its canvas
// position truncated. Returns false (and leaves no lasso) when memory ran out.
bool BeginLasso(LassoPath& lasso, const CanvasView& view, float x, float y);

// A drag to canvas position (x, y): unless its client point equals the last one, stores it,
// inverts the segment from the last client point to it on the view's back buffer and asks
// for that segment's box (grown by 1 on the right and bottom) to be repainted. The lasso is
// full when count reaches closeAt (7998 for the selections, 7999 for lasso fill).
LassoStep ExtendLasso(LassoPath& lasso, const AppContext& app, float x, float y, int closeAt);

// Removes a tool's feedback over a canvas box (right and bottom inclusive, as the lasso keeps
// it): redraws its client rectangle, grown by 1 on the right and bottom, from the composed
// image and asks for its repaint.
void RedrawCanvasBox(const AppContext& app, const PixelRect& canvasBox);

// Frees the lists; count becomes 0.
void EndLasso(LassoPath& lasso);
