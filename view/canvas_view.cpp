#include "view/canvas_view.h"

#include <cmath>
#include <numbers>

namespace {

constexpr int32_t kDefaultScreenDpi = 96;
constexpr int32_t kDefaultPrintDpi = 600;

int32_t PositiveOr(const int32_t* value, int32_t fallback) {
  return value != nullptr && *value > 0 ? *value : fallback;
}

}  // namespace

CanvasView NewCanvasView() {
  CanvasView view{};
  view.scale = kInitialViewScale;
  view.rotation = 0.0f;
  view.mirrored = 0;
  ChooseSampler(view);
  return view;
}

int32_t ViewCanvasWidth(const CanvasView& view) { return view.canvas ? view.canvas->width : 0; }
int32_t ViewCanvasHeight(const CanvasView& view) { return view.canvas ? view.canvas->height : 0; }

double RotationSpan(float rotationDegrees) {
  double radians = static_cast<double>(rotationDegrees) * (1.0 / 180.0) * std::numbers::pi;
  return std::fabs(std::sin(radians)) + std::fabs(std::cos(radians));
}

ViewSamplerKind ChooseSamplerKind(float scale, float rotationDegrees) {
  return static_cast<double>(scale) > RotationSpan(rotationDegrees) ? kSamplerReducing
                                                                     : kSamplerNearest;
}

void ChooseSampler(CanvasView& view) {
  view.samplerKind = ChooseSamplerKind(view.scale, view.rotation);
  view.sampler = view.samplers[view.samplerKind];
}

int32_t ViewScreenDpi(const CanvasView& view) {
  return PositiveOr(view.settings.screenDpi, kDefaultScreenDpi);
}

int32_t ViewPrintDpi(const CanvasView& view) {
  return PositiveOr(view.settings.printDpi, kDefaultPrintDpi);
}

int32_t ViewPaperTexture(const CanvasView& view) {
  return view.settings.paperTexture ? *view.settings.paperTexture : 0;
}

void UpdateViewOrigin(CanvasView& view) {
  view.originX = view.clientWidth / 2 - view.centreX;
  view.originY = view.clientHeight / 2 - view.centreY;
}

PixelRect ViewClientRect(const CanvasView& view) {
  return {0, 0, view.clientWidth, view.clientHeight};
}
