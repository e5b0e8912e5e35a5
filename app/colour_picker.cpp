#include "app/colour_picker.h"

#include <algorithm>
#include <cmath>

namespace {

PickerBox MarkerAround(int32_t x, int32_t y, float s) {
  const int32_t before = static_cast<int32_t>(3 * s), after = static_cast<int32_t>(4 * s);
  return {x - before, y - before, x + after, y + after};
}

}  // namespace

float TriangleEdge(float y) {
  return kTriangleLeft + kTriangleWidth - std::abs(191.5f - y) * kTriangleWidth / 122.5f;
}

int32_t TriangleRowEnd(int32_t y) {
  return kTriangleLeft +
         static_cast<int32_t>(kTriangleWidth - std::abs(191.5f - static_cast<float>(y)) * kTriangleWidth / 122.5f + 0.5f);
}

void DrawPickerTriangle(uint32_t* pixels, float theta) {
  for (int32_t y = kTriangleBottom; y >= kTriangleTop; --y) {
    const float lightness = 1.0f - static_cast<float>(y - kTriangleTop) / kTriangleHeight;
    uint32_t* row = pixels + static_cast<size_t>(y) * kPickerSide;
    const int32_t end = std::min(TriangleRowEnd(y), kPickerSide - 1);
    for (int32_t x = kTriangleLeft; x <= end; ++x)
      row[x] = HueChromaPixel(theta, static_cast<float>(x - kTriangleLeft) / kTriangleWidth, lightness);
  }
}

PickerPoint PickerPointOfClient(int32_t x, int32_t y, int32_t width, int32_t height) {
  const int64_t w = std::max(width, 1), h = std::max(height, 1);
  return {static_cast<int32_t>(int64_t{x} * kPickerSide / w), static_cast<int32_t>(int64_t{y} * kPickerSide / h)};
}

bool OnPickerRing(PickerPoint p) {
  const int64_t dx = p.x - kPickerCentre, dy = p.y - kPickerCentre;
  return dx * dx + dy * dy > int64_t{kPickerRingInner} * kPickerRingInner;
}

float RingAngleAt(PickerPoint p) {
  return -std::atan2(static_cast<float>(p.y - kPickerCentre), static_cast<float>(p.x - kPickerCentre));
}

void PickInTriangle(PickerPoint p, float& chroma, float& lightness) {
  if (p.y < kTriangleTop)
    lightness = 1.0f;
  else if (p.y <= kTriangleBottom)
    lightness = 1.0f - static_cast<float>(p.y - kTriangleTop) / kTriangleHeight;
  else
    lightness = 0.0f;
  const float edge = TriangleEdge(static_cast<float>(p.y));
  if (p.x < kTriangleLeft)
    chroma = 0.0f;
  else if (static_cast<float>(p.x) <= edge)
    chroma = static_cast<float>(p.x - kTriangleLeft) / kTriangleWidth;
  else
    chroma = std::max(0.0f, (edge - kTriangleLeft) / kTriangleWidth);
}

PickerEffect PickerPress(PickerState& state, PickerPoint p) {
  if (OnPickerRing(p)) {
    state.ringDrag = true;
    state.triangleDrag = false;
    state.colour.theta = RingAngleAt(p);
    return PickerEffect::kRedrawTriangle;
  }
  state.ringDrag = false;
  state.triangleDrag = true;
  PickInTriangle(p, state.colour.chroma, state.colour.lightness);
  return PickerEffect::kRepaint;
}

PickerEffect PickerMove(PickerState& state, PickerPoint p) {
  if (state.ringDrag) {
    state.colour.theta = RingAngleAt(p);
    return PickerEffect::kRedrawTriangle;
  }
  if (state.triangleDrag) {
    PickInTriangle(p, state.colour.chroma, state.colour.lightness);
    return PickerEffect::kRepaint;
  }
  return PickerEffect::kNone;
}

PickerPoint PickerRelease(PickerState& state, PickerPoint p) {
  if (!state.ringDrag) PickInTriangle(p, state.colour.chroma, state.colour.lightness);
  state.ringDrag = state.triangleDrag = false;
  const float c = std::clamp(state.colour.chroma, 0.0f, 1.0f), l = std::clamp(state.colour.lightness, 0.0f, 1.0f);
  const int32_t y = std::clamp(static_cast<int32_t>((1.0f - l) * kTriangleHeight + kTriangleTop), kTriangleTop,
                               kTriangleBottom);
  const int32_t x = std::clamp(static_cast<int32_t>(c * kTriangleWidth + kTriangleLeft), kTriangleLeft,
                               std::min(TriangleRowEnd(y), kPickerSide - 1));
  return {x, y};
}

uint32_t LayerColourOfPixel(uint32_t pixel) {
  return (pixel & 0xFF) << 16 | (pixel & 0xFF00) | ((pixel >> 16) & 0xFF);
}

PickerBox HueMarkerBox(float theta, int32_t width, int32_t height, float s) {
  const int32_t x = static_cast<int32_t>(width / 2.0f + std::cos(theta) * 56.0f * s);
  const int32_t y = static_cast<int32_t>(height / 2.0f - std::sin(theta) * 56.0f * s);
  return MarkerAround(x, y, s);
}

PickerBox TriangleMarkerBox(float chroma, float lightness, int32_t width, int32_t height, float s) {
  const int32_t x = static_cast<int32_t>((chroma * kTriangleWidth + kTriangleLeft) * width / kPickerSide + 0.5f);
  const int32_t y =
      static_cast<int32_t>(((1.0f - lightness) * kTriangleHeight + kTriangleTop) * height / kPickerSide + 0.5f);
  return MarkerAround(x, y, s);
}
