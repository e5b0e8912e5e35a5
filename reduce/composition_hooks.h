// The composition side of the view record: the whole recomposition with its render-cost
// measurement, the hooks the view operations call, and the whole picture as the view shows it.
#pragma once

#include <cstdint>
#include <mutex>

#include "canvas/dib_bitmap.h"
#include "reduce/reduce.h"
#include "reduce/view_samplers.h"
#include "view/canvas_view.h"

// The render cost is kept in processor cycles; it is measured with std::chrono::steady_clock
// (portable, unlike a cycle counter) and converted at this nominal clock rate.
inline constexpr double kNominalCyclesPerNanosecond = 3.0;

// Render cost of a composition: cycles / (width * height * 0.001), at least 1 (0 means "not
// measured" to the input step), at most the int32 range. A size below 1 pixel gives 0.
int32_t RenderCostFrom(double nanoseconds, int32_t width, int32_t height);

// Frees the composed image and the outside mask and builds them anew for the view's current
// canvas, scale, rotation and mirror (RecomposeViewImage). For a reduced view (scale > d) whose
// render cost is still 0, the composition is timed and the cost stored. With viewLock the lock
// is taken for the whole recomposition (it is re-entrant, so a caller may hold it already);
// without it the caller must hold the view lock. kNone when the view has a picture.
[[nodiscard]] RecomposeFailure RecomposeView(CanvasView& view, const RecomposeOptions& options, std::recursive_mutex* viewLock,
                  ReduceEngineKind* used = nullptr);

// hooks.recompose: RecomposeView with worker threads and the GPU engine when it is ready. The
// view operations call it with the view lock held (canvas_view.h). A failure leaves the view
// without a picture, which the view draws as the surround; the hook has no one to tell.
void RecomposeViewHook(CanvasView& view);

// Installs the samplers (InstallViewSamplers), hooks.renderViewRect = RenderViewRect and
// hooks.recompose = RecomposeViewHook. The shell's own hooks are left as they are.
void InstallCompositionHooks(CanvasView& view);

// The whole composed image as the view draws it: a new 32-bit bitmap of the composed image's
// screen size (imageWidth x k by imageHeight x k for magnified views, k the integer
// magnification; the image's size otherwise) rendered by RenderViewRect with the image's
// top-left corner at the client origin; the view itself is not changed. Run it where the view
// lock is held or no update can run. Null when the view has no composed image or memory is
// short (status 41).
DibBitmap* RenderWholePicture(const CanvasView& view);

// The picture exactly as the view shows it now: a new 32-bit bitmap of the client size rendered
// by RenderViewRect with the view's own origin, rotation and mirror, so the surround of a turned
// or small canvas is part of it. Same locking and failure rules as RenderWholePicture.
DibBitmap* RenderClientPicture(const CanvasView& view);
