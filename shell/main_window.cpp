#include "shell/main_window.h"

#include <ole2.h>
#include <shellapi.h>

#include <algorithm>
#include <cstring>
#include <mutex>
#include <new>
#include <vector>

#include "app/canvas_control.h"
#include "app/edit_commands.h"
#include "app/file_commands.h"
#include "app/language_menu.h"
#include "app/recovery.h"
#include "app/private_messages.h"
#include "app/startup_canvas.h"
#include "app/texture_choice.h"
#include "app/user_texts.h"
#include "app/view_commands_run.h"
#include "app/window_placement.h"
#include "app/window_title.h"
#include "files/bmp_reader.h"
#include "settings/command_ids.h"
#include "reduce/gpu_engine.h"
#include "settings/settings_file.h"
#include "shell/colour_windows.h"
#include "shell/file_dialogs.h"
#include "shell/info_windows.h"
#include "shell/panel_column.h"
#include "shell/pen_panels.h"
#include "shell/key_config_dialog.h"
#include "shell/pen_setting_dialog.h"
#include "shell/settings_dialog.h"
#include "shell/platform_queries.h"
#include "shell/file_drop_target.h"
#include "shell/print_job.h"
#include "shell/text_dialog.h"
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
  TellPenPanels(w);
}

// Keys that act while held; every other key arrives as a command through the accelerators.
void OnKey(MainWindow& w, WPARAM key, bool down, bool repeat) {
  if (repeat) return;
  if (key == VK_SPACE && down != w.spaceHeld) SetPanKey(w, down);
  if (key == VK_CONTROL) SwitchCtrlPen(w, down);
  if (key == VK_ESCAPE && down) HidePenSelector(w);
}

// The placement of the last close, kept on screen; a maximised window opens maximised.
void RestorePlacement(HWND hwnd, const WindowPlacement& saved) {
  const PlacementRect screen{GetSystemMetrics(SM_XVIRTUALSCREEN), GetSystemMetrics(SM_YVIRTUALSCREEN),
                             GetSystemMetrics(SM_XVIRTUALSCREEN) + GetSystemMetrics(SM_CXVIRTUALSCREEN),
                             GetSystemMetrics(SM_YVIRTUALSCREEN) + GetSystemMetrics(SM_CYVIRTUALSCREEN)};
  const PlacementToApply p = PlacementToRestore(saved, screen);
  if (!p.apply) return;
  static_assert(sizeof(WINDOWPLACEMENT) == sizeof(WindowPlacement));
  WINDOWPLACEMENT placement;
  std::memcpy(&placement, &p.placement, sizeof placement);
  SetWindowPlacement(hwnd, &placement);
  if (p.maximise) PostMessageW(hwnd, WM_SYSCOMMAND, SC_MAXIMIZE, 0);
}

// Cut and copy announce a bitmap on the system clipboard; it is drawn only when another
// program asks for it (RenderClipboardBitmap).
void ClaimClipboard(MainWindow& w) {
  if (!OpenClipboard(w.window)) return;
  EmptyClipboard();
  SetClipboardData(CF_DIB, nullptr);
  CloseClipboard();
}

// The program's clipboard image as a device-independent bitmap in global memory: an all-layer
// copy with the canvas's colours, a one-layer copy in the current layer's colour on the paper.
HGLOBAL ClipboardBitmap(const AppState& s) {
  const DibBitmap* image = s.clipboard.image;
  if (!image || !s.canvas.bitmap) return nullptr;
  const int depth = DibDepth(*image), width = DibWidth(*image), height = DibHeight(*image);
  const int colours = depth == 1 ? 2 : 256;
  const size_t stride = static_cast<size_t>(DibStride(depth, width));
  const size_t size = sizeof(BITMAPINFOHEADER) + colours * sizeof(RGBQUAD) + stride * static_cast<size_t>(height);
  HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, size);
  auto* header = memory ? static_cast<BITMAPINFOHEADER*>(GlobalLock(memory)) : nullptr;
  if (!header) {
    if (memory) GlobalFree(memory);
    return nullptr;
  }
  *header = BITMAPINFOHEADER{sizeof(BITMAPINFOHEADER), width, height, 1, static_cast<WORD>(depth), BI_RGB, 0, 0, 0,
                             static_cast<DWORD>(colours), 0};
  auto* table = reinterpret_cast<RGBQUAD*>(header + 1);
  auto entry = [](uint32_t colour) {  // 0x00BBGGRR
    return RGBQUAD{static_cast<BYTE>(colour >> 16), static_cast<BYTE>(colour >> 8), static_cast<BYTE>(colour), 0};
  };
  if (depth == 1) {
    const int layer = s.canvas.currentLayer >= 0 && s.canvas.currentLayer < kLayerCount ? s.canvas.currentLayer : 0;
    table[0] = entry(s.canvas.layers.rows[kPaperRow].colour);  // a clear bit: not painted
    table[1] = entry(s.canvas.layers.rows[layer].colour);
  } else {
    std::memcpy(table, s.canvas.bitmap->colours, 256 * sizeof(RGBQUAD));
  }
  auto* bits = reinterpret_cast<uint8_t*>(table + colours);
  for (int y = 0; y < height; ++y) std::memcpy(bits + stride * static_cast<size_t>(height - 1 - y), DibRow(*image, y), stride);
  GlobalUnlock(memory);
  return memory;
}

// Another program asked for the bitmap cut or copy announced (or the program is closing and
// leaves it behind): draw it now.
void RenderClipboardBitmap(MainWindow& w, bool openFirst) {
  if (openFirst && !OpenClipboard(w.window)) return;
  if (!openFirst || GetClipboardOwner() == w.window) {
    if (HGLOBAL bitmap = ClipboardBitmap(w.app); bitmap && !SetClipboardData(CF_DIB, bitmap)) GlobalFree(bitmap);
  }
  if (openFirst) CloseClipboard();
}

constexpr UINT_PTR kRecoveryTimer = 1;

// Asks whether to take back the copy of unsaved changes an abnormal end left; either way the
// copy is then gone from the folder's point of view (taken, or declined and removed).
void OfferRecoveryCopy(MainWindow& w) {
  AppState& s = w.app;
  const wchar_t* question = LanguageString(w.menus.module, kStringRestoreRecoveryCopy);
  if (!*question) question = L"Dotwright did not close properly. Restore the copy of your unsaved drawing?";
  if (MessageBoxW(w.window, question, L"Dotwright", MB_YESNO | MB_ICONQUESTION) == IDYES) {
    if (!RestoreRecoveryCopy(s)) ReportError(L"The copy of the drawing could not be read.");
    return;  // kept until the artist saves or closes in order
  }
  DiscardRecoveryCopy(s.settings, s.recovery);
}

// Creation, in order: settings (the abnormal-end count raised and saved at once, so a run that
// never closes in order leaves it raised), the accelerators, the language library and menus,
// the view window, the start-up canvas, the panels, the view state, the title; then the window
// is ready, and the right-docked or separate panel arrangement is restored by its commands.
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
  // The last run ended abnormally: a recovery copy it left is offered once the canvas is open.
  const bool endedAbnormally = s.settings.AbnormalTerminationCount >= 1;
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
  // The OpenCL engine, when the settings ask for it; a failure turns the setting off.
  if (s.settings.UseGPU == 1) {
    const GpuEngineOptions options = ProgramGpuEngineOptions(s.settings.programFolder);
    const std::string why = GpuSetUpText(StartGpuEngine(s.settings, options), options);
    if (!why.empty()) MessageBoxA(hwnd, why.c_str(), "Dotwright", MB_OK | MB_ICONSTOP);
  }

  // The accelerator table mirrors the keyboard bindings; the message loop reads it through the
  // creation block.
  std::vector<KeyBinding>& keys = s.settings.keyboard.entries;
  if (!keys.empty())
    w->accelerators = CreateAcceleratorTableW(reinterpret_cast<ACCEL*>(keys.data()), static_cast<int>(keys.size()));
  if (w->block && w->block->acceleratorTable) *w->block->acceleratorTable = w->accelerators;
  OpenTabletInput(*w);

  DragAcceptFiles(hwnd, TRUE);
  (void)RegisterFileDropTarget(*w);  // WM_DROPFILES drops still arrive without it
  RestorePlacement(hwnd, s.settings.placement);
  if (!CreateViewWindow(*w)) {
    ReportError(L"The canvas view could not be created.");
    // The window will not exist: give back what creation took so far.
    StopGpuEngine(s.settings);
    if (w->accelerators) DestroyAcceleratorTable(w->accelerators);
    w->accelerators = nullptr;
    if (w->block && w->block->acceleratorTable) *w->block->acceleratorTable = nullptr;
    FreeLanguageAndMenus(*w);
    return false;
  }
  const std::filesystem::path named = s.settings.currentFilePath;
  UseSessionResources(s);
  const StartCanvasSource source = OpenStartUpCanvas(s, s.loaders);
  if (source == StartCanvasSource::kNone) ReportError(L"Not enough memory for the canvas.");
  if (!named.empty() && source != StartCanvasSource::kCommandLineFile) {
    WindowFileHost host(*w);
    host.Report(FileCommandFailure::kCannotRead, named, 0);
  }
  if (endedAbnormally && HasRecoveryCopy(s.settings)) OfferRecoveryCopy(*w);
  if (!CreatePanelWindows(*w) || !CreatePenPopups(*w)) ReportError(L"The panels could not be created.");
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
  SetTimer(hwnd, kRecoveryTimer, RecoveryIntervalMs(s.settings), nullptr);
  FinishPanelStartUp(*w);
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
    KillTimer(hwnd, kRecoveryTimer);
    DiscardRecoveryCopy(s.settings, s.recovery);  // a file holds everything now
    w->zoomPreview.Stop();
    w->rotatePreview.Stop();
    FreeDibBitmap(w->dragPicture);
    if (w->ctrlSwitched) SwitchCtrlPen(*w, false);
    StoreFloatingPanelPositions(*w);
    RestorePenBeforeTail(*w);
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
    StopGpuEngine(s.settings);
    // A bitmap announced on the clipboard is left behind drawn: its image goes now.
    if (GetClipboardOwner() == hwnd) RenderClipboardBitmap(*w, true);
    ReleaseAppState(s);
    if (w->block && w->block->acceleratorTable) *w->block->acceleratorTable = nullptr;
    if (w->accelerators) DestroyAcceleratorTable(w->accelerators);
    w->accelerators = nullptr;
    FreeLanguageAndMenus(*w);
    CloseTabletInput(*w);
  }
  OleUninitialize();
  DestroyWindow(hwnd);
}

void OnWheel(MainWindow& w, int delta) {
  if (ScrollColumnByWheel(w, delta)) return;
  const WheelZoom step = AccumulateWheel(w.wheelSum, delta);
  if (step == kWheelNone) return;
  {
    std::lock_guard<std::recursive_mutex> guard(w.app.step.update.lock);
    if (step == kWheelZoomIn) ZoomIn(w.app.view);
    else ZoomOut(w.app.view);
  }
  RefreshTitle(w);
  InvalidateRect(w.view, nullptr, FALSE);
  RefreshPenPanels(w);
}

void ShowOutcome(MainWindow& w, const FileCommandOutcome& done) {
  if (done.canvasReplaced) RefreshLayerPanels(w);
  if (done.title || done.canvasReplaced) RefreshTitle(w);
  if (done.view || done.canvasReplaced) InvalidateRect(w.view, nullptr, FALSE);
}

}  // namespace

void OpenDroppedFile(MainWindow& w, const std::filesystem::path& path) {
  switch (ClassifyDroppedFile(w.app, path)) {
    case DropVerdict::kIgnore: return;
    case DropVerdict::kBeep: MessageBeep(0); return;
    case DropVerdict::kOpen: break;
  }
  CommitPendingOperation(w.app);
  WindowFileHost host(w);
  ShowOutcome(w, OpenCanvasAsCurrentFile(w.app, host, path));
  SyncSelectionWindow(w);
}

namespace {

void OnDropFiles(MainWindow& w, HDROP drop) {
  const std::filesystem::path path = FirstDroppedPath(drop);
  DragFinish(drop);
  OpenDroppedFile(w, path);
}

// New from the clipboard: its dropped-file list's first path.
void NewFromClipboard(MainWindow& w) {
  std::filesystem::path path;
  if (IsClipboardFormatAvailable(CF_HDROP) && OpenClipboard(w.window)) {
    path = FirstDroppedPath(static_cast<HDROP>(GetClipboardData(CF_HDROP)));
    CloseClipboard();
  }
  if (path.empty()) return;
  WindowFileHost host(w);
  ShowOutcome(w, NewFromClipboardFile(w.app, host, path));
}

void ShowAbout(MainWindow& w) {
  HICON icon = reinterpret_cast<HICON>(GetClassLongPtrW(w.window, GCLP_HICON));
  ShellAboutW(w.window, L"Dotwright", L"Dotwright 0.1 \x2014 drawing for pen tablets", icon);
}

// Another program's bitmap, drawn by the system into 32-bit pixels from any uncompressed form,
// cut to the canvas's size before anything is allocated, becomes a floating selection: its ink
// for the current layer, or as an imported image its colours on the first layers. A block that
// declares more rows than it holds (the system would read past it) is refused with a beep.
void PasteForeignBitmap(MainWindow& w, bool asImported) {
  const Canvas& canvas = w.app.canvas;
  if (!canvas.bitmap || !IsClipboardFormatAvailable(CF_DIB) || !OpenClipboard(w.window)) return;
  HANDLE data = GetClipboardData(CF_DIB);
  const auto* info = data ? static_cast<const BITMAPINFO*>(GlobalLock(data)) : nullptr;
  const SIZE_T bytes = data ? GlobalSize(data) : 0;
  uint64_t offset = 0;
  if (info && CheckPackedDib(reinterpret_cast<const uint8_t*>(info), bytes, &offset) == BmpFailure::kNone) {
    const BITMAPINFOHEADER& h = info->bmiHeader;
    const LONG width = h.biWidth, height = h.biHeight < 0 ? -h.biHeight : h.biHeight;
    const int pw = static_cast<int>(std::min<LONG>(width, canvas.width));
    const int ph = static_cast<int>(std::min<LONG>(height, canvas.height));
    BITMAPINFO target{};
    target.bmiHeader = BITMAPINFOHEADER{sizeof(BITMAPINFOHEADER), pw, -ph, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    HDC dc = CreateCompatibleDC(nullptr);
    HBITMAP section = dc ? CreateDIBSection(dc, &target, DIB_RGB_COLORS, &bits, nullptr, 0) : nullptr;
    if (section) {
      HGDIOBJ old = SelectObject(dc, section);
      // The picture's top-left part: a bottom-up source counts its rows from the bottom.
      const int sourceY = h.biHeight > 0 ? static_cast<int>(height) - ph : 0;
      StretchDIBits(dc, 0, 0, pw, ph, 0, sourceY, pw, ph, reinterpret_cast<const uint8_t*>(info) + offset, info,
                    DIB_RGB_COLORS, SRCCOPY);
      GdiFlush();
      SelectObject(dc, old);
      // Clipboard bitmaps seldom carry a meaningful alpha: every pixel counts as opaque.
      auto* pixels = static_cast<uint32_t*>(bits);
      for (size_t i = 0; i < static_cast<size_t>(pw) * static_cast<size_t>(ph); ++i) pixels[i] |= 0xFF000000u;
      if (asImported) (void)FloatImportedPicture(w.app, pixels, pw, ph);
      else (void)FloatForeignPicture(w.app, pixels, pw, ph);
      DeleteObject(section);
    }
    if (dc) DeleteDC(dc);
  } else if (info) {
    MessageBeep(MB_ICONWARNING);
  }
  if (info) GlobalUnlock(data);
  CloseClipboard();
}

// Menu items and key bindings alike: a command greyed in the menu does nothing from a key either.
void OnCommand(MainWindow& w, int32_t command) {
  if (RunListedMenuCommand(w, command)) {
    RefreshPanelsAfterCommand(w, {});
    return;
  }
  if (RunPanelCommand(w, command) || RunPenPopupCommand(w, command)) return;
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
  if (command == CMD_SETTINGS) {
    if (RunSettingsDialog(w)) RefreshPanelsAfterCommand(w, {});
    return;
  }
  if (!CommandKeepsPendingOperation(command)) CommitPendingOperation(w.app);
  if (command == CMD_NEW_FROM_CLIPBOARD) return NewFromClipboard(w);
  if (command == CMD_ABOUT) return ShowAbout(w);
  if (command == CMD_TEXT) return RunTextCommand(w);
  if (command == CMD_PRINT) return RunPrintCommand(w);
  if (command == CMD_POPUP_PALETTE) return ShowPaletteRing(w);
  WindowFileHost host(w);
  const FileCommandOutcome file = RunFileCommand(w.app, host, command);
  if (file.handled) return ShowOutcome(w, file);
  if ((command == CMD_PASTE && !w.app.clipboard.image) || command == CMD_PASTE_IMPORTED) {
    PasteForeignBitmap(w, command == CMD_PASTE_IMPORTED);
    InvalidateRect(w.view, nullptr, FALSE);
    return;
  }
  CommandOutcome done = RunEditCommand(w.app, command);
  if (done.handled && (command == CMD_CUT || command == CMD_COPY) && w.app.clipboard.image) ClaimClipboard(w);
  if (!done.handled) done = RunSessionCommand(w.app, command);
  if (done.view) w.outlineShown = false;  // shown again at the next sample
  if (done.title) RefreshTitle(w);
  if (done.view) InvalidateRect(w.view, nullptr, FALSE);
  if (done.pen) RefreshLayerPanels(w);  // the pen may bring its own layer
  RefreshPanelsAfterCommand(w, done);
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
  if (w && FilterBeforeDispatch(*w, hwnd, message, wParam, lParam)) return 0;
  if (w && message == w->canvasControlMessage && message != 0) {
    if (w->ready && ApplyCanvasControl(w->app.step, w->app.view, DecodeCanvasControl(wParam, lParam))) {
      InvalidateRect(w->view, nullptr, FALSE);
      RefreshPenPanels(*w);
    }
    return 0;
  }
  if (LRESULT result = 0; w && RouteTabletMessage(*w, message, wParam, lParam, result)) return result;
  switch (message) {
    case WM_CREATE:
      return OnCreate(hwnd, reinterpret_cast<const CREATESTRUCTW*>(lParam)) ? 0 : -1;
    case WM_SIZE:
      if (w && w->view && wParam != SIZE_MINIMIZED) LayOutMainWindow(*w);
      return 0;
    case WM_ERASEBKGND:
      return 1;  // the view and the panel column cover the whole client area
    case WM_COMMAND:
      if (w && w->ready) {
        OnCommand(*w, LOWORD(wParam));
        SyncSelectionWindow(*w);
      }
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
    case WM_TIMER:
      if (w && w->ready && wParam == kRecoveryTimer) (void)StartRecoveryCopy(w->app, w->app.recovery);
      return 0;
    case WM_DROPFILES:
      if (w && w->ready) {
        OnDropFiles(*w, reinterpret_cast<HDROP>(wParam));
      } else DragFinish(reinterpret_cast<HDROP>(wParam));
      return 0;
    case WM_MOUSEWHEEL:
      if (w && w->ready) OnWheel(*w, GET_WHEEL_DELTA_WPARAM(wParam));
      return 0;
    case kMsgTextureChosen:  // the texture panel's item w, as the texture menu's
      if (w && w->ready && ChooseListedResource(w->app, w->menus.items, ListedMenu::kTexture, wParam))
        RefreshPanelsAfterCommand(*w, {});
      return 0;
    case kMsgCommitPending:  // a floating selection goes back onto the canvas
      if (w && w->ready) {
        CommitPendingOperation(w->app);
        SyncSelectionWindow(*w);
        InvalidateRect(w->view, nullptr, FALSE);
      }
      return 0;
    // The pen panels' messages (shell/pen_panels.h).
    case kMsgSetPenSizeOrHardness:
      if (w && w->ready) SetPenSizeOrHardness(*w, wParam, lParam);
      return 0;
    case kMsgSelectPenSlot:
      if (w && w->ready) OnSelectPenSlotMessage(*w, wParam);
      return 0;
    case kMsgReselectCurrentPen:
      if (w && w->ready) SelectPenSlot(*w, w->app.settings.numPenSetting);
      return 0;
    case kMsgPenKindChanged:
      if (w && w->ready) PenKindChanged(*w);
      return 0;
    case kMsgPenLayerChanged:
      if (w && w->ready) {
        PenLayerChanged(*w);
        OnPenLayerChanged(*w);
      }
      return 0;
    case kMsgRecolourIcons:
      if (w && w->ready) RecolourPenIcons(*w);
      return 0;
    case kMsgShowPenSelector:
      if (w && w->ready) ShowPenSelector(*w);
      return 0;
    case kMsgToggleEasyPanel:
      if (w && w->ready) OnCommand(*w, CMD_TOGGLE_WINDOW_EASY_PANEL);
      return 0;
    // The layer panel's and colour windows' messages (shell/colour_windows.h).
    case kMsgCurrentLayerChanged:
      if (w && w->ready) OnCurrentLayerChanged(*w);
      return 0;
    case kMsgLayerEntryChanged:
      if (w && w->ready) OnLayerEntryChanged(*w);
      return 0;
    case kMsgViewRectReady:
      if (w) {
        const PixelRect r = PaintFinished(w->app.step.update);
        const RECT rect{r.left, r.top, r.right, r.bottom};
        if (r.right > r.left && r.bottom > r.top) InvalidateRect(w->view, &rect, FALSE);
      }
      return 0;
    case WM_RENDERFORMAT:
      if (w && wParam == CF_DIB) RenderClipboardBitmap(*w, false);
      return 0;
    case WM_RENDERALLFORMATS:
      if (w) RenderClipboardBitmap(*w, true);
      return 0;
    case WM_CLOSE:
      OnClose(hwnd);
      return 0;
    case WM_DESTROY:
      if (w) RevokeFileDropTarget(*w);
      PostQuitMessage(0);
      return 0;
    case kMsgOpenDroppedFile:
      if (w && w->ready && !w->droppedPath.empty()) {
        const std::filesystem::path path = std::move(w->droppedPath);
        w->droppedPath.clear();
        OpenDroppedFile(*w, path);
      }
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
