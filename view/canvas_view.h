// The canvas view: how the canvas is shown in the view window, scaled, scrolled, rotated by any
// angle and mirrored left to right, independently of the canvas data.
//
// Three coordinate spaces:
//   canvas  pixel coordinates of the canvas, x right, y down, 0 <= x < W, 0 <= y < H;
//   view    the canvas rotated about its centre, mirrored when set, divided by the scale, and
//           moved so that the axis-aligned bounding box of the rotated canvas starts at (0, 0);
//   client  pixels of the view window's client area: client = view + origin.
//
// Arithmetic: the rotation is turned into radians and its cosine and sine in double precision
// (rotation * (1/180) * pi); the cosine and sine are then kept as floats and every other step
// of the geometry runs in single precision, in the order the mappings state. Results are
// compared bit for bit, so do not reorder the expressions.
//
// The record is portable: the Windows shell owns the back buffer (memory DC and bitmap) and the
// view window, and reaches them through the hooks at the end of the record. View operations
// (view_operations.h) must run with the view lock held by the caller; the lock is re-entrant,
// so hooks may take it again.
#pragma once

#include <cstdint>

#include "canvas/canvas.h"
#include "canvas/dib_bitmap.h"
#include "canvas/pixel_rect.h"

struct CanvasView;

// Which composition routine brings the composed image up to date.
enum ViewSamplerKind : int32_t {
  kSamplerNearest = 0,   // magnified or about one to one: nearest canvas pixel, with outside mask
  kSamplerReducing = 1,  // reduced: averages every canvas pixel that falls into a view pixel
};
inline constexpr int kSamplerKindCount = 2;

// Recomposes the part of the composed image that shows canvasRect (canvas coordinates, right
// and bottom exclusive). mode 1 lets the sampler use worker threads. Returns false when the
// composed image is not the picture the sampler works on, so the part could not be updated
// (the program then says "failed", kSamplerFailedText in app/user_texts.h).
using ViewSampler = bool (*)(CanvasView& view, const Canvas& canvas, const PixelRect& canvasRect,
                             int mode);

// What the view needs from the Windows shell. Any hook may be null; the operations then skip
// that step, so the geometry works without a window.
struct ViewShellHooks {
  // Redraws one client rectangle of the back buffer from the composed image.
  void (*renderViewRect)(CanvasView& view, const PixelRect& clientRect);
  // Frees the composed image and the outside mask and builds them anew for the current canvas,
  // scale, rotation and mirror flag.
  void (*recompose)(CanvasView& view);
  // Blits the back buffer onto itself shifted by (-dx, -dy).
  void (*scrollBackBuffer)(CanvasView& view, int32_t dx, int32_t dy);
  // Replaces the back buffer by one of width x height, keeping its brush. false: nothing changed.
  bool (*resizeBackBuffer)(CanvasView& view, int32_t width, int32_t height);
  // on = 1 shows the system wait cursor and remembers the cursor it replaced; on = 0 puts that
  // cursor back.
  void (*waitCursor)(CanvasView& view, int on);
  // Asks for the view window to be repainted from the back buffer, without erasing: the client
  // rectangle, or the whole client area when clientRect is null.
  void (*invalidateClient)(CanvasView& view, const PixelRect* clientRect);
  // The shell's own data for its hooks (the view window's handle); the core never reads it.
  void* shellContext;
};

// The settings the view reads, pointing into the application settings. A null pointer reads as
// the default in brackets.
struct ViewSettingRefs {
  const int32_t* paperTexture;  // 1: lay the paper texture under the picture [0]
  const int32_t* screenDpi;     // pixels per inch of the display [96]
  const int32_t* printDpi;      // resolution of canvas size presets and actual-size zoom [600]
};

inline constexpr float kInitialViewScale = 8.0f;
inline constexpr float kMinViewScale = 0.125f;  // eight screen pixels per canvas pixel
inline constexpr float kMaxViewScale = 16.0f;   // sixteen canvas pixels per screen pixel

struct CanvasView {
  // The back buffer, exactly the client size, with the light grey brush selected: a memory DC
  // and its bitmap, created and owned by the Windows shell.
  void* screenDC;
  void* screenBitmap;
  int32_t clientWidth, clientHeight;  // client size of the view window in pixels
  int32_t originX, originY;           // client position of view point (0, 0)
  DibBitmap* composed;                // the canvas as shown: rotated bounding box, display colours
  DibBitmap* outsideMask;             // 1-bit, composed's size: 1 where the box lies off the canvas
  // What the view window shows, as plain memory: 32-bit, exactly the client size. The shell
  // copies it to the window; tools draw their inverted feedback outlines into it. Null until
  // the client has a size.
  DibBitmap* backBuffer;
  // The view point shown at the centre of the client area. Invariant:
  // originX = clientWidth / 2 - centreX, originY = clientHeight / 2 - centreY (int division).
  int32_t centreX, centreY;
  float scale;       // canvas pixels per screen pixel: 2 shows half size, 0.25 four times larger
  int32_t mirrored;  // 1: shown flipped left to right
  float rotation;    // degrees, kept in [0, 360] by SetViewRotation
  DibBitmap* paper;        // the paper texture laid under the composed image
  DibBitmap* secondPaper;
  // The composition routine for the current scale and rotation, samplers[samplerKind]. The
  // mappings of view_mapping.h are plain functions and need no slots here.
  ViewSamplerKind samplerKind;
  ViewSampler sampler;
  ViewSampler samplers[kSamplerKindCount];  // installed by the composition code; may be null
  ViewSettingRefs settings;
  Canvas* canvas;      // the canvas shown (width W, height H, bitmaps)
  int32_t renderCost;  // processor cycles per thousand composed pixels; 0 until measured
  // Screen position of the client area's top-left pixel; the shell keeps it current (window
  // moves and resizes). Pointer samples come in screen coordinates.
  int32_t clientScreenX, clientScreenY;
  ViewShellHooks hooks;
};

// A fresh record: scale 8, rotation 0, not mirrored, everything else empty. The caller installs
// the canvas, settings, samplers and hooks, sizes the client, then runs ResetView.
CanvasView NewCanvasView();

// Canvas width and height, 0 when the view has no canvas.
int32_t ViewCanvasWidth(const CanvasView& view);
int32_t ViewCanvasHeight(const CanvasView& view);

// d = |sin| + |cos| of the rotation (double precision, 1 <= d <= sqrt 2). A scale above d is a
// reduced view: a view pixel covers more than one canvas pixel along its widest extent.
double RotationSpan(float rotationDegrees);

// The sampler for a scale and rotation: reducing when scale > d, nearest otherwise.
ViewSamplerKind ChooseSamplerKind(float scale, float rotationDegrees);

// Stores the choice for the view's current scale and rotation and installs samplers[choice].
void ChooseSampler(CanvasView& view);

// Settings with their defaults (see ViewSettingRefs); a DPI of 0 or below reads as the default.
int32_t ViewScreenDpi(const CanvasView& view);
int32_t ViewPrintDpi(const CanvasView& view);
int32_t ViewPaperTexture(const CanvasView& view);

// Restores the centre invariant after centre or client size changed.
void UpdateViewOrigin(CanvasView& view);

// The whole client area, (0, 0, clientWidth, clientHeight).
PixelRect ViewClientRect(const CanvasView& view);
