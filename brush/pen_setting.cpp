#include "brush/pen_setting.h"

#include <cmath>

float PressureGamma(int hardness) {
  if (hardness < 50) return 1.0f / (static_cast<float>(50 - hardness) * 0.02f * 3.0f + 1.0f);
  return static_cast<float>(hardness - 50) * 0.02f * 3.0f + 1.0f;
}

float ShapePressure(float pressure, float gamma) {
  return static_cast<float>(std::pow(static_cast<double>(pressure), static_cast<double>(gamma)));
}

int DrawingLayer(const PenSetting& pen, int currentLayer) {
  return pen.EnablePalette == 1 ? pen.Palette : currentLayer;
}
