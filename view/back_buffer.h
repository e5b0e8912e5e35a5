// The view's back buffer as plain memory: what the view window shows, 32-bit, exactly the
// client size. The shell copies it to the window; these are the two hooks that change its size
// and shift its contents (ViewShellHooks::resizeBackBuffer and scrollBackBuffer).
#pragma once

#include <cstdint>

#include "view/canvas_view.h"

// Replaces the back buffer by one of width x height filled with the surround grey. A size below
// 1 x 1 leaves no back buffer. Returns false, changing nothing, when memory is short.
bool ResizeBackBuffer(CanvasView& view, int32_t width, int32_t height);

// Moves the back buffer's contents by (-dx, -dy): client pixel (x, y) takes what (x + dx, y + dy)
// showed. Pixels uncovered by the move keep their old contents; the caller renders them.
void ScrollBackBuffer(CanvasView& view, int32_t dx, int32_t dy);

// Installs both as the view's hooks.
void InstallBackBufferHooks(CanvasView& view);
