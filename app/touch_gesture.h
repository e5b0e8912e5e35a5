// Fingers on the view. One finger scrolls the view by its movement; as soon as a second finger
// comes down the two form a gesture that zooms by the change of their distance and turns by the
// change of the angle of the line between them, shown as a preview about their starting
// midpoint and applied when one of them lifts. A gesture stays a two-finger gesture until every
// finger is up (the finger left behind does not pan), and fingers beyond two are ignored.
#pragma once

#include <cstdint>

#include "view/canvas_view.h"
#include "view/composition_preview.h"

// The factor one gesture may zoom by at most, each way.
inline constexpr float kTouchZoomLimit = 8.0f;

struct TouchGesture {
  int32_t fingers = 0;                // fingers tracked (0 .. 2)
  uint32_t id[2] = {};
  int32_t x[2] = {}, y[2] = {};       // their latest client positions
  bool twoFinger = false;             // a second finger came down: zoom and turn until all are up
  bool ended = false;                 // a finger of the pair lifted: the rest is ignored
  int32_t midX = 0, midY = 0;         // the midpoint when the second finger came down
  double startDistance = 1, startAngle = 0;
  float zoom = 1.0f;                  // latest distance / start distance, within the limit
  double angle = 0;                   // latest angle minus the start angle, radians
};

struct TouchStep {
  enum Kind : int { kNothing, kScroll, kBeginPreview, kPreview, kApply } kind = kNothing;
  int32_t dx = 0, dy = 0;              // kScroll: ScrollViewBy(dx, dy)
  RotationPreviewRequest preview{};   // kPreview
};

// Whether a gesture is under way (some finger it tracks is down).
bool TouchGestureRunning(const TouchGesture& gesture);

// A finger came down at client (x, y). The second finger asks for kBeginPreview (the caller
// keeps the picture the preview turns).
TouchStep TouchDown(TouchGesture& gesture, uint32_t id, int32_t x, int32_t y);
// A finger moved: one finger scrolls by its previous position minus this one; two ask for a
// preview of the zoom and turn so far.
TouchStep TouchMove(TouchGesture& gesture, uint32_t id, int32_t x, int32_t y);
// A finger lifted: the end of a two-finger gesture asks for kApply (once).
TouchStep TouchUp(TouchGesture& gesture, uint32_t id);

// Applies a finished two-finger gesture: the view is scrolled so that the midpoint comes to the
// client centre, the scale divided by the zoom (SetViewScale clamps it) keeping the centre, the
// rotation changed by the angle, and the view scrolled back by the same offsets, so the point
// under the fingers stays under them.
void ApplyTouchGesture(const TouchGesture& gesture, CanvasView& view);
