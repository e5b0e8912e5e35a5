// The floating selection: pixels lifted off the canvas by a selection tool (kinds 15 to 18),
// waiting in their own window over the view until they are dropped back onto the canvas.
//
// Lifting erases the selected area from the canvas and keeps what was there:
//   all-layer kinds 17, 18   an 8-bit image of the canvas values, 0xFF (nothing painted)
//                            outside the shape;
//   single-layer kinds 15, 16  a 1-bit image of the drawing layer: 1 where it was painted
//                            inside the shape, 0 elsewhere.
// The shape mask has the image's size and is 1 inside the lifted shape. Dropping writes the
// image back at its new place through the shape mask and commits it as one undo record
// (the main window's commit message 0x8014 does this).
#pragma once

#include <cstdint>

#include "canvas/dib_bitmap.h"
#include "canvas/pixel_rect.h"
#include "tools/feedback_outline.h"
#include "tools/app_context.h"

struct CanvasView;

// The pictures of large selections magnified on the screen are not built beyond this many
// pixels (the selection still floats and drops; its window has nothing to show).
inline constexpr int64_t kMaxFloatingPicturePixels = int64_t{1} << 26;

// The top byte of a picture pixel inside the lifted shape (GDI ignores it when blitting).
inline constexpr uint32_t kInsideShape = 0xFF000000u;

// Whether the selection window shows picture pixel p or the view beneath: outside the shape
// only the inverted outline is shown.
inline bool FloatingPixelShown(uint32_t p) { return (p & kInsideShape) != 0 || (p & 0xFFFFFFu) != 0xFFFFFFu; }

struct FloatingSelection {
  int32_t floating;       // 1 while a lifted image waits to be dropped
  DibBitmap* image;       // 8-bit layer values, or 1-bit drawing layer (see above); or null
  DibBitmap* shapeMask;   // 1-bit, the image's size: 1 inside the lifted shape
  // What the selection window shows: 32-bit, the view-space box of canvasRect at the view's
  // scale, the selected pixels in display colours, white outside the shape, the outline
  // inverted. Pixels inside the shape carry kInsideShape in their top byte, so the window can
  // let the view show through everywhere else. Null when it could not be built.
  DibBitmap* picture;
  PixelRect canvasRect;   // where the image was lifted from (canvas pixels)
  // Client position of the picture's top-left over the view window (view client pixels; the
  // shell adds the view window's place in the main window). Moving the selection moves this.
  float clientX, clientY;
};

// Frees image, shape mask and picture and clears the floating flag.
void FreeFloatingImage(FloatingSelection& selection);

// Asks the shell to repaint a client rectangle of the view window, when it can.
void InvalidateViewRect(const AppContext& app, const PixelRect& clientRect);

// Lifts the area the closed canvas polygon points[0..count-1] covers (polygon_mask.h) into
// app.floating, which must not be null, and erases it from the canvas: from every editable
// layer when allLayers, else from the drawing layer only. The lift is clipped to the canvas.
// Returns the canvas rectangle changed (the lifted rectangle), or an empty rectangle when the
// polygon covers no canvas pixel or memory ran out (then nothing changed; the status code
// tells which). An image still floating is dropped in place first.
PixelRect LiftSelection(AppContext& app, const IntPoint* points, int count, bool allLayers);

// Builds selection.picture anew for the view's current scale, rotation and mirror: every
// picture pixel shows the nearest canvas pixel of the lifted rectangle, in the canvas's
// display colours (a 1-bit image in the current layer's colour on the paper colour) inside
// the shape and white outside, with the polygon's outline inverted over it. Returns false
// when no picture could be built.
bool ComposeFloatingPicture(FloatingSelection& selection, const Canvas& canvas, const CanvasView& view,
                            const IntPoint* points, int count);

// Where the floating image would land: the picture's client position compared with where the
// lifted rectangle is shown now, turned into a canvas displacement (rotation, mirror and
// scale undone; a displacement within 0.0001 of a whole number is taken as that number),
// added to the rectangle's top-left and floored.
IntPoint FloatingDropPosition(const AppContext& app);

// The commit message's work: writes the floating image into the canvas at
// FloatingDropPosition (a 1-bit image into the current layer with SetLayerInRegion, an 8-bit
// one with MaskedCopyThroughSelection; pixels outside the shape are not written), commits the
// rectangle (undo record, previous canvas), recomposes it with the view's sampler, redraws and
// invalidates its client rectangle, then frees the image. Does nothing unless an image is
// floating. Returns the canvas rectangle written (clipped to the canvas; empty when it fell
// wholly outside). The caller holds the view lock and then destroys the selection window.
PixelRect DropFloatingSelection(AppContext& app);

// A copy of lifted pixels, kept by cut and copy and pasted back as a new floating selection.
struct ClipboardImage {
  DibBitmap* image;      // as FloatingSelection::image
  DibBitmap* shapeMask;  // as FloatingSelection::shapeMask
  PixelRect canvasRect;  // where the pixels were lifted from
};

// Frees the copy; the record then holds nothing.
void FreeClipboardImage(ClipboardImage& clipboard);

// Copies the floating image and its shape into clipboard, replacing what it held. False (the
// clipboard unchanged) when nothing floats or memory ran out.
bool CopyFloatingToClipboard(const FloatingSelection& selection, ClipboardImage& clipboard);

// Makes a copy of clipboard the floating selection (one still floating is dropped first) over
// the rectangle it was lifted from, moved inside the canvas where the canvas is large enough,
// with its picture for the view. The canvas is untouched until the selection is dropped.
// Returns the canvas rectangle it floats over, or an empty rectangle when nothing is held or
// memory ran out.
PixelRect FloatClipboardImage(AppContext& app, const ClipboardImage& clipboard);
