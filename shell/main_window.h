// The main window: owns the application state (settings, canvas, view, input) and routes
// window messages, commands and pen samples to it.
#pragma once

#include <windows.h>

#include <filesystem>

#include "app/app_state.h"
#include "app/text_stamp.h"
#include "app/touch_gesture.h"
#include "app/view_drag.h"
#include "shell/menus.h"
#include "shell/panel_column.h"
#include "shell/wintab_input.h"

inline constexpr wchar_t kMainWindowClass[] = L"DotwrightMainClass";
inline constexpr wchar_t kMainWindowTitle[] = L"Dotwright";

// Handed from the entry point to the main window as its creation parameter.
struct CreationBlock {
  HACCEL* acceleratorTable;  // the main window stores the table it builds here
  const wchar_t* commandLine;
  int acceleratorsEnabled;   // read by the message loop; 1 at start
};

// What the main window owns, bound to its handle (GWLP_USERDATA) from WM_CREATE to
// WM_NCDESTROY; the view window keeps a pointer to it too.
struct MainWindow {
  CreationBlock* block = nullptr;
  HWND window = nullptr;
  HWND view = nullptr;               // the canvas view window, a child
  HWND selection = nullptr;          // the floating selection's window, a child of the view
  UINT canvasControlMessage = 0;
  bool ready = false;                // the creation sequence has finished
  bool closing = false;              // the close is asking or saving: a second close waits for it
  int32_t wheelSum = 0;              // wheel deltas not yet turned into a zoom step
  HACCEL accelerators = nullptr;     // built from the keyboard bindings
  ProgramMenus menus;                // the language library and the menu bar made from it
  TabletInput tablet;                // tablet library, pointer functions, joystick poll
  // Moving the view by hand: the drag under way, its preview workers (zoom, turn) and the
  // picture a turn starts from.
  ViewDrag drag;
  PreviewWorker zoomPreview, rotatePreview;
  DibBitmap* dragPicture = nullptr;
  TextRecord textRecord = DefaultTextRecord();  // what the text dialog showed last
  TouchGesture touch;                // fingers on the view (their turn shares the picture above)
  bool spaceHeld = false;            // the pan key is down
  bool outlineShown = false;         // a sample came in since the last view change: draw the outline
  bool ctrlSwitched = false;         // Ctrl made the Ctrl pen current ...
  int32_t penBeforeCtrl = 0;         // ... in place of this slot
  PanelWindows panels;               // the panel column, its members, their arrangement
  HWND penSelector = nullptr;        // the floating pen selector (hidden until called)
  HWND easyPanel = nullptr;          // the easy panel: pen icons and layer colours
  std::filesystem::path droppedPath; // a file dropped through the drag loop, opened once it ends
  AppState app;
};

LRESULT CALLBACK MainWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

// Sets the title from the view scale, the current file and the saved flag.
void RefreshTitle(MainWindow& w);

// Shows text in a message box with the caption "Dotwright" and the error icon, no owner;
// with no text it shows "DEBUG".
void ReportError(const wchar_t* text);
