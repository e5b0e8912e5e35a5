// The main window: owns the application state (settings, canvas, view, input) and routes to it.
#pragma once

#include <windows.h>

inline constexpr wchar_t kMainWindowClass[] = L"DotwrightMainClass";
inline constexpr wchar_t kMainWindowTitle[] = L"Dotwright";
inline constexpr wchar_t kCanvasControlMessageName[] = L"Dotwright_CanvasControl_Msg";

// Handed from the entry point to the main window as its creation parameter.
struct CreationBlock {
  HACCEL* acceleratorTable;  // the main window stores the table it builds here
  const wchar_t* commandLine;
  int acceleratorsEnabled;   // read by the message loop; 1 at start
};

LRESULT CALLBACK MainWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

// Shows text in a message box with the caption "Dotwright" and the error icon, no owner;
// with no text it shows "DEBUG".
void ReportError(const wchar_t* text);
