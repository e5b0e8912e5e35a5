// Tablet, pen pointer and joypad input of the main window: loads the tablet driver library
// ("wintab32.dll") or the pointer functions of User32 at run time, opens the tablet context,
// turns packets, proximity, pen pointer messages and joystick polls into pen samples and
// commands, and closes it all again. The arithmetic lives in app/tablet_packets.
#pragma once

#include <windows.h>

#include "app/tablet_packets.h"

struct MainWindow;

// What the main window keeps for its input devices. The library's module and context handles
// themselves are the InputState's tabletLibrary and tabletContext.
struct TabletInput {
  // Tablet driver library functions; null when it is not loaded or lacks one.
  UINT(WINAPI* info)(UINT category, UINT index, LPVOID output) = nullptr;
  HANDLE(WINAPI* open)(HWND window, WintabContext* context, BOOL enable) = nullptr;
  BOOL(WINAPI* close)(HANDLE context) = nullptr;
  BOOL(WINAPI* packet)(HANDLE context, UINT serial, LPVOID packet) = nullptr;
  BOOL(WINAPI* queuePacketsEx)(HANDLE context, UINT* oldest, UINT* newest) = nullptr;
  BOOL(WINAPI* enable)(HANDLE context, BOOL enable) = nullptr;
  BOOL(WINAPI* overlap)(HANDLE context, BOOL toTop) = nullptr;
  BOOL(WINAPI* get)(HANDLE context, WintabContext* out) = nullptr;
  BOOL(WINAPI* set)(HANDLE context, WintabContext* in) = nullptr;
  // Pointer input of User32; the pen path needs all four, the others only the first two.
  HMODULE user32 = nullptr;
  BOOL(WINAPI* pointerType)(UINT32 id, POINTER_INPUT_TYPE* type) = nullptr;
  BOOL(WINAPI* pointerInfo)(UINT32 id, POINTER_INFO* info) = nullptr;
  BOOL(WINAPI* pointerPenInfo)(UINT32 id, POINTER_PEN_INFO* info) = nullptr;
  BOOL(WINAPI* pointerDeviceRects)(HANDLE device, RECT* deviceRect, RECT* displayRect) = nullptr;
  bool modalLoop = false;          // a menu or a move/size loop is running
  bool joystickCaptured = false;
  JoypadPoll joypad;
};

// Creation: chooses and opens the pen source by TabletDriver (setting it to 1 when pointer
// input is used), then captures joystick 1 with a 16 ms period.
void OpenTabletInput(MainWindow& w);

// Messages of the main window and of the view window (packets, proximity, activation, display
// changes, pointer and joystick messages, the "0" key). Returns true when the message was
// handled and result is its answer; false lets the window go on with it (several are only
// watched on their way).
bool RouteTabletMessage(MainWindow& w, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);

// Close, before the settings are saved: while the pen's tail is in use with TailSwitch on, the
// preset that was current before it becomes current again.
void RestorePenBeforeTail(MainWindow& w);

// Close, at the end: the tablet context closed, the library's "WacomMTQuit" called when it has
// one, the library and User32 freed, the joystick released.
void CloseTabletInput(MainWindow& w);
