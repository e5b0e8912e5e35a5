// Where the main window opens: the placement saved at the last close, made safe to apply. A
// settings file written on a larger or different screen, or damaged, must not put the window
// where the artist cannot reach it.
#pragma once

#include "settings/platform_queries.h"

struct PlacementToApply {
  bool apply;        // false: keep the system's default position and size
  bool maximise;     // the window was maximised when it closed
  WindowPlacement placement;  // showCmd 0: the entry point shows the window itself
};

// The saved placement with its show command replaced by 0. Its restored rectangle keeps its
// size (at most the screen's) and is moved just enough that it lies on screen, the virtual
// screen's rectangle. A rectangle that is empty, inverted or smaller than 160 x 120 is not
// applied, nor is any placement when the screen itself is empty.
PlacementToApply PlacementToRestore(const WindowPlacement& saved, const PlacementRect& screen);
