#include "reduce/view_samplers.h"

#include "reduce/linear_light.h"
#include "reduce/nearest_picture.h"
#include "reduce/reduce_internal.h"
#include "view/view_mapping.h"

bool ReducingSampler(CanvasView& view, const Canvas& canvas, const PixelRect& canvasRect, int mode) {
  if (!canvas.bitmap || !view.composed || DibDepth(*view.composed) != 32) return true;
  const PixelRect image = ReducedImageRect(view);
  if (DibWidth(*view.composed) != image.right || DibHeight(*view.composed) != image.bottom) return true;
  // The GPU engine is never used for partial updates.
  const ReduceEngine engine = ReductionFactor(view) > kWideReductionAbove ? ReduceWide : ReducePool;
  ReduceIntoImage(view, *canvas.bitmap, canvasRect, kReduceBackground, mode, engine, *view.composed);
  return true;
}

bool NearestSampler(CanvasView& view, const Canvas& canvas, const PixelRect& canvasRect, int mode) {
  if (!canvas.bitmap) return true;
  const PixelRect image = NearestImageRect(view);
  if (!view.composed || DibDepth(*view.composed) != 8 || DibWidth(*view.composed) != image.right ||
      DibHeight(*view.composed) != image.bottom) {
    return false;
  }
  const PixelRect clipped = IntersectRect(canvasRect, {0, 0, canvas.width, canvas.height});
  if (IsRectEmpty(clipped)) return true;
  // The composed image's pixels showing the rectangle: the view rectangle at the picture's
  // scale (canvas resolution when magnified).
  CanvasView atScale = view;
  if (atScale.scale < 1.0f) atScale.scale = 1.0f;
  NearestRequest r{};
  r.source = canvas.bitmap;
  r.destination = view.composed;
  r.mask = view.outsideMask;
  r.markOutside = 1;
  r.threaded = mode;
  r.area = IntersectRect(CanvasRectToView(atScale, clipped), image);
  r.transform = ViewNearestAffine(view);
  // Checked above: an 8-bit picture of the view's size. The mask is the one the recomposition
  // made for it (or null).
  (void)NearestResample(r);
  return true;
}

void InstallViewSamplers(CanvasView& view) {
  view.samplers[kSamplerNearest] = NearestSampler;
  view.samplers[kSamplerReducing] = ReducingSampler;
  view.sampler = view.samplers[view.samplerKind];
}

RecomposeFailure RecomposeViewImage(CanvasView& view, const RecomposeOptions& options, ReduceEngineKind* used) {
  // A reduction that keeps the picture's size overwrites it instead of faulting in a new one.
  const ReusedPicture reuse(view.composed, ReducedImageRect(view));
  view.composed = nullptr;
  FreeDibBitmap(view.outsideMask);
  const Canvas* canvas = view.canvas;
  if (!canvas || !canvas->bitmap) return RecomposeFailure::kNoCanvas;
  const int64_t pixels = int64_t{canvas->width} * canvas->height;
  const ReduceEngineKind kind =
      ChooseReduceEngine(view.scale, view.rotation, options.gpuEngine != nullptr, pixels);
  if (used) *used = kind;
  if (kind == ReduceEngineKind::kNearest) {
    view.composed = NearestViewPicture(view, *canvas->bitmap, &view.outsideMask, options.threaded);
    if (!view.composed) return RecomposeFailure::kNoPicture;
    if (!view.outsideMask) {
      FreeDibBitmap(view.composed);
      return RecomposeFailure::kNoMemory;
    }
    return RecomposeFailure::kNone;
  }
  const ReduceEngine engine = ReduceEngineFor(kind, options.gpuEngine);
  view.composed = engine(view, *canvas->bitmap, {0, 0, canvas->width, canvas->height}, kReduceBackground,
                         options.threaded);
  return view.composed ? RecomposeFailure::kNone : RecomposeFailure::kNoMemory;
}
