// Operations that change what the view shows. Each keeps the centre invariant of canvas_view.h,
// re-chooses the sampler when scale or rotation change, asks the shell to recompose the
// composed image when it no longer fits, and ends by rendering the client area it changed
// through hooks.renderViewRect. The caller invalidates the window and refreshes the title.
#pragma once

#include <cstdint>

#include "view/canvas_view.h"

// Moves the visible part of the canvas by (dx, dy) client pixels: positive values show more of
// the right and bottom, so the picture moves left and up. Shifts the back buffer, then renders
// the uncovered horizontal strip (full width) and after it the vertical strip (full height),
// each clipped to the client area.
void ScrollViewBy(CanvasView& view, int32_t dx, int32_t dy);

// Sets the scale (clamped to [0.125, 16]) keeping the client centre on the same canvas point:
// centre = trunc(centre * old * (1 / new)). Recomposes unless both the old and the new scale are
// at or below d (magnified views share one composed image at canvas resolution). A value that
// is not a number changes nothing.
void SetViewScale(CanvasView& view, float newScale);

// The stored form of a rotation: a split into integer part i and fraction f, both with the sign
// of a; the result is (i mod 360) + f, with 360 added to a negative remainder, and f + 360 when
// a is negative and i mod 360 is 0. So -30 gives 330, 725.5 gives 5.5, -0.5 gives 359.5, -360
// gives 360 and 360 gives 0. The result lies in [0, 360].
float NormaliseRotation(float degrees);

// Sets the rotation keeping the client centre on the same canvas point: the centre is mapped to
// the canvas with the old rotation (ViewToCanvas) and back with the new one (CanvasToView).
// Always recomposes. A value that is not finite changes nothing.
void SetViewRotation(CanvasView& view, float degrees);

// Flips the mirror flag keeping the client centre on the same canvas point.
void ToggleViewMirror(CanvasView& view);

// The print-size scale, PrintDPI / ScreenDPI clamped to [1, 16].
float PrintSizeScale(const CanvasView& view);

// Straight, unmirrored, at the print-size scale, the composed image centred in the client area.
// Run for a new view and after a canvas is loaded or created, and by the reset command.
void ResetView(CanvasView& view);
// ResetView after the canvas was replaced: the composed image is always made again, also where
// the scale alone would keep the old one (magnified views).
void ResetViewToNewCanvas(CanvasView& view);

// Follows a new client size, keeping the centre fixed. Returns true when the view has that
// size now (also when it had it already, in which case nothing is done); false when the shell
// could not make the new back buffer, leaving the view as it was.
bool ResizeView(CanvasView& view, int32_t width, int32_t height);
