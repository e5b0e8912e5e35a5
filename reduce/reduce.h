// The reduction engines: a zoomed-out view averages, in linear light (linear_light.h), every
// canvas pixel that falls into a view pixel and writes a 32-bit picture.
//
// Geometry. Canvas pixel (x, y) is represented by its centre (x + 0.5, y + 0.5), mapped with
// the view's forward mapping (view_mapping.h: mirror, rotate about the canvas centre, divide by
// the scale). Its destination pixel is the integer part of that view point, found by stepping
// the mapping in 16.16 fixed point:
//   px = startX + (x - source.left) * colX + (y - source.top) * rowX
//   py = startY + (x - source.left) * colY + (y - source.top) * rowY
//   destination pixel = (px >> 16, py >> 16)  (arithmetic shift), relative to destination.left/top
// computed exactly in 64-bit integers, so every split of the work (tiles, bands, strips,
// GPU work items) gives the same destination for every pixel. The steps are anchored at canvas
// pixel (0, 0) for the whole view: startX = anchorX + source.left * colX + source.top * rowX
// - destination.left * 65536 (likewise y), where anchor = floor(65536 * the view point of
// pixel (0, 0)'s centre), so a partial reduction puts every pixel exactly where the whole one
// does. Source pixels whose destination
// lies outside the destination rectangle are skipped.
//
// Engines (f = (|sin| + |cos|) * scale, canvas pixels along a view pixel's widest extent):
//   nearest      scale <= |sin| + |cos|: no averaging; an 8-bit picture (nearest_picture.h)
//   wide         f > 10: plain worker threads, four 32-bit sums per destination pixel
//   gpu          the OpenCL engine, when it is ready (reduce/gpu_*.h)
//   pool         canvases up to 40,000,000 pixels: the thread pool, packed 64-bit sums
//   strips       larger canvases: the pool engine over four bands of rows, one quarter at a time
// Each averaging engine has the ReduceEngine signature and gives the same bytes; a destination
// pixel that no canvas pixel reaches is the background colour.
#pragma once

#include <cstdint>

#include "canvas/dib_bitmap.h"
#include "canvas/pixel_rect.h"
#include "view/canvas_view.h"

// Averages the canvas pixels of `source` (canvas coordinates; clipped to the canvas) into a new
// 32-bit bitmap of ReduceDestinationRect(view, source)'s size: bottom-up, pixels blue, green,
// red, 0. background is 0x00RRGGBB (kReduceBackground). threaded 1 lets the engine use worker
// threads. Returns null when the destination is empty or cannot be allocated (status code 41).
// The canvas bitmap is 8-bit with the canvas palette as its colour table; its size is the
// view's canvas size.
using ReduceEngine = DibBitmap* (*)(const CanvasView& view, const DibBitmap& canvas,
                                    const PixelRect& source, uint32_t background, int threaded);

// Which engine a (re)composition uses.
enum class ReduceEngineKind : int32_t {
  kNearest = 0,  // no reduction: nearest-neighbour 8-bit picture with outside mask
  kWide = 1,     // f > 10: plain-thread engine with wide accumulators
  kGpu = 2,      // the OpenCL engine is ready
  kPool = 3,     // thread-pool engine, canvases up to kPoolMaxPixels
  kStrips = 4,   // strip-wise fallback for larger canvases
};

inline constexpr double kWideReductionAbove = 10.0;          // f above this: wide accumulators
inline constexpr int64_t kPoolMaxPixels = 40000000;          // width * height

// The choice for a whole recomposition (rotation in degrees; d = |sin| + |cos| in double as
// RotationSpan computes it): scale <= d nearest; f > 10 wide; gpuReady gpu;
// canvasPixels <= 40,000,000 pool; otherwise strips.
ReduceEngineKind ChooseReduceEngine(float scale, float rotationDegrees, bool gpuReady, int64_t canvasPixels);

// The 16.16 stepping of one reduction (see the top of this file). Everything a kernel needs.
struct ReduceStepping {
  PixelRect source;       // clipped to the canvas, canvas pixels
  PixelRect destination;  // view space; destination pixel (0, 0) is (destination.left, top)
  int32_t startX, startY; // 16.16 position of source pixel (source.left, source.top)'s centre,
                          // relative to the destination's top-left (anchored, see above)
  int32_t colX, colY;     // 16.16 step per source column: round(dv/dx * 65536)
  int32_t rowX, rowY;     // 16.16 step per source row
};

// The composed image's size for a reduced view: the right and bottom of the view rectangle
// covering the whole canvas (CanvasRectToView), i.e. ceil(BW / scale) x ceil(BH / scale).
PixelRect ReducedImageRect(const CanvasView& view);

// The destination rectangle of a source rectangle: CanvasRectToView of the source clipped to
// the canvas, intersected with ReducedImageRect. Empty when nothing is reached.
PixelRect ReduceDestinationRect(const CanvasView& view, const PixelRect& source);

// Fills `out` for a source rectangle. False when the clipped source or the destination is
// empty (out is then zeroed).
[[nodiscard]] bool ComputeReduceStepping(const CanvasView& view, const PixelRect& source, ReduceStepping& out);

// The CPU engines (ReduceEngine signature).
DibBitmap* ReducePool(const CanvasView& view, const DibBitmap& canvas, const PixelRect& source,
                      uint32_t background, int threaded);
DibBitmap* ReduceWide(const CanvasView& view, const DibBitmap& canvas, const PixelRect& source,
                      uint32_t background, int threaded);
DibBitmap* ReduceStrips(const CanvasView& view, const DibBitmap& canvas, const PixelRect& source,
                        uint32_t background, int threaded);

// The engine for a kind (null for kNearest; for kGpu the engine given, or the CPU choice when
// gpuEngine is null).
ReduceEngine ReduceEngineFor(ReduceEngineKind kind, ReduceEngine gpuEngine);

// Reduces `source` with `engine` and copies the destination pixels that the source reaches,
// ReduceDestinationRect(view, source), into `target`, a 32-bit bitmap whose pixel (0, 0) is the
// view point (targetLeft, targetTop) (0, 0 for the view's whole reduced image). The engine is
// given the source grown by the canvas pixels that share those destination pixels (within the
// canvas), so the pixels at the edges are full averages, equal to a whole reduction's.
// True when pixels were copied; false when none were: an empty rectangle, or an allocation
// failed (status code 41), which leaves those pixels as they were.
bool ReduceIntoImage(const CanvasView& view, const DibBitmap& canvas, const PixelRect& source,
                     uint32_t background, int threaded, ReduceEngine engine, DibBitmap& target,
                     int32_t targetLeft = 0, int32_t targetTop = 0);
