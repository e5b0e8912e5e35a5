// The canvas view window: shows the view's back buffer and turns mouse input over it into pen
// samples for the input step.
#pragma once

#include <windows.h>

#include "view/pen_sample.h"

struct MainWindow;

LRESULT CALLBACK ViewWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

// Creates the view as a child of the main window, filling its client area, and installs the
// view's hooks and the update thread's and input step's messages, all aimed at this window.
HWND CreateViewWindow(MainWindow& w);

// Feeds one pen sample of any source to the input step, with the view's client origin on the
// screen and the window facts the step needs (main window in front, Shift, what is under the
// cursor).
void FeedViewSample(MainWindow& w, const PenSample& sample);

// The pan key went down or up. Down: pan mode on (the hand cursor; a left drag moves the view).
// Up: pan mode stays on only while another program holds it; a drag under way is dropped and
// the view shown as it is; the brush outline waits for the next sample.
void SetPanKey(MainWindow& w, bool down);
