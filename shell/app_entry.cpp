// Entry point: registers the window classes, starts COM and OLE, creates the main window and
// runs the message loop.
#include <objbase.h>
#include <ole2.h>
#include <windows.h>

#include <cwchar>

#include "shell/main_window.h"
#include "shell/member_windows.h"
#include "shell/window_classes.h"

namespace {

bool IsModelessDialog(HWND window) {
  wchar_t name[16] = {};
  return GetClassNameW(window, name, 16) && !std::wcscmp(name, L"#32770");
}

// Keys typed into an open drop-down list or a list box are the control's (Enter picks the item
// there rather than starting a new canvas).
bool KeyForControl(const MSG& msg) {
  if (msg.message != WM_KEYDOWN && msg.message != WM_CHAR) return false;
  wchar_t name[16] = {};
  if (!GetClassNameW(msg.hwnd, name, 16)) return false;
  return !std::wcscmp(name, L"ComboLBox") || !std::wcscmp(name, L"ListBox") ||
         (!std::wcscmp(name, L"ComboBox") && SendMessageW(msg.hwnd, CB_GETDROPPEDSTATE, 0, 0));
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR commandLine, int showCommand) {
  if (!RegisterWindowClasses(instance)) return 0;  // only the main class is essential

  CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  OleInitialize(nullptr);

  HACCEL accelerators = nullptr;
  CreationBlock block{&accelerators, commandLine, 1};
  HWND main = CreateWindowExW(0, kMainWindowClass, kMainWindowTitle, WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN,
                              CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr,
                              instance, &block);
  int exitCode = 0;
  if (main) {
    ShowWindow(main, showCommand);
    UpdateWindow(main);
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
      // A modeless dialog (a pen setting dialog) takes its own keys: Tab, Enter, Escape, and
      // letters typed into its edits, which must not reach the main window's bindings.
      HWND root = msg.hwnd ? GetAncestor(msg.hwnd, GA_ROOT) : nullptr;
      if (root && root != main && IsModelessDialog(root) && IsDialogMessageW(root, &msg)) continue;
      if (block.acceleratorsEnabled && accelerators && !IsSelectionWindowKey(msg) && !KeyForControl(msg) &&
          TranslateAcceleratorW(main, accelerators, &msg))
        continue;
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
    exitCode = static_cast<int>(msg.wParam);
  } else {
    ReportError(L"The main window could not be created.");
    exitCode = 1;
    OleUninitialize();
  }
  CoUninitialize();
  return exitCode;
}
