// The portable part of the two small pen panels: the tablet-information text and the loupe
// picture. The Windows panels print the text with their font (white halo, black letters) and
// copy the loupe picture to their window.
#pragma once

#include <cstdint>

#include "canvas/dib_bitmap.h"
#include "view/canvas_view.h"
#include "view/input_state.h"
#include "view/pen_sample.h"

// Tablet information ------------------------------------------------------------------------

inline constexpr int kTabInfoWidth = 128;
inline constexpr int kTabInfoHeight = 60;
inline constexpr uint32_t kTabInfoBackground = 0x00F0F0F0u;  // RGB(240, 240, 240)
inline constexpr int kTabInfoLineCount = 3;
inline constexpr int kTabInfoLineY[kTabInfoLineCount] = {0, 16, 32};  // x = 0 for each line

struct TabInfoText {
  char lines[kTabInfoLineCount][48];
};

// The three lines of the information panel for a raw sample and the shared status code:
//   "X:%5d  Y:%5d"          x and y as stored (screen position in sixteenths of a pixel)
//   "press:%5d inf:%2d"     raw pressure, status code
//   "tilt:%4d rotate:%4d"   altitude and azimuth, tenths of a degree
TabInfoText FormatTabInfo(const PenSample& sample, int statusCode);

// Loupe ----------------------------------------------------------------------------------------

inline constexpr int kLoupeSide = 128;
// The loupe shows the canvas rectangle (x - 63, y - 63, x + 63, y + 63) around the pen.
inline constexpr int kLoupeReach = 63;
inline constexpr uint32_t kLoupeFill = 0x00C0C0C0u;   // the panel's brush: light grey
inline constexpr uint32_t kLoupeFrame = 0x00404040u;  // the dark grey stock brush, RGB(64, 64, 64)

// Composes the loupe picture (32-bit, at least 128 x 128; the top-left 128 x 128 pixels are
// drawn) for the canvas point (canvasX, canvasY): the canvas at one canvas pixel per screen
// pixel, rotated and mirrored like the view, through the nearest-neighbour engine:
//   1. source = (trunc(x) - 63, trunc(y) - 63, trunc(x) + 63, trunc(y) + 63) on a copy of the
//      view with scale 1;
//   2. fill with kLoupeFill; copy the picture from (imageWidth / 2 - 63, imageHeight / 2 - 63)
//      to (0, 0), 128 x 128, through the canvas palette; pixels the outside mask marks become
//      RGB(192, 192, 192) (the two raster steps of the view, RenderViewRect);
//   3. the centre cross inverted: the lines (57, 64)-(72, 64) and (64, 57)-(64, 72), end
//      points excluded; each line inverts its own pixels, so (64, 64), on both, shows its
//      colour unchanged;
//   4. a one-pixel frame of kLoupeFrame around (0, 0, 128, 128).
// Returns true when drawn; false when the picture is too small or not 32-bit, the view has no
// canvas bitmap, or the engine could not make its picture (the picture is then left alone).
[[nodiscard]] bool ComposeLoupeAt(const CanvasView& view, float canvasX, float canvasY, DibBitmap& picture);

// The same at the raw current sample mapped to the canvas (SampleToCanvas).
[[nodiscard]] bool ComposeLoupe(const CanvasView& view, const InputState& input, DibBitmap& picture);
