// The two pen panels of class "BMP Window Class": the tablet information (the raw values of
// the current sample and the shared status code) and the loupe (the canvas around the pen at
// one canvas pixel per screen pixel, rotated and mirrored like the view, enlarged by the UI
// scale). Each keeps its picture in a memory device context and paints by copying it.
#pragma once

#include <windows.h>

struct MainWindow;

LRESULT CALLBACK InfoWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

// Redraws the pictures of the shown tablet information and loupe from the current sample and
// view, and invalidates both windows without erasing.
void RefreshPenPanels(MainWindow& w);
