// What the view gets from the reduction engines: its two samplers (partial updates of the
// composed image) and the whole recomposition of the composed image and the outside mask.
//
// Composed image by view kind (d = |sin| + |cos| of the rotation):
//   scale > d   reduced: 32-bit, ReducedImageRect's size, averaged (surround grey included);
//               outsideMask null.
//   otherwise   8-bit with the canvas palette, NearestImageRect's size (canvas resolution when
//               magnified), plus the 1-bit outside mask (1 = outside the rotated canvas).
// All functions run with the view lock held by the caller (the update thread and the view
// operations hold it).
#pragma once

#include <cstdint>

#include "canvas/canvas.h"
#include "canvas/pixel_rect.h"
#include "reduce/reduce.h"
#include "view/canvas_view.h"

// kSamplerReducing: re-averages the view pixels that show canvasRect (the thread-pool engine,
// or the wide engine when f > 10; never the GPU) and writes them into the 32-bit composed
// image. Each view pixel touched gets the average of all its canvas pixels, also at the edges
// of the rectangle. mode 1 allows worker threads. Always true: a view without its reduced
// picture (none yet, or one of another size while the view changes) is brought up to date by
// the next whole recomposition, and nothing is written.
bool ReducingSampler(CanvasView& view, const Canvas& canvas, const PixelRect& canvasRect, int mode);

// kSamplerNearest: recomputes the 8-bit composed image and the outside mask where they show
// canvasRect. False, with nothing written, when the composed image is not an 8-bit picture of
// the expected size; true otherwise (also without a canvas bitmap: nothing to show).
bool NearestSampler(CanvasView& view, const Canvas& canvas, const PixelRect& canvasRect, int mode);

// Puts both samplers into view.samplers and re-installs view.sampler for the current kind.
void InstallViewSamplers(CanvasView& view);

struct RecomposeOptions {
  int32_t threaded;        // 1: engines may use worker threads
  ReduceEngine gpuEngine;  // the ready GPU engine, or null
};

// Why a recomposition left the view without a picture.
enum class RecomposeFailure : int {
  kNone = 0,
  kNoCanvas,     // the view has no canvas bitmap
  kNoPicture,    // the 8-bit picture of a magnified or one-to-one view could not be created (an
                 // empty view, or status code 41); the program says "error"
                 // (kRecomposeErrorText in app/user_texts.h)
  kNoMemory,     // the outside mask or the reduced picture could not be allocated (status code
                 // 41); silent
};

// Frees the composed image and the outside mask and builds them anew for the current canvas,
// scale, rotation and mirror (the engine from ChooseReduceEngine). On failure the view has no
// picture. Reports the engine used through *used when used is not null.
[[nodiscard]] RecomposeFailure RecomposeViewImage(CanvasView& view, const RecomposeOptions& options, ReduceEngineKind* used = nullptr);
