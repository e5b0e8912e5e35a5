#include "app/bar_control.h"

#include <algorithm>
#include <cmath>

BarState NewBarState(int32_t clientWidth) {
  BarState bar;
  bar.width = std::max(clientWidth - 2, 1);
  bar.maximum = bar.width;
  return bar;
}

int32_t BarValue(const BarState& bar) {
  const double fraction = static_cast<double>(bar.position) / bar.width;
  if (bar.scale == BarScale::kLogarithmic)
    return static_cast<int32_t>(std::trunc(std::pow(static_cast<double>(bar.maximum), fraction) + 0.5));
  return static_cast<int32_t>(std::floor(bar.maximum * fraction));
}

float BarPositionOf(const BarState& bar, int32_t value) {
  const int32_t v = std::clamp(value, 0, bar.maximum);
  if (bar.scale == BarScale::kLogarithmic) {
    // log 0 has no finite value: 0 shows at the left end, as 1 does.
    if (v <= 1 || bar.maximum <= 1) return 0.0f;
    return static_cast<float>(std::log(static_cast<double>(v)) * bar.width / std::log(static_cast<double>(bar.maximum)));
  }
  return static_cast<float>(std::ceil(static_cast<double>(bar.width) * v / bar.maximum));
}

namespace {

float ClampPosition(const BarState& bar, double position) {
  return static_cast<float>(std::clamp(position, 0.0, static_cast<double>(bar.width)));
}

}  // namespace

BarReaction BarPress(BarState& bar, int32_t x, bool shift) {
  const int32_t at = std::clamp(x, 0, bar.width);
  bar.dragging = true;
  if (shift) {
    bar.fineAnchor = at;
    return {false, true};
  }
  bar.fineAnchor = kBarNoFineAnchor;
  bar.position = static_cast<float>(at);
  return {true, true};
}

BarReaction BarMove(BarState& bar, int32_t x) {
  if (!bar.dragging) return {};
  const float before = bar.position;
  if (bar.fineAnchor != kBarNoFineAnchor) {
    bar.position = ClampPosition(bar, bar.position + (static_cast<double>(x) - bar.fineAnchor) / 16.0);
    bar.fineAnchor = x;
  } else {
    bar.position = ClampPosition(bar, x);
  }
  return {bar.position != before, true};
}

void BarRelease(BarState& bar) { bar.dragging = false; }

bool BarSet(BarState& bar, int32_t what, int32_t value) {
  switch (what) {
    case 1:
    case 2:
      bar.scale = static_cast<BarScale>(what);
      return true;
    case 3:
      bar.maximum = std::max(value, 1);
      return true;
    case 4:
      bar.position = BarPositionOf(bar, value);
      return true;
    default:
      return false;
  }
}

float BarDrawScale(int32_t clientHeight) {
  if (clientHeight < 19) return 1.0f;
  if (clientHeight < 26) return 1.5f;
  if (clientHeight < 39) return 2.0f;
  return 3.0f;
}
