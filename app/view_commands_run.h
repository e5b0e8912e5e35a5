// The commands that act on the session alone, without a dialog or a file: undo and redo, zoom,
// rotation and mirror, the pen slots and the brush size steps. The main window routes every
// command here first and handles what is left (files, dialogs, panels) itself.
#pragma once

#include <cstdint>

#include "app/app_state.h"

// What the window must refresh after a command.
struct CommandOutcome {
  bool handled = false;  // the command is one of these; otherwise the caller handles it
  bool title = false;    // the title changed (zoom, saved flag)
  bool view = false;     // repaint the whole view window from the back buffer
  bool pen = false;      // the current pen or its size changed: pen panels re-read it
};

// The pen slot a digit key's id selects: 301, 302, 303 give slots 0..2 and 305..309 slots 3..7
// (the default bindings give key 4 the id 305); -1 for every other id.
int32_t DigitKeyPenSlot(int32_t command);

// Runs the command on the session, under the view lock where it touches the view or the
// canvas. Undo and redo hand the changed rectangle to the update thread, which recomposes it.
CommandOutcome RunSessionCommand(AppState& state, int32_t command);
