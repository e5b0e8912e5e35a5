#include "shell/main_window.h"

#include <ole2.h>

#include "canvas/dib_bitmap.h"
#include "canvas/dib_bitmap_win32.h"
#include "canvas/layer_table.h"
#include "canvas/palette.h"
#include "canvas/user_message.h"

namespace {

// Canvas size used until the settings file provides the configured one.
constexpr int kStartCanvasWidth = 800;
constexpr int kStartCanvasHeight = 600;
constexpr COLORREF kSurroundGrey = RGB(192, 192, 192);

// Process-wide state owned by the main window.
struct MainState {
  CreationBlock* block = nullptr;
  UINT canvasControlMessage = 0;
  LayerTable layers{};
  DibBitmap* canvas = nullptr;
  bool ready = false;
};
MainState gMain;

// Core messages become message boxes with no owner, like every error report of the program.
void ShowMessageBox(const char* text, const char* caption, MessageIcon icon) {
  wchar_t wideText[2048];
  wchar_t wideCaption[256];
  if (!MultiByteToWideChar(CP_UTF8, 0, text ? text : "", -1, wideText, 2048)) wideText[0] = L'\0';
  if (!MultiByteToWideChar(CP_UTF8, 0, caption ? caption : "", -1, wideCaption, 256)) wideCaption[0] = L'\0';
  const UINT iconFlag = icon == MessageIcon::kWarning ? MB_ICONWARNING
                        : icon == MessageIcon::kStop  ? MB_ICONSTOP
                                                      : MB_ICONERROR;
  MessageBoxW(nullptr, wideText, wideCaption, MB_OK | iconFlag);
}

DibBitmap* CreateBlankCanvas(int width, int height, const LayerTable& layers) {
  DibBitmap* canvas = CreateDibBitmap(8, nullptr, 0, width, height);
  if (!canvas) return nullptr;
  for (int y = 0; y < height; ++y) FillMemory(DibRow(*canvas, y), static_cast<SIZE_T>(width), 0xFF);
  ComputePalette(*canvas, layers);
  return canvas;
}

void Paint(HWND hwnd) {
  PAINTSTRUCT ps;
  HDC hdc = BeginPaint(hwnd, &ps);
  RECT client;
  GetClientRect(hwnd, &client);
  int drawnWidth = 0, drawnHeight = 0;
  if (gMain.canvas) {
    drawnWidth = DibWidth(*gMain.canvas);
    drawnHeight = DibHeight(*gMain.canvas);
    DrawDibBitmap(hdc, 0, 0, *gMain.canvas, 0, 0, drawnWidth, drawnHeight);
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

bool OnCreate(HWND, const CREATESTRUCTW* cs) {
  gMain.block = static_cast<CreationBlock*>(cs->lpCreateParams);
  SetUserMessageSink(ShowMessageBox);
  gMain.canvasControlMessage = RegisterWindowMessageW(kCanvasControlMessageName);
  gMain.layers = DefaultLayerTable();
  gMain.canvas = CreateBlankCanvas(kStartCanvasWidth, kStartCanvasHeight, gMain.layers);
  if (!gMain.canvas) ReportError(L"Not enough memory for the canvas.");
  gMain.ready = true;
  return true;
}

void OnClose(HWND hwnd) {
  gMain.ready = false;
  FreeDibBitmap(gMain.canvas);
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
      if (!gMain.ready) break;
      Paint(hwnd);
      return 0;
    case WM_ERASEBKGND:
      return 1;  // Paint covers the whole client area
    case WM_CLOSE:
      OnClose(hwnd);
      return 0;
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
    default:
      break;
  }
  return DefWindowProcW(hwnd, message, wParam, lParam);
}
