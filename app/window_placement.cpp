#include "app/window_placement.h"

#include <algorithm>
#include <cstdint>

namespace {

constexpr int64_t kMinWidth = 160, kMinHeight = 120;
constexpr uint32_t kShowMaximised = 3;

// Moves [low, high) by the least amount that puts it inside [first, last) (it is no longer).
void Fit(int64_t& low, int64_t& high, int64_t first, int64_t last) {
  if (high > last) {
    low -= high - last;
    high = last;
  }
  if (low < first) {
    high += first - low;
    low = first;
  }
}

}  // namespace

PlacementToApply PlacementToRestore(const WindowPlacement& saved, const PlacementRect& screen) {
  PlacementToApply result{false, false, saved};
  const PlacementRect& r = saved.rcNormalPosition;
  // 64-bit: the saved numbers may be anything a damaged file holds.
  int64_t left = r.left, top = r.top, right = r.right, bottom = r.bottom;
  const int64_t screenWidth = int64_t{screen.right} - screen.left, screenHeight = int64_t{screen.bottom} - screen.top;
  if (screenWidth < kMinWidth || screenHeight < kMinHeight) return result;
  if (right - left < kMinWidth || bottom - top < kMinHeight) return result;
  right = left + std::min(right - left, screenWidth);
  bottom = top + std::min(bottom - top, screenHeight);
  Fit(left, right, screen.left, screen.right);
  Fit(top, bottom, screen.top, screen.bottom);
  result.apply = true;
  result.maximise = saved.showCmd == kShowMaximised;
  result.placement.length = sizeof(WindowPlacement);
  result.placement.showCmd = 0;
  result.placement.rcNormalPosition = {static_cast<int32_t>(left), static_cast<int32_t>(top),
                                       static_cast<int32_t>(right), static_cast<int32_t>(bottom)};
  return result;
}
