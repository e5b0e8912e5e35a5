// The canvas view window: shows the view's back buffer and turns mouse input over it into pen
// samples for the input step.
#pragma once

#include <windows.h>

struct MainWindow;

LRESULT CALLBACK ViewWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

// Creates the view as a child of the main window, filling its client area, and installs the
// view's hooks and the update thread's and input step's messages, all aimed at this window.
HWND CreateViewWindow(MainWindow& w);
