// What the stroke handlers keep from one sample to the next, in one record reached through the
// application context (AppContext::tools). Nothing of a stroke lives in a global: two sessions
// (or two tests) never see each other's strokes.
#pragma once

#include <cstdint>
#include <memory>

#include "brush/xorshift.h"
#include "canvas/pixel_rect.h"
#include "tools/feedback_outline.h"

// The line and shape kinds (12 to 14).
struct ShapeToolState {
  int32_t active;     // 1 from pen-down until release
  IntPoint start;     // canvas point (trunc x, trunc y) of the pen-down sample
  IntPoint end;       // canvas point of the feedback shown now
  int32_t lineWidth;  // the pen's Size at pen-down
  int32_t kind;       // the kind whose feedback is shown
};

// The rectangle selection kinds (15 and 17).
struct RectSelection {
  bool active = false;
  IntPoint start{}, current{};  // canvas corners
  IntPoint shown[4]{};          // client corners of the feedback on the back buffer
  bool feedbackShown = false;
};

inline constexpr int kLassoCapacity = 8000;

// The freehand outline of the lasso kinds (16, 18, 20 to 22); see tools/lasso_path.h.
struct LassoPath {
  std::unique_ptr<IntPoint[]> client;  // kLassoCapacity client points of the view window
  std::unique_ptr<IntPoint[]> canvas;  // the same points in canvas pixels, truncated
  int count = 0;                       // points stored; 0 while no lasso is being drawn
  // Running boxes of the points; right and bottom are the largest coordinates (inclusive).
  PixelRect clientBox{}, canvasBox{};
};

struct ToolState {
  // Distance walked past the last dab, carried to the next segment of the same stroke.
  float tiltPencilCarry = 0.0f;  // kind 6
  float tiltEraserCarry = 0.0f;  // kinds 8 and 10
  float stampCarry = 0.0f;       // kind 19
  ShapeToolState shape{};
  RectSelection rect{};
  LassoPath selectionLasso;  // kinds 16 and 18
  LassoPath fillLasso;       // kinds 20 to 22
  // The generators are seeded once per session and never reseeded: two identical strokes one
  // after the other get different speckle and scatter.
  XorShift128 sharedRandom = kXorShiftSeed;    // stamp jitter and scatter, kind 3's offsets
  RandomLanes tiltRandom = kRandomLanesSeed;  // density spans of the tilt pens
};
