// Stroke handlers of the painting kinds 0 to 10. Each call paints the piece of stroke between
// the previous and the current smoothed sample and reports the rectangle it may have changed.
#pragma once

#include "canvas/pixel_rect.h"
#include "tools/app_context.h"

int PressurePen(AppContext& app, PixelRect& dirty);               // kind 0
int HalftonePen(AppContext& app, PixelRect& dirty);               // kind 1
int GrainTonePen(AppContext& app, PixelRect& dirty);              // kinds 2 and 3
int TexturePen(AppContext& app, PixelRect& dirty);                // kind 4
int GrainDabPen(AppContext& app, PixelRect& dirty);               // kind 5
int TiltPencil(AppContext& app, PixelRect& dirty);                // kind 6
int PressureEraser(AppContext& app, PixelRect& dirty);            // kind 7
int TiltEraser(AppContext& app, PixelRect& dirty);                // kind 8
int PressureEraserAllLayers(AppContext& app, PixelRect& dirty);   // kind 9
int TiltEraserAllLayers(AppContext& app, PixelRect& dirty);       // kind 10

