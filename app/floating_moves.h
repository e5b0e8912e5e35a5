// Moving a floating selection by hand, and the file it becomes when dragged out of the program.
#pragma once

#include <cstdint>
#include <filesystem>

#include "app/app_state.h"
#include "tools/feedback_outline.h"

// An arrow key moves the selection by one pixel, by ten with Shift.
inline constexpr int32_t ArrowMoveStep(bool shiftHeld) { return shiftHeld ? 10 : 1; }

// A Shift drag keeps to the nearest of eight directions: the cursor's displacement (dx, dy)
// from the drag start keeps its length d = trunc(sqrt(dx² + dy²)) and turns to the nearest
// multiple of 45° of atan2(-dy, dx) (boundaries at ±22.5°, ±67.5°, ...); the result is
// (trunc(cos θ × d), -trunc(sin θ × d)). No movement stays none.
IntPoint ConstrainToEightDirections(int32_t dx, int32_t dy);

// Writes the floating image as the drag file "_DnD_.png" of the working folder and returns its
// path, or an empty path when there is nothing floating or it could not be written. A
// single-layer lift becomes a two-colour picture (the current layer's colour on the paper
// colour); an all-layer lift a canvas file of the selection with the canvas's colours and layer
// table, so dropping it into the program opens it as it looked.
std::filesystem::path WriteFloatingDragFile(AppState& state);
