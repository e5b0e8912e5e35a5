#include "view/view_operations.h"

#include <algorithm>
#include <cmath>

#include "view/view_mapping.h"

namespace {

void Render(CanvasView& view, const PixelRect& clientRect) {
  if (view.hooks.renderViewRect == nullptr) return;
  PixelRect r = IntersectRect(clientRect, ViewClientRect(view));
  if (!IsRectEmpty(r)) view.hooks.renderViewRect(view, r);
}

void RenderWholeClient(CanvasView& view) { Render(view, ViewClientRect(view)); }

void Recompose(CanvasView& view) {
  if (view.hooks.recompose) view.hooks.recompose(view);
}

void WaitCursor(CanvasView& view, int on) {
  if (view.hooks.waitCursor) view.hooks.waitCursor(view, on);
}

void SetCentre(CanvasView& view, int32_t x, int32_t y) {
  view.centreX = x;
  view.centreY = y;
  UpdateViewOrigin(view);
}

// SetViewScale with an extra reason to recompose (the orientation changed behind its back).
void ApplyScale(CanvasView& view, float newScale, bool mustRecompose) {
  if (std::isnan(newScale)) return;
  newScale = std::clamp(newScale, kMinViewScale, kMaxViewScale);
  float old = view.scale;
  view.scale = newScale;
  const float inverse = 1.0f / newScale;
  SetCentre(view, TruncToInt32(static_cast<float>(view.centreX) * old * inverse),
            TruncToInt32(static_cast<float>(view.centreY) * old * inverse));
  ChooseSampler(view);
  double d = RotationSpan(view.rotation);
  if (static_cast<double>(newScale) > d || static_cast<double>(old) > d || mustRecompose)
    Recompose(view);
  RenderWholeClient(view);
}

// ceil(W / scale) x ceil(H / scale): the composed image of an unrotated view.
void UnrotatedImageSize(const CanvasView& view, int32_t& width, int32_t& height) {
  width = TruncToInt32(std::ceil(static_cast<float>(ViewCanvasWidth(view)) / view.scale));
  height = TruncToInt32(std::ceil(static_cast<float>(ViewCanvasHeight(view)) / view.scale));
}

// Width and height of the composed image; before there is one (no composition installed), the
// size an unrotated view composes.
void ComposedSize(const CanvasView& view, int32_t& width, int32_t& height) {
  if (view.composed == nullptr) return UnrotatedImageSize(view, width, height);
  width = DibWidth(*view.composed);
  height = DibHeight(*view.composed);
}

}  // namespace

void ScrollViewBy(CanvasView& view, int32_t dx, int32_t dy) {
  if (view.hooks.scrollBackBuffer) view.hooks.scrollBackBuffer(view, dx, dy);
  view.originX -= dx;
  view.originY -= dy;
  view.centreX += dx;
  view.centreY += dy;
  const int32_t w = view.clientWidth, h = view.clientHeight;
  if (dy < 0) Render(view, {0, 0, w, -dy});
  if (dy > 0) Render(view, {0, h - dy, w, h});
  if (dx < 0) Render(view, {0, 0, -dx, h});
  if (dx > 0) Render(view, {w - dx, 0, w, h});
}

void SetViewScale(CanvasView& view, float newScale) { ApplyScale(view, newScale, false); }

float NormaliseRotation(float degrees) {
  float whole = 0.0f;
  float fraction = std::modf(degrees, &whole);
  // fmod of an integral float is exact, and its sign is that of the dividend like C's %.
  float remainder = std::fmod(whole, 360.0f);
  if (degrees < 0.0f && remainder == 0.0f) return fraction + 360.0f;
  if (remainder < 0.0f) remainder += 360.0f;
  return remainder + fraction;
}

void SetViewRotation(CanvasView& view, float degrees) {
  if (!std::isfinite(degrees)) return;
  float rotation = NormaliseRotation(degrees);
  ViewPoint anchor = ViewToCanvas(view, static_cast<float>(view.centreX),
                                  static_cast<float>(view.centreY));
  view.rotation = rotation;
  ChooseSampler(view);
  Recompose(view);
  ViewPoint centre = CanvasToView(view, static_cast<float>(anchor.x), static_cast<float>(anchor.y));
  SetCentre(view, centre.x, centre.y);
  RenderWholeClient(view);
}

void ToggleViewMirror(CanvasView& view) {
  ViewPoint anchor = ViewToCanvas(view, static_cast<float>(view.centreX),
                                  static_cast<float>(view.centreY));
  view.mirrored = view.mirrored ? 0 : 1;
  Recompose(view);
  ViewPoint centre = CanvasToView(view, static_cast<float>(anchor.x), static_cast<float>(anchor.y));
  SetCentre(view, centre.x, centre.y);
  RenderWholeClient(view);
}

float PrintSizeScale(const CanvasView& view) {
  float target = static_cast<float>(ViewPrintDpi(view)) / static_cast<float>(ViewScreenDpi(view));
  return std::clamp(target, 1.0f, 16.0f);
}

namespace {

void ResetViewFor(CanvasView& view, bool newCanvas) {
  // Going straight must show a straight picture even when the scale does not change and the
  // scale alone would not ask for a new composed image; a new canvas always needs one.
  bool orientationChanged = newCanvas || view.mirrored != 0 || view.rotation != 0.0f;
  view.mirrored = 0;
  view.rotation = 0.0f;
  float target = PrintSizeScale(view);
  int32_t width = 0, height = 0;
  UnrotatedImageSize(view, width, height);
  SetCentre(view, width / 2, height / 2);
  ChooseSampler(view);
  WaitCursor(view, 1);
  ApplyScale(view, target, orientationChanged);
  WaitCursor(view, 0);
  ComposedSize(view, width, height);
  SetCentre(view, width / 2, height / 2);
  RenderWholeClient(view);
}

}  // namespace

void ResetView(CanvasView& view) { ResetViewFor(view, false); }

void ResetViewToNewCanvas(CanvasView& view) { ResetViewFor(view, true); }

bool ResizeView(CanvasView& view, int32_t width, int32_t height) {
  if (width == view.clientWidth && height == view.clientHeight) return true;
  if (view.hooks.resizeBackBuffer && !view.hooks.resizeBackBuffer(view, width, height)) return false;
  view.clientWidth = width;
  view.clientHeight = height;
  UpdateViewOrigin(view);
  RenderWholeClient(view);
  return true;
}
