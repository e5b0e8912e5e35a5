#include "view/view_commands.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <numbers>

#include "view/view_operations.h"

namespace {

constexpr float kZoomInSteps[] = {8.0f, 4.0f, 2.0f, 1.0f, 0.5f, 0.25f, 0.125f};
constexpr float kZoomOutSteps[] = {0.25f, 0.5f, 1.0f, 2.0f, 4.0f, 8.0f, 16.0f};
constexpr int32_t kWheelNotch = 120;
constexpr int32_t kMinDragZoomRadius = 100;

// A scale change asked for by a command runs under the wait cursor.
void SetScaleWaiting(CanvasView& view, float target) {
  if (view.hooks.waitCursor) view.hooks.waitCursor(view, 1);
  SetViewScale(view, target);
  if (view.hooks.waitCursor) view.hooks.waitCursor(view, 0);
}

bool ChangeScale(CanvasView& view, float target) {
  if (target == 0.0f) return false;
  SetScaleWaiting(view, target);
  return true;
}

}  // namespace

float ZoomInScale(float current) {
  for (float step : kZoomInSteps)
    if (current > step) return step;
  return 0.0f;
}

float ZoomOutScale(float current) {
  for (float step : kZoomOutSteps)
    if (current < step) return step;
  return 0.0f;
}

bool ZoomPreset(CanvasView& view, int preset) {
  if (preset < 1 || preset > kZoomPresetCount) return false;
  float target = kZoomPresetScales[preset - 1];
  if (view.scale == target) return false;
  return ChangeScale(view, target);
}

bool ZoomIn(CanvasView& view) { return ChangeScale(view, ZoomInScale(view.scale)); }
bool ZoomOut(CanvasView& view) { return ChangeScale(view, ZoomOutScale(view.scale)); }

float FitScale(const CanvasView& view) {
  float across = static_cast<float>(ViewCanvasWidth(view)) /
                 static_cast<float>(std::max(view.clientWidth, 1));
  float down = static_cast<float>(ViewCanvasHeight(view)) /
               static_cast<float>(std::max(view.clientHeight, 1));
  return std::clamp(std::max(across, down), 1.0f, 16.0f);
}

void FitViewToWindow(CanvasView& view) {
  ResetView(view);
  SetScaleWaiting(view, FitScale(view));
}

void ShowPrintSize(CanvasView& view) {
  ResetView(view);
  SetScaleWaiting(view, PrintSizeScale(view));
}

void RotationPreset(CanvasView& view, int preset) {
  if (preset < 1 || preset > kRotationPresetCount) return;
  SetViewRotation(view, kRotationPresetDegrees[preset - 1]);
}

int32_t NextQuarterRotation(float rotation) {
  return (static_cast<int32_t>(rotation) / 90 + 1) * 90;
}

int32_t PreviousQuarterRotation(float rotation) {
  return ((static_cast<int32_t>(rotation) + 89) / 90) * 90 - 90;
}

void RotateToNextQuarter(CanvasView& view) {
  SetViewRotation(view, static_cast<float>(NextQuarterRotation(view.rotation)));
}

void RotateToPreviousQuarter(CanvasView& view) {
  SetViewRotation(view, static_cast<float>(PreviousQuarterRotation(view.rotation)));
}

void RotateBy(CanvasView& view, float degrees) { SetViewRotation(view, view.rotation + degrees); }

WheelZoom AccumulateWheel(int32_t& sum, int32_t delta) {
  sum += delta;
  if (sum >= kWheelNotch) {
    sum = 0;
    return kWheelZoomOut;
  }
  if (sum <= -kWheelNotch) {
    sum = 0;
    return kWheelZoomIn;
  }
  return kWheelNone;
}

int32_t FormatZoomTitle(float scale, char16_t* out, int32_t capacity) {
  char text[64];
  int length = scale >= 1.0f ? std::snprintf(text, sizeof text, " - 1/%.3f", scale)
                             : std::snprintf(text, sizeof text, " - x%.3f", 1.0f / scale);
  if (capacity > 0) out[0] = u'\0';
  if (length < 0 || length >= capacity) return -1;
  for (int i = 0; i <= length; ++i) out[i] = static_cast<char16_t>(text[i]);
  return length;
}

double DragAngle(int32_t mx, int32_t my, int32_t clientWidth, int32_t clientHeight) {
  return std::atan2(static_cast<double>(mx - clientWidth / 2),
                    static_cast<double>(my - clientHeight / 2));
}

double DragRotationDegrees(double startAngle, double angle) {
  return (angle - startAngle) * 180.0 / std::numbers::pi;
}

void ApplyRotateDrag(CanvasView& view, double startAngle, double angle) {
  SetViewRotation(view, static_cast<float>(view.rotation + DragRotationDegrees(startAngle, angle)));
}

int32_t DragZoomRadius(int32_t mx, int32_t my, int32_t clientWidth, int32_t clientHeight) {
  return std::max(std::abs(mx - clientWidth / 2), std::abs(my - clientHeight / 2));
}

int32_t DragZoomStartRadius(int32_t mx, int32_t my, int32_t clientWidth, int32_t clientHeight) {
  int32_t r = DragZoomRadius(mx, my, clientWidth, clientHeight);
  return r <= kMinDragZoomRadius ? kMinDragZoomRadius : r;
}

float DragZoomScale(float scale, int32_t radius, int32_t startRadius) {
  float factor = static_cast<float>(radius) / static_cast<float>(startRadius);
  return std::clamp(scale / factor, 1.0f, 16.0f);
}

void ApplyZoomDrag(CanvasView& view, int32_t radius, int32_t startRadius) {
  SetScaleWaiting(view, DragZoomScale(view.scale, radius, startRadius));
}
