#include "settings/canvas_presets.h"

#include <array>

namespace {

constexpr std::array<CanvasSize, 8> kPortrait600 = {{
    {7016, 9921},   // A3
    {4961, 7016},   // A4
    {3496, 4961},   // A5
    {2480, 3496},   // A6
    {8598, 12165},  // B4
    {6071, 8598},   // B5
    {4299, 6071},   // B6
    {3024, 4299},   // B7
}};

int32_t Scale(int32_t side600, int32_t printDpi) {
  const int64_t scaled = (static_cast<int64_t>(side600) * printDpi + 300) / 600;
  return scaled > INT32_MAX ? INT32_MAX : static_cast<int32_t>(scaled);
}

}  // namespace

CanvasSize CanvasPreset600(int index) {
  if (index < 0 || index >= kCanvasPresetCount) index = kDefaultCanvasPreset;
  const CanvasSize portrait = kPortrait600[index % 8];
  return index < 8 ? portrait : CanvasSize{portrait.height, portrait.width};
}

CanvasSize CanvasPresetSize(int index, int32_t printDpi) {
  if (printDpi < 1) printDpi = 600;
  const CanvasSize s = CanvasPreset600(index);
  return {Scale(s.width, printDpi), Scale(s.height, printDpi)};
}
