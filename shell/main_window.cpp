#include "shell/main_window.h"

#include <ole2.h>

#include <cstring>
#include <mutex>
#include <new>
#include <vector>

#include "app/canvas_control.h"
#include "app/private_messages.h"
#include "app/startup_canvas.h"
#include "app/texture_choice.h"
#include "app/view_commands_run.h"
#include "app/window_title.h"
#include "settings/command_ids.h"
#include "settings/settings_file.h"
#include "shell/platform_queries.h"
#include "shell/view_window.h"
#include "view/view_commands.h"
#include "view/view_operations.h"

namespace {

MainWindow* WindowOf(HWND hwnd) { return reinterpret_cast<MainWindow*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA)); }

// Creation, in order: settings (the abnormal-end count raised and saved at once, so a run that
// never closes in order leaves it raised), the accelerators, the language library and menus,
// the view window, the start-up canvas, the view state, the title; then the window is ready.
bool OnCreate(HWND hwnd, const CREATESTRUCTW* cs) {
  auto* w = new (std::nothrow) MainWindow;
  if (!w) return false;
  SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(w));
  w->window = hwnd;
  w->block = static_cast<CreationBlock*>(cs->lpCreateParams);
  w->canvasControlMessage = RegisterWindowMessageW(reinterpret_cast<const wchar_t*>(kCanvasControlMessageName));
  AppState& s = w->app;
  BindAppState(s);

  const PlatformQueries platform = QueryPlatform(hwnd, w->block ? w->block->commandLine : nullptr);
  InitSettings(s.settings, platform, 1);
  LoadLanguageAndMenus(*w);
  // Two runs in a row that never closed in order: the settings may be what breaks the program,
  // so offer to start again from the defaults.
  if (s.settings.AbnormalTerminationCount >= 2) {
    const wchar_t* question = LanguageString(w->menus.module, kStringResetAfterAbnormalEnd);
    if (question && MessageBoxW(hwnd, question, L"Dotwright", MB_YESNO | MB_ICONWARNING) == IDYES) {
      FreeLanguageAndMenus(*w);
      InitSettings(s.settings, platform, 0);
      LoadLanguageAndMenus(*w);
    }
  }
  ++s.settings.AbnormalTerminationCount;
  if (!s.settings.settingsFile.empty() && !SaveSettings(s.settings))
    ReportError(L"Cannot save the settings file.");

  // The accelerator table mirrors the keyboard bindings; the message loop reads it through the
  // creation block.
  std::vector<KeyBinding>& keys = s.settings.keyboard.entries;
  if (!keys.empty())
    w->accelerators = CreateAcceleratorTableW(reinterpret_cast<ACCEL*>(keys.data()), static_cast<int>(keys.size()));
  if (w->block && w->block->acceleratorTable) *w->block->acceleratorTable = w->accelerators;

  if (!CreateViewWindow(*w)) {
    ReportError(L"The canvas view could not be created.");
    return false;
  }
  const CanvasResourceLoaders resources = SessionResourceLoaders(s.settings);
  if (OpenStartUpCanvas(s, &resources) == StartCanvasSource::kNone) ReportError(L"Not enough memory for the canvas.");
  RECT client{};
  GetClientRect(w->view, &client);
  {
    std::lock_guard<std::recursive_mutex> guard(s.step.update.lock);
    s.view.settings.screenDpi = &s.settings.ScreenDPI;
    s.view.settings.printDpi = &s.settings.PrintDPI;
    ResizeView(s.view, client.right, client.bottom);
    ResetView(s.view);
  }
  RefreshTitle(*w);
  w->ready = true;
  InvalidateRect(w->view, nullptr, FALSE);
  return true;
}

// The orderly close: the working canvas written back (in working-canvas mode), the settings
// saved with the abnormal-end count cleared, everything released.
void OnClose(HWND hwnd) {
  MainWindow* w = WindowOf(hwnd);
  if (w) {
    AppState& s = w->app;
    StopUpdateThread(s.step.update);
    if (s.settings.currentFilePath.empty() && s.canvas.bitmap && !SaveWorkingCanvas(s))
      ReportError(L"Cannot save the working canvas.");
    WINDOWPLACEMENT placement{};
    placement.length = sizeof placement;
    if (GetWindowPlacement(hwnd, &placement)) {
      static_assert(sizeof placement == sizeof s.settings.placement);
      std::memcpy(&s.settings.placement, &placement, sizeof placement);
    }
    s.settings.AbnormalTerminationCount = 0;
    if (!s.settings.settingsFile.empty() && !SaveSettings(s.settings)) ReportError(L"Cannot save the settings file.");
    w->ready = false;
    ReleaseAppState(s);
    if (w->block && w->block->acceleratorTable) *w->block->acceleratorTable = nullptr;
    if (w->accelerators) DestroyAcceleratorTable(w->accelerators);
    w->accelerators = nullptr;
    FreeLanguageAndMenus(*w);
  }
  OleUninitialize();
  DestroyWindow(hwnd);
}

void OnWheel(MainWindow& w, int delta) {
  const WheelZoom step = AccumulateWheel(w.wheelSum, delta);
  if (step == kWheelNone) return;
  {
    std::lock_guard<std::recursive_mutex> guard(w.app.step.update.lock);
    if (step == kWheelZoomIn) ZoomIn(w.app.view);
    else ZoomOut(w.app.view);
  }
  RefreshTitle(w);
  InvalidateRect(w.view, nullptr, FALSE);
}

// Menu items and key bindings alike: a command greyed in the menu does nothing from a key either.
void OnCommand(MainWindow& w, int32_t command) {
  if (RunListedMenuCommand(w, command)) return;
  if (command == CMD_EXIT) {
    PostMessageW(w.window, WM_CLOSE, 0, 0);
    return;
  }
  if (!QueryCommand(static_cast<CommandId>(command), TakeCommandSnapshot(w.app, IsClipboardFormatAvailable(CF_DIB))).enabled)
    return;
  const CommandOutcome done = RunSessionCommand(w.app, command);
  if (done.title) RefreshTitle(w);
  if (done.view) InvalidateRect(w.view, nullptr, FALSE);
}

}  // namespace

void RefreshTitle(MainWindow& w) {
  const AppState& s = w.app;
  const std::u16string title = MainWindowTitle(s.view.scale, s.settings.currentFilePath, s.canvas.saved == 1);
  SetWindowTextW(w.window, reinterpret_cast<const wchar_t*>(title.c_str()));
}

void ReportError(const wchar_t* text) {
  MessageBoxW(nullptr, text ? text : L"DEBUG", L"Dotwright", MB_OK | MB_ICONERROR);
}

LRESULT CALLBACK MainWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  MainWindow* w = WindowOf(hwnd);
  if (w && message == w->canvasControlMessage && message != 0) {
    if (w->ready && ApplyCanvasControl(w->app.step, w->app.view, DecodeCanvasControl(wParam, lParam)))
      InvalidateRect(w->view, nullptr, FALSE);
    return 0;
  }
  switch (message) {
    case WM_CREATE:
      return OnCreate(hwnd, reinterpret_cast<const CREATESTRUCTW*>(lParam)) ? 0 : -1;
    case WM_SIZE:
      if (w && w->view) MoveWindow(w->view, 0, 0, LOWORD(lParam), HIWORD(lParam), TRUE);
      return 0;
    case WM_ERASEBKGND:
      return 1;  // the view covers the whole client area
    case WM_COMMAND:
      if (w && w->ready) OnCommand(*w, LOWORD(wParam));
      return 0;
    case WM_INITMENUPOPUP:
      if (w && w->ready && !HIWORD(lParam)) OnInitMenuPopup(*w, reinterpret_cast<HMENU>(wParam));
      return 0;
    case WM_MOUSEWHEEL:
      if (w && w->ready) OnWheel(*w, GET_WHEEL_DELTA_WPARAM(wParam));
      return 0;
    case kMsgTextureChosen:  // the texture panel's item w, as the texture menu's
      if (w && w->ready) (void)ChooseListedResource(w->app, w->menus.items, ListedMenu::kTexture, wParam);
      return 0;
    case kMsgViewRectReady:
      if (w) {
        const PixelRect r = PaintFinished(w->app.step.update);
        const RECT rect{r.left, r.top, r.right, r.bottom};
        if (r.right > r.left && r.bottom > r.top) InvalidateRect(w->view, &rect, FALSE);
      }
      return 0;
    case WM_CLOSE:
      OnClose(hwnd);
      return 0;
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
    case WM_NCDESTROY:
      delete w;
      SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
      break;
    default:
      break;
  }
  return DefWindowProcW(hwnd, message, wParam, lParam);
}
