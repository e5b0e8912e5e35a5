// The canvas view window: shows the view's back buffer and turns mouse input over it into pen
// samples for the input step.
#pragma once

#include <windows.h>

#include <filesystem>

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

// Runs before the main window or the view handles a message. While a preview renders, drawing
// input and keys are dropped (a button release comes back once it is done), so a slow preview
// never queues stale moves. A click, drop, wheel, size, close or most commands drop a floating
// selection first (a click on the view that does so goes no further). Returns true when the
// message was consumed here.
bool FilterBeforeDispatch(MainWindow& w, HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

// Drags a file out of the program (the picture or a floating selection written as the drag
// file); an empty path, a file that could not be written, is reported.
void DragFileOut(MainWindow& w, const std::filesystem::path& path);

// Gives a floating selection its window over the view, or takes the window away once the
// selection has been dropped (the keyboard goes back to the main window).
void SyncSelectionWindow(MainWindow& w);

// A touch pointer went down, moved or lifted at a screen point: one finger pans, two zoom and
// turn with a preview, applied when one of them lifts. Returns false when the system should
// have the message instead (a finger draws as the mouse when pen emulation is on).
bool OnTouchPointer(MainWindow& w, UINT message, UINT32 id, POINT screen);
