// Stroke handlers of the painting kinds 0 to 10. Each call paints the piece of stroke between
// the previous and the current smoothed sample and reports the rectangle it may have changed.
#pragma once

#include <vector>

#include "brush/pen_setting.h"
#include "brush/primitives.h"
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


// The tilt pens' ellipse dab. Its along half-axis A is at most a flat tilt pencil's: 20 times
// its across half-axis, itself at most half the largest Size.
inline constexpr float kMaxEllipseAlong = 20.0f * 0.5f * static_cast<float>(kMaxPenSize);

// Vertices of a dab's polygon: 4 x floor(A) when A > 2, else 4 (a rhombus), with A counted as at
// most kMaxEllipseAlong (40000 vertices at most, whatever the size). The vertices lie on the
// ellipse, A / floor(A) apart along the long axis (below 1.5, and near 1 for long dabs), so the
// polygon stays within half a pixel of the ellipse for every A > 2 with across <= A: near the
// apexes, where the outline bends most, it is a parabola to first order, which leaves a chord
// spanning h along its axis by at most h / 4; elsewhere it bends less. The pen tests measure it
// (0.25 pixel for a flat dab of Size 1000, A = 10000).
int EllipseDabVertexCount(float along);

// The polygon of a dab centred at (cx, cy) with half-axes along and across, the long axis at
// angle theta: the upper edge from u = -A to u = A in steps of A / (N / 4), then the lower edge
// back, the apexes once. Empty for a dab without an outline (A not above 0, sizes not drawable).
std::vector<PointF> EllipseDabOutline(float cx, float cy, float along, float across, double theta);
