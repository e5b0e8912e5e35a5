#include "brush/pen_setting.h"

#include <algorithm>
#include <cmath>

void ClampPenSetting(PenSetting& pen) {
  const auto clamp = [](int32_t& v, int32_t low, int32_t high) { v = std::clamp(v, low, high); };
  clamp(pen.Size, 1, kMaxPenSize);
  clamp(pen.Hardness, 0, 100);
  clamp(pen.Interval, 1, 999);
  clamp(pen.Dispersal, 0, 999);
  clamp(pen.Roundness, 1, 100);
  clamp(pen.Angle, 0, 359);
  clamp(pen.SizePressure, 0, 100);
  clamp(pen.AngleJitter, 0, 100);
  clamp(pen.SizeJitter, 0, 100);
}

float PressureGamma(int hardness) {
  hardness = std::clamp(hardness, 0, 100);
  if (hardness < 50) return 1.0f / (static_cast<float>(50 - hardness) * 0.02f * 3.0f + 1.0f);
  return static_cast<float>(hardness - 50) * 0.02f * 3.0f + 1.0f;
}

float ShapePressure(float pressure, float gamma) {
  return static_cast<float>(std::pow(static_cast<double>(pressure), static_cast<double>(gamma)));
}

int DrawingLayer(const PenSetting& pen, int currentLayer) {
  return pen.EnablePalette == 1 ? pen.Palette : currentLayer;
}
