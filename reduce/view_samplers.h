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
// of the rectangle. mode 1 allows worker threads.
void ReducingSampler(CanvasView& view, const Canvas& canvas, const PixelRect& canvasRect, int mode);

// kSamplerNearest: recomputes the 8-bit composed image and the outside mask where they show
// canvasRect. Shows "failed" (caption "Dotwright", stop icon) when the composed image is not
// an 8-bit picture of the expected size.
void NearestSampler(CanvasView& view, const Canvas& canvas, const PixelRect& canvasRect, int mode);

// Puts both samplers into view.samplers and re-installs view.sampler for the current kind.
void InstallViewSamplers(CanvasView& view);

struct RecomposeOptions {
  int32_t threaded;        // 1: engines may use worker threads
  ReduceEngine gpuEngine;  // the ready GPU engine, or null
};

// Frees the composed image and the outside mask and builds them anew for the current canvas,
// scale, rotation and mirror (the engine from ChooseReduceEngine). Returns 1 on success, 0 when
// there is no canvas or a bitmap could not be allocated (status code 41; the view then has no
// picture). Reports the engine used through *used when used is not null.
int RecomposeViewImage(CanvasView& view, const RecomposeOptions& options, ReduceEngineKind* used = nullptr);
