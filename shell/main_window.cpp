#include "shell/main_window.h"

#include <ole2.h>

#include <cstring>
#include <mutex>
#include <new>
#include <vector>

#include "app/canvas_control.h"
#include "app/file_commands.h"
#include "app/private_messages.h"
#include "app/startup_canvas.h"
#include "app/view_commands_run.h"
#include "app/window_title.h"
#include "settings/command_ids.h"
#include "settings/settings_file.h"
#include "shell/file_dialogs.h"
#include "shell/key_config_dialog.h"
#include "shell/platform_queries.h"
#include "shell/view_window.h"
#include "view/view_commands.h"
#include "view/view_operations.h"

namespace {

MainWindow* WindowOf(HWND hwnd) { return reinterpret_cast<MainWindow*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA)); }

// Ctrl held makes the Ctrl pen current; letting go brings the previous pen back.
constexpr int32_t kCtrlPen = 1;

void SwitchCtrlPen(MainWindow& w, bool down) {
  AppState& s = w.app;
  if (down == w.ctrlSwitched) return;
  if (down) w.penBeforeCtrl = s.settings.numPenSetting;
  w.ctrlSwitched = down;
  (void)RunSessionCommand(s, CMD_SELECT_PEN_0 + (down ? kCtrlPen : w.penBeforeCtrl));
  InvalidateRect(w.view, nullptr, FALSE);
}

// Keys that act while held; every other key arrives as a command through the accelerators.
void OnKey(MainWindow& w, WPARAM key, bool down, bool repeat) {
  if (repeat) return;
  if (key == VK_SPACE && down != w.spaceHeld) SetPanKey(w, down);
  if (key == VK_CONTROL) SwitchCtrlPen(w, down);
}

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
  ListWorkingFolder(s);

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
  const std::filesystem::path named = s.settings.currentFilePath;
  const StartCanvasSource source = OpenStartUpCanvas(s, s.loaders);
  if (source == StartCanvasSource::kNone) ReportError(L"Not enough memory for the canvas.");
  if (!named.empty() && source != StartCanvasSource::kCommandLineFile) {
    WindowFileHost host(*w);
    host.Report(FileCommandFailure::kCannotRead, named, 0);
  }
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
    if (w->closing) return;
    AppState& s = w->app;
    CommitPendingOperation(s);
    WindowFileHost host(*w);
    w->closing = true;
    const bool leave = SaveBeforeClose(s, host);
    w->closing = false;
    if (!leave) return;  // the artist chose to stay, or the canvas could not be saved
    w->zoomPreview.Stop();
    w->rotatePreview.Stop();
    FreeDibBitmap(w->dragPicture);
    if (w->ctrlSwitched) SwitchCtrlPen(*w, false);
    StopUpdateThread(s.step.update);
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
  if (command == CMD_KEY_CONFIG) {
    if (ShowKeyConfigDialog(w.window, w.menus.module, w.menus.bar, w.app.settings)) ReplaceAcceleratorTable(w);
    return;
  }
  if (!CommandKeepsPendingOperation(command)) CommitPendingOperation(w.app);
  WindowFileHost host(w);
  const FileCommandOutcome file = RunFileCommand(w.app, host, command);
  if (file.handled) {
    if (file.title || file.canvasReplaced) RefreshTitle(w);
    if (file.view || file.canvasReplaced) InvalidateRect(w.view, nullptr, FALSE);
    return;
  }
  const CommandOutcome done = RunSessionCommand(w.app, command);
  if (done.view) w.outlineShown = false;  // shown again at the next sample
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
    case WM_KEYDOWN:
    case WM_KEYUP:
      if (w && w->ready) OnKey(*w, wParam, message == WM_KEYDOWN, message == WM_KEYDOWN && (lParam & (1 << 30)));
      return 0;
    case WM_SYSKEYUP:
      if (w && w->ready && wParam == VK_CONTROL) OnKey(*w, wParam, false, false);
      break;
    case WM_MOUSEWHEEL:
      if (w && w->ready) OnWheel(*w, GET_WHEEL_DELTA_WPARAM(wParam));
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
