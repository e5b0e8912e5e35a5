#include "shell/view_window.h"

#include <functional>
#include <mutex>

#include "app/command_state.h"
#include "app/file_commands.h"
#include "app/private_messages.h"
#include "app/recovery.h"
#include "canvas/dib_bitmap_win32.h"
#include "files/file_drag_win32.h"
#include "reduce/composition_hooks.h"
#include "shell/info_windows.h"
#include "shell/colour_windows.h"
#include "shell/main_window.h"
#include "shell/member_windows.h"
#include "shell/pen_panels.h"
#include "shell/resource_ids.h"
#include "shell/wintab_input.h"
#include "shell/window_classes.h"
#include "view/back_buffer.h"
#include "view/brush_outline.h"
#include "view/composition_preview.h"
#include "view/view_operations.h"

// Last: it defines macros (SelectPen, ...) that clash with the program's own names.
#include <windowsx.h>

namespace {

MainWindow* OwnerOf(HWND view) { return reinterpret_cast<MainWindow*>(GetWindowLongPtrW(view, GWLP_USERDATA)); }

HWND ViewHandle(const CanvasView& view) { return static_cast<HWND>(view.hooks.shellContext); }

RECT ToRect(const PixelRect& r) { return RECT{r.left, r.top, r.right, r.bottom}; }

void InvalidateViewWindow(CanvasView& view, const PixelRect* rect) {
  if (!rect) {
    InvalidateRect(ViewHandle(view), nullptr, FALSE);
    return;
  }
  const RECT r = ToRect(*rect);
  InvalidateRect(ViewHandle(view), &r, FALSE);
}

// The program's own cursor over the canvas (resource 104).
HCURSOR CanvasCursor() { return LoadCursorW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDC_CANVAS)); }

void WaitCursor(CanvasView&, int on) { SetCursor(on ? LoadCursorW(nullptr, IDC_WAIT) : CanvasCursor()); }

// The update thread finished a rectangle: the main window renders it on its own thread.
void PostFinished(void* context) { PostMessageW(static_cast<MainWindow*>(context)->window, kMsgViewRectReady, 0, 0); }
void SendFinished(void* context) { SendMessageW(static_cast<MainWindow*>(context)->window, kMsgViewRectReady, 0, 0); }
void LowerThreadPriority() { SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_LOWEST); }

void TitleChanged(void* context) { RefreshTitle(*static_cast<MainWindow*>(context)); }
void InvalidateCursor(void* context, const PixelRect& previous, const PixelRect& current) {
  const MainWindow& w = *static_cast<MainWindow*>(context);
  const RECT a = ToRect(previous), b = ToRect(current);
  InvalidateRect(w.view, &a, FALSE);
  InvalidateRect(w.view, &b, FALSE);
}

bool OutlineWanted(const MainWindow& w) {
  const AppState& s = w.app;
  const PenSetting& pen = s.settings.pens[s.settings.numPenSetting];
  const bool selectionKind = pen.KindOfPen >= 15 && pen.KindOfPen <= 18;
  return w.outlineShown && !selectionKind && pen.BrushCursor == 1 && !s.step.panMode && w.drag.mode == ViewDragMode::kNone;
}

// The brush outline, inverted over the copied back buffer so that moving it only needs its old
// and new rectangles repainted.
void DrawOutline(HDC hdc, const MainWindow& w) {
  const AppState& s = w.app;
  const PenSetting& pen = s.settings.pens[s.settings.numPenSetting];
  const BrushOutline outline = CurrentBrushOutline(s.view, s.input, pen.Size);
  if (!outline.ellipse && !outline.cross) return;
  const int oldRop = SetROP2(hdc, R2_NOT);
  HGDIOBJ oldBrush = SelectObject(hdc, GetStockObject(NULL_BRUSH));
  HGDIOBJ oldPen = SelectObject(hdc, GetStockObject(BLACK_PEN));
  if (outline.ellipse) {
    const PixelRect& b = outline.ellipseBox;
    Ellipse(hdc, b.left, b.top, b.right, b.bottom);
  }
  if (outline.cross) {
    for (const OutlineLine& line : outline.crossLines) {
      MoveToEx(hdc, line.x0, line.y0, nullptr);
      LineTo(hdc, line.x1, line.y1);
    }
  }
  SelectObject(hdc, oldPen);
  SelectObject(hdc, oldBrush);
  SetROP2(hdc, oldRop);
}

void Paint(HWND hwnd, MainWindow& w) {
  PAINTSTRUCT ps;
  HDC hdc = BeginPaint(hwnd, &ps);
  {
    std::lock_guard<std::recursive_mutex> guard(w.app.step.update.lock);
    if (const DibBitmap* back = w.app.view.backBuffer) {
      const RECT& r = ps.rcPaint;
      DrawDibBitmap(hdc, r.left, r.top, *back, r.left, r.top, r.right - r.left, r.bottom - r.top);
      if (OutlineWanted(w)) DrawOutline(hdc, w);
    }
  }
  EndPaint(hwnd, &ps);
}

// Previews render into the back buffer on their worker, under the view lock, then ask for a
// repaint; a worker that cannot start leaves the job to this thread.
void RequestPreview(MainWindow& w, PreviewWorker& worker, std::function<void(CanvasView&)> render) {
  auto job = [&w, render] {
    {
      std::lock_guard<std::recursive_mutex> guard(w.app.step.update.lock);
      render(w.app.view);
    }
    InvalidateRect(w.view, nullptr, FALSE);
  };
  if (!worker.Request(job)) job();
}

// Turning previews start from the picture as it is when the turn begins.
void KeepDragPicture(MainWindow& w) {
  std::lock_guard<std::recursive_mutex> guard(w.app.step.update.lock);
  FreeDibBitmap(w.dragPicture);
  if (w.app.view.backBuffer) w.dragPicture = CloneDibBitmap(*w.app.view.backBuffer);
}

void PreviewTurn(MainWindow& w, const RotationPreviewRequest& request) {
  if (!w.dragPicture) return;
  const DibBitmap* picture = w.dragPicture;
  RequestPreview(w, w.rotatePreview, [picture, request](CanvasView& v) { (void)RenderRotationPreview(v, *picture, request); });
}

void BeginDrag(HWND hwnd, MainWindow& w, int x, int y) {
  const ViewDragMode mode = DragModeFor(true, GetKeyState(VK_CONTROL) < 0, GetKeyState(VK_SHIFT) < 0);
  BeginViewDrag(w.drag, mode, x, y);
  if (mode == ViewDragMode::kRotate) KeepDragPicture(w);
  SetCapture(hwnd);
}

void MoveDrag(MainWindow& w, int x, int y) {
  const DragStep step = MoveViewDrag(w.drag, w.app.view, x, y);
  switch (step.kind) {
    case DragStep::kNothing: break;
    case DragStep::kScroll: {
      std::lock_guard<std::recursive_mutex> guard(w.app.step.update.lock);
      ScrollViewBy(w.app.view, step.dx, step.dy);
      InvalidateRect(w.view, nullptr, FALSE);
      break;
    }
    case DragStep::kRotatePreview:
      PreviewTurn(w, step.rotation);
      break;
    case DragStep::kZoomPreview: {
      const float m = step.zoom;
      RequestPreview(w, w.zoomPreview, [m](CanvasView& v) { RenderZoomPreview(v, m); });
      break;
    }
  }
}

// The button went up: the previews finish first, then the turn or zoom is applied.
void EndDrag(MainWindow& w) {
  w.zoomPreview.WaitIdle();
  w.rotatePreview.WaitIdle();
  bool changed = false;
  {
    SetCursor(LoadCursorW(nullptr, IDC_WAIT));
    std::lock_guard<std::recursive_mutex> guard(w.app.step.update.lock);
    changed = FinishViewDrag(w.drag, w.app.view);
    FreeDibBitmap(w.dragPicture);
  }
  ReleaseCapture();
  if (changed) RefreshTitle(w);
  InvalidateRect(w.view, nullptr, FALSE);
}

// A mouse sample: the cursor in sixteenths of a screen pixel, full pressure while the left
// button is down, the default orientation. While a tablet pen is in range the mouse is quiet.
void FeedMouse(HWND, MainWindow& w, bool buttonDown) {
  if (!w.ready || w.app.input.tabletActive) return;
  POINT cursor{};
  GetCursorPos(&cursor);
  FeedViewSample(w, MouseSample(cursor.x, cursor.y, buttonDown, w.app.input.maxPressure));
}

}  // namespace

void FeedViewSample(MainWindow& w, const PenSample& sample) {
  if (!w.ready) return;
  POINT origin{0, 0};
  ClientToScreen(w.view, &origin);
  AppState& s = w.app;
  s.view.clientScreenX = origin.x;
  s.view.clientScreenY = origin.y;
  POINT cursor{};
  GetCursorPos(&cursor);
  SampleConditions c;
  c.mainWindowActive = GetForegroundWindow() == w.window;
  c.shiftHeld = GetKeyState(VK_SHIFT) < 0;
  const HWND under = WindowFromPoint(cursor);
  c.overCanvasWindow = under == w.window || under == w.view;
  FeedPenSample(s.context, s.step, sample, c);
  w.outlineShown = true;
  SyncSelectionWindow(w);
  (void)CopyAfterLongStroke(s, s.recovery);
}

void SyncSelectionWindow(MainWindow& w) {
  const FloatingSelection& f = w.app.floating;
  if (f.floating == 1 && !w.selection) {
    // A selection too large to picture still floats: its window is a dot that takes the keys.
    const int width = f.picture ? DibWidth(*f.picture) : 1, height = f.picture ? DibHeight(*f.picture) : 1;
    w.selection = CreateWindowExW(0, kSelectionWindowClass, L"", WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS,
                                  static_cast<int>(f.clientX), static_cast<int>(f.clientY), width, height, w.view,
                                  nullptr, GetModuleHandleW(nullptr), &w);
    if (w.selection) SetWindowPos(w.selection, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
  } else if (f.floating != 1 && w.selection) {
    DestroyWindow(w.selection);
    w.selection = nullptr;
    SetFocus(w.window);
  }
}

void SetPanKey(MainWindow& w, bool down) {
  AppState& s = w.app;
  w.spaceHeld = down;
  s.step.panMode = down || s.step.externalPan;
  if (!down) {
    w.outlineShown = false;
    if (w.drag.mode != ViewDragMode::kNone) {
      w.zoomPreview.WaitIdle();
      w.rotatePreview.WaitIdle();
      std::lock_guard<std::recursive_mutex> guard(s.step.update.lock);
      w.drag = ViewDrag{};
      FreeDibBitmap(w.dragPicture);
      if (s.view.hooks.renderViewRect) s.view.hooks.renderViewRect(s.view, {0, 0, s.view.clientWidth, s.view.clientHeight});
      ReleaseCapture();
    }
  }
  POINT cursor{};
  GetCursorPos(&cursor);
  if (WindowFromPoint(cursor) == w.view) SetCursor(s.step.panMode ? LoadCursorW(nullptr, IDC_HAND) : CanvasCursor());
  InvalidateRect(w.view, nullptr, FALSE);
}

HWND CreateViewWindow(MainWindow& w) {
  RECT client{};
  GetClientRect(w.window, &client);
  HWND view = CreateWindowExW(0, kViewWindowClass, L"", WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN, 0, 0, client.right,
                              client.bottom, w.window, nullptr, GetModuleHandleW(nullptr), &w);
  if (!view) return nullptr;
  w.view = view;
  CanvasView& v = w.app.view;
  InstallCompositionHooks(v);
  InstallBackBufferHooks(v);
  v.hooks.invalidateClient = InvalidateViewWindow;
  v.hooks.waitCursor = WaitCursor;
  v.hooks.shellContext = view;
  UpdateMessages& u = w.app.step.updateMessages;
  u.context = &w;
  u.postFinished = PostFinished;
  u.sendFinished = SendFinished;
  u.lowerThreadPriority = LowerThreadPriority;
  InputStepMessages& m = w.app.step.messages;
  m.context = &w;
  m.refreshTitle = TitleChanged;
  m.invalidateCursor = InvalidateCursor;
  return view;
}

LRESULT CALLBACK ViewWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    const auto* cs = reinterpret_cast<const CREATESTRUCTW*>(lParam);
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(cs->lpCreateParams));
    return DefWindowProcW(hwnd, message, wParam, lParam);
  }
  MainWindow* w = OwnerOf(hwnd);
  if (!w) return DefWindowProcW(hwnd, message, wParam, lParam);
  if (FilterBeforeDispatch(*w, hwnd, message, wParam, lParam)) return 0;
  if (LRESULT result = 0; RouteTabletMessage(*w, message, wParam, lParam, result)) return result;
  switch (message) {
    case WM_PAINT:
      Paint(hwnd, *w);
      return 0;
    case WM_ERASEBKGND:
      return 1;  // the back buffer covers the whole client area
    case WM_SIZE:
      if (w->ready) {
        std::lock_guard<std::recursive_mutex> guard(w->app.step.update.lock);
        ResizeView(w->app.view, LOWORD(lParam), HIWORD(lParam));
      }
      return 0;
    case WM_SETCURSOR:
      if (LOWORD(lParam) == HTCLIENT) {
        SetCursor(w->app.step.panMode ? LoadCursorW(nullptr, IDC_HAND) : CanvasCursor());
        return TRUE;
      }
      break;
    case WM_LBUTTONDOWN:
      // Drawing takes the keyboard back from a panel's box and puts the pen selector away.
      if (GetFocus() != w->window) SetFocus(w->window);
      HidePenSelector(*w);
      if (w->ready && w->app.step.panMode) {
        BeginDrag(hwnd, *w, GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
        return 0;
      }
      SetCapture(hwnd);
      FeedMouse(hwnd, *w, true);
      return 0;
    case WM_MOUSEMOVE:
      // The pan key may have been let go while another window had the keyboard.
      if (w->spaceHeld && GetKeyState(VK_SPACE) >= 0) SendMessageW(w->window, WM_KEYUP, VK_SPACE, 0);
      if (w->drag.mode != ViewDragMode::kNone) {
        if (wParam & MK_LBUTTON) MoveDrag(*w, GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
        return 0;
      }
      FeedMouse(hwnd, *w, (wParam & MK_LBUTTON) != 0);
      return 0;
    case WM_RBUTTONDOWN:
      if (w->ready) DragFileOut(*w, WritePictureDragFile(w->app));
      return 0;
    case WM_LBUTTONUP:
      if (w->drag.mode != ViewDragMode::kNone) {
        EndDrag(*w);
        return 0;
      }
      FeedMouse(hwnd, *w, false);
      ReleaseCapture();
      return 0;
    default:
      break;
  }
  return DefWindowProcW(hwnd, message, wParam, lParam);
}

bool OnTouchPointer(MainWindow& w, UINT message, UINT32 id, POINT screen) {
  if (!w.ready) return false;
  // Touch waits while a pen is in range; with pen emulation a finger that starts no gesture
  // reaches the program as the mouse.
  if (w.app.input.tabletActive) return true;
  if (w.app.settings.PenEmulation != 0 && !TouchGestureRunning(w.touch)) return false;
  ScreenToClient(w.view, &screen);
  TouchStep step;
  switch (message) {
    case WM_POINTERDOWN: step = TouchDown(w.touch, id, screen.x, screen.y); break;
    case WM_POINTERUPDATE: step = TouchMove(w.touch, id, screen.x, screen.y); break;
    case WM_POINTERUP: step = TouchUp(w.touch, id); break;
    default: return true;
  }
  switch (step.kind) {
    case TouchStep::kNothing: break;
    case TouchStep::kScroll: {
      std::lock_guard<std::recursive_mutex> guard(w.app.step.update.lock);
      ScrollViewBy(w.app.view, step.dx, step.dy);
      InvalidateRect(w.view, nullptr, FALSE);
      break;
    }
    case TouchStep::kBeginPreview: KeepDragPicture(w); break;
    case TouchStep::kPreview: PreviewTurn(w, step.preview); break;
    case TouchStep::kApply: {
      w.rotatePreview.WaitIdle();
      SetCursor(LoadCursorW(nullptr, IDC_WAIT));
      {
        std::lock_guard<std::recursive_mutex> guard(w.app.step.update.lock);
        ApplyTouchGesture(w.touch, w.app.view);
        FreeDibBitmap(w.dragPicture);
      }
      RefreshTitle(w);
      InvalidateRect(w.view, nullptr, FALSE);
      RefreshPenPanels(w);
      break;
    }
  }
  return true;
}

bool FilterBeforeDispatch(MainWindow& w, HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (!w.ready) return false;
  if (w.zoomPreview.Busy() || w.rotatePreview.Busy()) {
    switch (message) {
      case WM_MOUSEMOVE:
      case WM_LBUTTONDOWN:
      case WM_POINTERUPDATE:
      case WM_KEYDOWN:
      case WM_SYSKEYDOWN:
      case WM_SYSKEYUP:
        return true;
      case WM_KEYUP:
        return wParam != VK_CONTROL && wParam != VK_SPACE;
      case WM_LBUTTONUP:
        PostMessageW(hwnd, message, wParam, lParam);
        return true;
      default:
        break;
    }
  }
  // The palette ring is a popup at the pointer: a press on the view puts it away, and still draws.
  if (hwnd == w.view && (message == WM_LBUTTONDOWN || message == WM_RBUTTONDOWN || message == WM_POINTERDOWN))
    HidePaletteRing(w);
  if (w.app.floating.floating != 1) return false;
  bool commits = false;
  switch (message) {
    case WM_DROPFILES:
    case WM_POINTERDOWN:
    case WM_SIZE:
    case WM_LBUTTONDOWN:
    case WM_MOUSEWHEEL:
    case WM_CLOSE:
      commits = true;
      break;
    case WM_COMMAND:
      commits = !CommandKeepsPendingOperation(LOWORD(wParam));
      break;
    default:
      break;
  }
  if (!commits) return false;
  SendMessageW(w.window, kMsgCommitPending, 0, 0);
  // The click on the view that dropped the selection starts no stroke.
  return hwnd == w.view && (message == WM_LBUTTONDOWN || message == WM_POINTERDOWN);
}

void DragFileOut(MainWindow& w, const std::filesystem::path& path) {
  if (path.empty()) {
    ReportError(L"The picture could not be written for the drag.");
    return;
  }
  const HRESULT result = StartFileDrag(path);
  if (FAILED(result)) {
    wchar_t text[32];
    wsprintfW(text, L"%d", static_cast<int>(result));
    MessageBoxW(w.window, text, L"Dotwright", MB_OK | MB_ICONERROR);
  }
}
