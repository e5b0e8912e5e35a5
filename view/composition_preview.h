// The live previews of a rotate drag and a zoom drag. Each function renders one request into
// the view's back buffer; the Windows shell runs them on its preview worker threads, keeps the
// request slots under the preview lock and invalidates the window after each picture.
#pragma once

#include <cstdint>

#include "canvas/dib_bitmap.h"
#include "view/canvas_view.h"

// Zoom preview -------------------------------------------------------------------------------

// The factor m of a zoom-drag request: the drag distance r over the start distance r0, limited
// so that the scale the release applies, scale / m, stays in [1, 16]: scale / m > 16 gives
// m = scale / 16, then scale / m < 1 gives m = scale. Values that are not positive and finite
// (r0 of 0, a NaN) give 1.
float ZoomPreviewFactor(float scale, float r, float r0);

// Shows the composed image magnified m times about the view centre, filling the whole client
// area of the back buffer: the source rectangle is (clientWidth / m) x (clientHeight / m)
// centred on (centreX, centreY), both multiplied by the scale when it is below 1 (the composed
// image is then at canvas resolution), truncated to whole pixels. Nearest pixel stretch
// (colour-on-colour): destination pixel i takes source pixel left + floor((2i + 1) * w / (2 *
// clientWidth)), the source pixel under its centre. The back buffer is first filled with the
// surround grey; source pixels outside the composed image stay grey, and so do those the
// outside mask marks (8-bit composed images). Does nothing without a 32-bit back buffer.
void RenderZoomPreview(CanvasView& view, float m);

// Rotation preview ---------------------------------------------------------------------------

struct RotationPreviewRequest {
  float angle;              // radians; positive turns the picture the way a larger view rotation does
  int32_t centreX, centreY;  // client point the picture turns about
  float zoom;               // the picture is also shown zoom times larger (two-finger gesture); 1: not
};

// A request with the same angle and zoom as the last one shown is dropped by the caller.
bool SameRotationRequest(const RotationPreviewRequest& request, const RotationPreviewRequest& last);

// Draws picture (32-bit, the view as it was when the drag began) rotated by the request into
// target (32-bit): target is filled with the surround grey, then for every target pixel (i, j)
// the inverse rotation gives the source position
//   x = cx + ((i - cx) * cos - (j - cy) * sin) / zoom,  y = cy + ((i - cx) * sin + (j - cy) * cos) / zoom,
// stepped incrementally in 16.16 fixed point (cos / zoom and sin / zoom times 65536, rounded),
// and the nearest picture pixel is copied when it lies inside the picture. Returns false and
// draws nothing when either bitmap is not 32-bit.
[[nodiscard]] bool RotatePicture(DibBitmap& target, const DibBitmap& picture, const RotationPreviewRequest& request);

// One frame of the worker: RotatePicture into the back buffer (the caller holds the view lock).
// Returns true when drawn; false, drawing nothing, when there is no 32-bit back buffer, the
// picture is not 32-bit or is the back buffer itself.
[[nodiscard]] bool RenderRotationPreview(CanvasView& view, const DibBitmap& picture, const RotationPreviewRequest& request);
