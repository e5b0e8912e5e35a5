#include "shell/main_window.h"

#include <ole2.h>

#include <new>

#include "app/app_state.h"
#include "canvas/dib_bitmap.h"
#include "canvas/dib_bitmap_win32.h"

namespace {

// Canvas size used until the settings file provides the configured one.
constexpr int kStartCanvasWidth = 800;
constexpr int kStartCanvasHeight = 600;
constexpr COLORREF kSurroundGrey = RGB(192, 192, 192);

// What the main window owns, bound to its handle (GWLP_USERDATA) from WM_CREATE to WM_NCDESTROY.
struct MainWindow {
  CreationBlock* block = nullptr;
  UINT canvasControlMessage = 0;
  AppState app;
};

MainWindow* WindowOf(HWND hwnd) { return reinterpret_cast<MainWindow*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA)); }

void Paint(HWND hwnd, const MainWindow& w) {
  PAINTSTRUCT ps;
  HDC hdc = BeginPaint(hwnd, &ps);
  RECT client;
  GetClientRect(hwnd, &client);
  int drawnWidth = 0, drawnHeight = 0;
  if (const DibBitmap* canvas = w.app.canvas.bitmap) {
    drawnWidth = DibWidth(*canvas);
    drawnHeight = DibHeight(*canvas);
    DrawDibBitmap(hdc, 0, 0, *canvas, 0, 0, drawnWidth, drawnHeight);
  }
  // Grey wherever the canvas does not reach.
  HBRUSH grey = CreateSolidBrush(kSurroundGrey);
  RECT right{drawnWidth, 0, client.right, client.bottom};
  RECT below{0, drawnHeight, drawnWidth, client.bottom};
  if (right.left < right.right) FillRect(hdc, &right, grey);
  if (below.top < below.bottom) FillRect(hdc, &below, grey);
  DeleteObject(grey);
  EndPaint(hwnd, &ps);
}

bool OnCreate(HWND hwnd, const CREATESTRUCTW* cs) {
  auto* w = new (std::nothrow) MainWindow;
  if (!w) return false;
  SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(w));
  w->block = static_cast<CreationBlock*>(cs->lpCreateParams);
  w->canvasControlMessage = RegisterWindowMessageW(kCanvasControlMessageName);
  BindAppState(w->app);
  if (!StartBlankCanvas(w->app, kStartCanvasWidth, kStartCanvasHeight, nullptr, nullptr))
    ReportError(L"Not enough memory for the canvas.");
  return true;
}

void OnClose(HWND hwnd) {
  if (MainWindow* w = WindowOf(hwnd)) ReleaseAppState(w->app);
  OleUninitialize();
  DestroyWindow(hwnd);
}

}  // namespace

void ReportError(const wchar_t* text) {
  MessageBoxW(nullptr, text ? text : L"DEBUG", L"Dotwright", MB_OK | MB_ICONERROR);
}

LRESULT CALLBACK MainWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CREATE:
      return OnCreate(hwnd, reinterpret_cast<const CREATESTRUCTW*>(lParam)) ? 0 : -1;
    case WM_PAINT:
      if (const MainWindow* w = WindowOf(hwnd)) {
        Paint(hwnd, *w);
        return 0;
      }
      break;
    case WM_ERASEBKGND:
      return 1;  // Paint covers the whole client area
    case WM_CLOSE:
      OnClose(hwnd);
      return 0;
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
    case WM_NCDESTROY:
      delete WindowOf(hwnd);
      SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
      break;
    default:
      break;
  }
  return DefWindowProcW(hwnd, message, wParam, lParam);
}
