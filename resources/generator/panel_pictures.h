// Pictures of the panels, drawn at build time for the resource compiler:
//
//   hue_ring.bmp        the colour picker's 384 x 384 picture (24-bit): a ring of hues between
//                       radii 146 and 190 around (192, 192), each at full chroma and lightness
//                       0.5 of the picker's colour model (canvas/hue_chroma.h) for its angle
//                       -atan2(y - 192, x - 192), so red is at the left and yellow above it;
//                       the panel grey (240, 240, 240) everywhere else, where the picker draws
//                       its triangle;
//   layer_visible.ico   an open eye      (a layer that is shown)
//   layer_hidden.ico    a closed eye     (a hidden layer)
//   layer_locked.ico    a shut padlock   (a locked layer)
//   layer_unlocked.ico  an open padlock  (a layer that may be edited)
//                       each 16, 24, 32 and 48 pixels a side, for the panel scales 1 to 3.
#pragma once

#include <filesystem>
#include <string>

inline constexpr int kHueRingSide = 384;

// Writes the five files into folder (made when missing). False when a file could not be
// written; the message names it.
[[nodiscard]] bool WritePanelPictures(const std::filesystem::path& folder, std::string& message);
