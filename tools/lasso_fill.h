// Lasso fill and lasso erase (kinds 20, 21, 22): the user draws a freehand outline, shown
// inverted on the view's back buffer; on release the enclosed area (the polygon fill of
// tools/polygon_mask.h) is changed at once:
//   20  paints the drawing layer inside the outline
//   21  erases the drawing layer inside it
//   22  erases every editable layer inside it
// Nothing happens while the current layer is locked or hidden, and a lasso of fewer than three
// points or covering fewer than two columns or two rows changes nothing. The lasso closes itself
// when it reaches 7999 points. The handler reads the raw samples.
#pragma once

#include "canvas/pixel_rect.h"
#include "tools/app_context.h"

inline constexpr int kFillLassoCloseAt = 7999;

int LassoFillHandler(AppContext& app, PixelRect& dirty);  // kinds 20, 21, 22

