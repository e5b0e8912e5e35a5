// Rectangle and lasso selection (kinds 15 to 18). While the pen is down the outline is shown
// inverted on the view's back buffer; on release the enclosed area is lifted into the floating
// selection (tools/floating_selection.h) and erased from the canvas, and the handler reports
// the erased rectangle so that the input step commits it.
//
//   15  rectangle, drawing layer        16  lasso, drawing layer
//   17  rectangle, all editable layers  18  lasso, all editable layers
//
// The rectangle is aligned to the canvas: its corners are the pen-down and the current canvas
// positions, truncated (on a rotated view it is shown rotated), and it covers both corner
// pixels. A lasso is closed and lifted at once when it reaches 7998 points.
//
// Common conditions: nothing happens (0) while the current layer is locked or hidden, or when
// the application context has no floating-selection record. Both handlers read the raw
// samples.
#pragma once

#include "canvas/pixel_rect.h"
#include "tools/app_context.h"

// The lasso closes itself when its point count reaches this, leaving room for the closing point.
inline constexpr int kSelectionLassoCloseAt = 7998;

int RectSelectHandler(AppContext& app, PixelRect& dirty);  // kinds 15 and 17
int LassoHandler(AppContext& app, PixelRect& dirty);       // kinds 16 and 18

