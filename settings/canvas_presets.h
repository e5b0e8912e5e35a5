// Canvas size presets for new canvases: paper sizes in pixels at 600 DPI, scaled to the
// configured print resolution.
#pragma once

#include <cstdint>

inline constexpr int kCanvasPresetCount = 16;
inline constexpr int kDefaultCanvasPreset = 1;  // A4 portrait

struct CanvasSize {
  int32_t width, height;  // pixels
  bool operator==(const CanvasSize&) const = default;
};

// Presets 0..7 are A3, A4, A5, A6, B4, B5, B6, B7 in portrait at 600 DPI (A4 is 4961 x 7016);
// 8..15 the same sizes in landscape. An index outside 0..15 gives A4 portrait.
CanvasSize CanvasPreset600(int index);

// The preset scaled to printDpi: each side x printDpi / 600, rounded to the nearest pixel
// (halves up). A printDpi below 1 counts as 600; a side beyond the 32-bit range saturates
// (canvas creation then refuses it).
CanvasSize CanvasPresetSize(int index, int32_t printDpi);
