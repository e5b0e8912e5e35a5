#include "shell/view_window.h"

#include <mutex>

#include "app/private_messages.h"
#include "canvas/dib_bitmap_win32.h"
#include "reduce/composition_hooks.h"
#include "shell/main_window.h"
#include "shell/resource_ids.h"
#include "shell/window_classes.h"
#include "view/back_buffer.h"
#include "view/view_operations.h"

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

void Paint(HWND hwnd, MainWindow& w) {
  PAINTSTRUCT ps;
  HDC hdc = BeginPaint(hwnd, &ps);
  {
    std::lock_guard<std::recursive_mutex> guard(w.app.step.update.lock);
    if (const DibBitmap* back = w.app.view.backBuffer) {
      const RECT& r = ps.rcPaint;
      DrawDibBitmap(hdc, r.left, r.top, *back, r.left, r.top, r.right - r.left, r.bottom - r.top);
    }
  }
  EndPaint(hwnd, &ps);
}

// A mouse sample: the cursor in sixteenths of a screen pixel, full pressure while the left
// button is down, the default orientation. Fed only while the main window is in front.
void FeedMouse(HWND hwnd, MainWindow& w, bool buttonDown) {
  if (!w.ready) return;
  POINT cursor{};
  GetCursorPos(&cursor);
  POINT origin{0, 0};
  ClientToScreen(hwnd, &origin);
  AppState& s = w.app;
  s.view.clientScreenX = origin.x;
  s.view.clientScreenY = origin.y;
  PenSample sample{};
  sample.x = cursor.x * 16;
  sample.y = cursor.y * 16;
  sample.pressure = buttonDown ? s.input.maxPressure : 0;
  sample.azimuth = 1300;
  sample.altitude = 550;
  SampleConditions c;
  c.mainWindowActive = GetForegroundWindow() == w.window;
  c.shiftHeld = GetKeyState(VK_SHIFT) < 0;
  const HWND under = WindowFromPoint(cursor);
  c.overCanvasWindow = under == w.window || under == hwnd;
  FeedPenSample(s.context, s.step, sample, c);
}

}  // namespace

HWND CreateViewWindow(MainWindow& w) {
  RECT client{};
  GetClientRect(w.window, &client);
  HWND view = CreateWindowExW(0, kViewWindowClass, L"", WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS, 0, 0, client.right,
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
        SetCursor(CanvasCursor());
        return TRUE;
      }
      break;
    case WM_LBUTTONDOWN:
      SetCapture(hwnd);
      FeedMouse(hwnd, *w, true);
      return 0;
    case WM_MOUSEMOVE:
      FeedMouse(hwnd, *w, (wParam & MK_LBUTTON) != 0);
      return 0;
    case WM_LBUTTONUP:
      FeedMouse(hwnd, *w, false);
      ReleaseCapture();
      return 0;
    default:
      break;
  }
  return DefWindowProcW(hwnd, message, wParam, lParam);
}
