#include "reduce/composition_hooks.h"

#include <chrono>
#include <limits>

#include "reduce/gpu_engine.h"
#include "view/composition.h"

int32_t RenderCostFrom(double nanoseconds, int32_t width, int32_t height) {
  if (width < 1 || height < 1) return 0;
  const double cycles = nanoseconds * kNominalCyclesPerNanosecond;
  const double cost = cycles / (static_cast<double>(width) * static_cast<double>(height) * 0.001);
  if (!(cost >= 1.0)) return 1;
  if (cost >= static_cast<double>(std::numeric_limits<int32_t>::max())) return std::numeric_limits<int32_t>::max();
  return static_cast<int32_t>(cost);
}

RecomposeFailure RecomposeView(CanvasView& view, const RecomposeOptions& options, std::recursive_mutex* viewLock,
                               ReduceEngineKind* used) {
  std::unique_lock<std::recursive_mutex> guard;
  if (viewLock) guard = std::unique_lock<std::recursive_mutex>(*viewLock);
  const bool measure = view.renderCost == 0 && ChooseSamplerKind(view.scale, view.rotation) == kSamplerReducing;
  const auto start = std::chrono::steady_clock::now();
  const RecomposeFailure failure = RecomposeViewImage(view, options, used);
  if (failure == RecomposeFailure::kNone && measure && view.composed) {
    const std::chrono::duration<double, std::nano> elapsed = std::chrono::steady_clock::now() - start;
    view.renderCost = RenderCostFrom(elapsed.count(), DibWidth(*view.composed), DibHeight(*view.composed));
  }
  return failure;
}

void RecomposeViewHook(CanvasView& view) {
  RecomposeOptions options{};
  options.threaded = 1;
  options.gpuEngine = GpuEngineReady() ? GpuReduce : nullptr;
  (void)RecomposeView(view, options, nullptr);
}

void InstallCompositionHooks(CanvasView& view) {
  InstallViewSamplers(view);
  view.hooks.renderViewRect = RenderViewRect;
  view.hooks.recompose = RecomposeViewHook;
}

DibBitmap* RenderWholePicture(const CanvasView& view) {
  if (!view.composed) return nullptr;
  const int64_t k = ViewIsMagnified(view) ? MagnifiedPixelSide(view.scale) : 1;
  const int64_t width = DibWidth(*view.composed) * k, height = DibHeight(*view.composed) * k;
  if (width > std::numeric_limits<int32_t>::max() || height > std::numeric_limits<int32_t>::max()) return nullptr;
  DibBitmap* picture = CreateDibBitmap(32, nullptr, 0, static_cast<int>(width), static_cast<int>(height));
  if (!picture) return nullptr;
  // A copy of the view whose client area is exactly the picture, origin at its corner.
  CanvasView whole = view;
  whole.backBuffer = picture;
  whole.clientWidth = static_cast<int32_t>(width);
  whole.clientHeight = static_cast<int32_t>(height);
  whole.originX = 0;
  whole.originY = 0;
  RenderViewRect(whole, {0, 0, whole.clientWidth, whole.clientHeight});
  return picture;
}

DibBitmap* RenderClientPicture(const CanvasView& view) {
  if (view.clientWidth < 1 || view.clientHeight < 1) return nullptr;
  DibBitmap* picture = CreateDibBitmap(32, nullptr, 0, view.clientWidth, view.clientHeight);
  if (!picture) return nullptr;
  CanvasView shown = view;
  shown.backBuffer = picture;
  RenderViewRect(shown, {0, 0, shown.clientWidth, shown.clientHeight});
  return picture;
}
