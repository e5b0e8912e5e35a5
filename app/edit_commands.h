// The edit commands that work on the canvas and the floating selection: select all, select
// layer, fill layer, cut, copy and paste of the program's own clipboard image. Each commits
// what it changes as one undo step; a selection they make floats until it is dropped.
#pragma once

#include <cstdint>

#include "app/app_state.h"
#include "app/view_commands_run.h"

// Runs CMD_SELECT_ALL, CMD_SELECT_LAYER, CMD_FILL_LAYER, CMD_CUT, CMD_COPY or CMD_PASTE;
// handled is false for any other command. Cut and copy need a floating selection, paste the
// program's clipboard image (the system clipboard is the window's).
CommandOutcome RunEditCommand(AppState& state, int32_t command);


// Another program's picture pasted when the program holds no clipboard image of its own: its
// dark pixels (luminance below one half, alpha at least one half) become a one-layer floating
// selection for the current layer, placed at the canvas point under the view's top-left corner
// (kept on the canvas) and cut to the canvas's size. pixels are 32-bit 0xAARRGGBB rows, top
// first, width x height. Returns false (nothing floats) for an empty picture or no memory.
bool FloatForeignPicture(AppState& state, const uint32_t* pixels, int32_t width, int32_t height);

// Another program's picture pasted as an imported image: converted to layer values as an
// imported colour file is (its colours dithered onto the first three layers), cut to the
// canvas's size, it floats on every layer at the same place as above. Same pixels and result.
bool FloatImportedPicture(AppState& state, const uint32_t* pixels, int32_t width, int32_t height);

// Floats a copy of image (8-bit layer values, or 1-bit ink for the current layer), cut to the
// canvas's size, at the canvas point under the view's top-left corner, kept on the canvas.
// Returns false (nothing floats) when there is no canvas or no memory.
bool FloatWholeImage(AppState& state, const DibBitmap& image);
