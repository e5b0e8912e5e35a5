#include "shell/panel_common.h"

#include <algorithm>

#include "shell/language_module.h"

#include "shell/main_window.h"

MainWindow* BindPanelOwner(HWND hwnd, UINT message, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    const auto* creation = static_cast<const PanelCreation*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(creation ? creation->owner : nullptr));
  }
  return reinterpret_cast<MainWindow*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
}

void PostPanelCommand(HWND panel, int command) {
  PostMessageW(GetAncestor(panel, GA_ROOT), WM_COMMAND, static_cast<WPARAM>(command), 0);
}

LRESULT RoutePanelMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, PanelPaint paint,
                          PanelClick click) {
  MainWindow* w = BindPanelOwner(hwnd, message, lParam);
  if (w) {
    switch (message) {
      case WM_ERASEBKGND:
        return 1;
      case WM_PAINT:
        paint(hwnd, *w);
        return 0;
      case WM_LBUTTONUP:
        if (!click) break;
        click(hwnd, *w, MouseY(lParam));
        return 0;
      default:
        break;
    }
  }
  return DefWindowProcW(hwnd, message, wParam, lParam);
}

const PenSetting& CurrentPenOf(const MainWindow& owner) {
  const AppSettings& s = owner.app.settings;
  return s.pens[std::clamp(s.numPenSetting, 0, kPenCount - 1)];
}

COLORREF LayerColourOf(const MainWindow& owner, int layer) {
  if (layer < 0 || layer >= kLayerTableRows) return RGB(0, 0, 0);
  return owner.app.canvas.layers.rows[layer].colour & 0x00FFFFFFu;
}

float PanelScale(const MainWindow& owner) { return owner.panels.scale; }

HFONT PanelFont(const MainWindow& owner) { return owner.panels.font; }

std::wstring PanelString(MainWindow& owner, UINT id, const wchar_t* fallback) {
  const wchar_t* text = LanguageString(owner.menus.module, id);
  return text && *text ? std::wstring(text) : std::wstring(fallback);
}

PanelPainter::PanelPainter(HWND hwnd) : hwnd_(hwnd) {
  target_ = BeginPaint(hwnd, &ps_);
  RECT client{};
  GetClientRect(hwnd, &client);
  width = client.right;
  height = client.bottom;
  dc = CreateCompatibleDC(target_);
  bitmap_ = CreateCompatibleBitmap(target_, width > 0 ? width : 1, height > 0 ? height : 1);
  if (dc && bitmap_) {
    oldBitmap_ = SelectObject(dc, bitmap_);
  } else {
    // No memory for the buffer: draw straight to the window.
    if (dc) DeleteDC(dc);
    if (bitmap_) DeleteObject(bitmap_);
    bitmap_ = nullptr;
    dc = target_;
  }
  SetBkMode(dc, TRANSPARENT);
}

PanelPainter::~PanelPainter() {
  if (bitmap_) {
    BitBlt(target_, 0, 0, width, height, dc, 0, 0, SRCCOPY);
    SelectObject(dc, oldBitmap_);
    DeleteObject(bitmap_);
    DeleteDC(dc);
  }
  EndPaint(hwnd_, &ps_);
}

void FillBox(HDC dc, int left, int top, int right, int bottom, COLORREF colour) {
  const RECT r{left, top, right, bottom};
  SetDCBrushColor(dc, colour);
  FillRect(dc, &r, static_cast<HBRUSH>(GetStockObject(DC_BRUSH)));
}

void FrameBox(HDC dc, int left, int top, int right, int bottom, COLORREF colour) {
  const RECT r{left, top, right, bottom};
  SetDCBrushColor(dc, colour);
  FrameRect(dc, &r, static_cast<HBRUSH>(GetStockObject(DC_BRUSH)));
}

void DrawSwatch(HDC dc, int left, int top, int side, COLORREF colour) {
  FillBox(dc, left, top, left + side, top + side, colour);
  FrameBox(dc, left, top, left + side, top + side, RGB(64, 64, 64));
}

void DrawPanelText(HDC dc, HFONT font, int x, int y, int right, const std::wstring& text, COLORREF colour) {
  const HGDIOBJ old = SelectObject(dc, font);
  SetTextColor(dc, colour);
  RECT r{x, y, right, y + 1000};
  DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &r, DT_LEFT | DT_TOP | DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS);
  SelectObject(dc, old);
}

std::wstring WideText(const char16_t* text, size_t units) {
  size_t n = 0;
  while (n < units && text[n]) ++n;
  return std::wstring(reinterpret_cast<const wchar_t*>(text), n);
}
