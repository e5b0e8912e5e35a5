// What the program brings along, drawn from code at build time:
//
//   <program folder>/material   paper grains for the grain pens, 512 x 512 (the size the
//                               program reads): "none.bmp", plain white paper (1-bit), and
//                               "fine_grain.bmp", "rough_grain.bmp", "canvas_weave.bmp" (8-bit
//                               grey, seamless tiles whose 256 grey levels occur equally often,
//                               so a pencil's coverage follows its pressure evenly);
//   <program folder>/texture    1-bit patterns for the textured pen, 32 or 64 pixels wide (no
//                               widening needed): "tone_10.bmp" .. "tone_90.bmp", 45-degree
//                               clustered-dot screens of 53 lines per inch at 600 DPI, and
//                               lines, cross-hatching and sand;
//   <program folder>/stamp      1-bit 128 x 128 dab shapes for the stamp brush: star, heart,
//                               flower, sparkle;
//   <program folder>/template   "a4note.png": an A4 canvas at 600 DPI (4961 x 7016) with
//                               light-blue ruled lines every 7 mm on layer 7, which is locked
//                               so that erasing never takes the rules away.
//
// On the first start the program copies these folders into the user's data folder.
#pragma once

#include <filesystem>

// Writes the four folders (made when missing) under programFolder. False when any file could
// not be written; the message names the file.
[[nodiscard]] bool WriteDefaultContent(const std::filesystem::path& programFolder, std::string& message);

// Writes the program's icon "dotwright.ico" (16, 24, 32, 48, 64 and 256 pixels) and its canvas
// cursor "canvas.cur" (a cross hair of 32, 48 and 64 pixels, hot spot on its centre pixel)
// into folder, for the resource compiler, with the pen icons' sixteen-colour pictures
// "pen_icon_142.bmp" .. "pen_icon_146.bmp" (48 pixels square) and "pen_icon_147.bmp" ..
// "pen_icon_151.bmp" (64), a pen, an eraser, a fill bucket, a rectangle selection and a lasso.
[[nodiscard]] bool WriteProgramIcons(const std::filesystem::path& folder, std::string& message);
