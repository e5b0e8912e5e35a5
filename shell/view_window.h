// The canvas view window: shows the view's back buffer and turns mouse input over it into pen
// samples for the input step.
#pragma once

#include <windows.h>

struct MainWindow;

LRESULT CALLBACK ViewWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

// Creates the view as a child of the main window, filling its client area, and installs the
// view's hooks and the update thread's and input step's messages, all aimed at this window.
HWND CreateViewWindow(MainWindow& w);

// The pan key went down or up. Down: pan mode on (the hand cursor; a left drag moves the view).
// Up: pan mode stays on only while another program holds it; a drag under way is dropped and
// the view shown as it is; the brush outline waits for the next sample.
void SetPanKey(MainWindow& w, bool down);
