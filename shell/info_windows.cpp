#include "shell/info_windows.h"

#include <cstring>
#include <mutex>
#include <new>

#include "canvas/dib_bitmap_win32.h"
#include "canvas/status.h"
#include "shell/panel_common.h"
#include "reduce/loupe.h"
#include "view/composition.h"
#include "shell/main_window.h"

namespace {

// One panel's picture: a bitmap of the window's client size in a memory device context; the
// loupe also keeps the core's 128 x 128 picture it is drawn from.
struct InfoPanel {
  MainWindow* owner = nullptr;
  PanelMember member = PanelMember::kTabInfo;
  HDC memory = nullptr;
  HBITMAP bitmap = nullptr;
  HGDIOBJ oldBitmap = nullptr;
  HFONT font = nullptr;            // the information panel's font
  DibBitmap* loupe = nullptr;      // the loupe's picture at one to one
  int width = 0, height = 0;
};

InfoPanel* PanelOf(HWND hwnd) { return reinterpret_cast<InfoPanel*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA)); }

float Scale(const InfoPanel& panel) { return PanelScale(*panel.owner); }

void FreePicture(InfoPanel& panel) {
  if (panel.memory) {
    SelectObject(panel.memory, panel.oldBitmap);
    DeleteDC(panel.memory);
  }
  if (panel.bitmap) DeleteObject(panel.bitmap);
  panel.memory = nullptr;
  panel.bitmap = nullptr;
}

// The picture's bitmap at the window's client size, made anew when that changed.
bool EnsurePicture(HWND hwnd, InfoPanel& panel) {
  RECT r{};
  GetClientRect(hwnd, &r);
  if (r.right < 1 || r.bottom < 1) return false;
  if (panel.memory && panel.width == r.right && panel.height == r.bottom) return true;
  FreePicture(panel);
  HDC screen = GetDC(hwnd);
  panel.memory = CreateCompatibleDC(screen);
  panel.bitmap = CreateCompatibleBitmap(screen, r.right, r.bottom);
  ReleaseDC(hwnd, screen);
  if (!panel.memory || !panel.bitmap) {
    FreePicture(panel);
    return false;
  }
  panel.oldBitmap = SelectObject(panel.memory, panel.bitmap);
  panel.width = r.right;
  panel.height = r.bottom;
  return true;
}

// The three lines of the current raw sample: printed white on black in a scratch bitmap, which
// is added (OR) at four one-pixel shifts around (2, 2) for a white halo, then inverted and
// multiplied (AND) in at (2, 2) for black letters.
void DrawTabInfo(InfoPanel& panel) {
  const float s = Scale(panel);
  HDC dc = panel.memory;
  FillBox(dc, 0, 0, panel.width, panel.height, RGB(240, 240, 240));
  HDC scratch = CreateCompatibleDC(dc);
  HBITMAP bits = CreateCompatibleBitmap(dc, panel.width, panel.height);
  if (!scratch || !bits) {
    if (scratch) DeleteDC(scratch);
    if (bits) DeleteObject(bits);
    return;
  }
  const HGDIOBJ oldBits = SelectObject(scratch, bits);
  FillBox(scratch, 0, 0, panel.width, panel.height, RGB(0, 0, 0));
  const HGDIOBJ oldFont = SelectObject(scratch, panel.font);
  SetBkMode(scratch, TRANSPARENT);
  SetTextColor(scratch, RGB(255, 255, 255));
  const TabInfoText text = FormatTabInfo(panel.owner->app.input.current, gStatusCode.load());
  for (int i = 0; i < kTabInfoLineCount; ++i)
    TextOutA(scratch, 0, Scaled(kTabInfoLineY[i], s), text.lines[i], static_cast<int>(strlen(text.lines[i])));
  SelectObject(scratch, oldFont);
  constexpr POINT kHalo[4] = {{2, 1}, {2, 3}, {1, 2}, {3, 2}};
  for (const POINT& at : kHalo) BitBlt(dc, at.x, at.y, panel.width, panel.height, scratch, 0, 0, SRCPAINT);
  BitBlt(scratch, 0, 0, panel.width, panel.height, nullptr, 0, 0, DSTINVERT);
  BitBlt(dc, 2, 2, panel.width, panel.height, scratch, 0, 0, SRCAND);
  SelectObject(scratch, oldBits);
  DeleteObject(bits);
  DeleteDC(scratch);
}

// The canvas around the pen at one to one, enlarged to the window by the UI scale.
void DrawLoupe(InfoPanel& panel) {
  MainWindow& w = *panel.owner;
  if (!panel.loupe) {
    panel.loupe = CreateDibBitmap(32, nullptr, 0, kLoupeSide, kLoupeSide);
    if (!panel.loupe) return;
    FillPixels(*panel.loupe, {0, 0, kLoupeSide, kLoupeSide}, kLoupeFill);
  }
  {
    std::lock_guard<std::recursive_mutex> guard(w.app.step.update.lock);
    (void)ComposeLoupe(w.app.view, w.app.input, *panel.loupe);  // keeps the last picture when it cannot draw
  }
  SetStretchBltMode(panel.memory, COLORONCOLOR);
  StretchDIBits(panel.memory, 0, 0, panel.width, panel.height, 0, 0, kLoupeSide, kLoupeSide, panel.loupe->bits,
                DibBitmapInfo(*panel.loupe), DIB_RGB_COLORS, SRCCOPY);
}

void Draw(InfoPanel& panel) {
  if (panel.member == PanelMember::kLoupe) DrawLoupe(panel);
  else DrawTabInfo(panel);
}

void Redraw(HWND hwnd, InfoPanel& panel) {
  if (!EnsurePicture(hwnd, panel)) return;
  Draw(panel);
  InvalidateRect(hwnd, nullptr, FALSE);
}

// A fixed-pitch font as large as lets the widest line fit the panel's width (at most the
// line spacing of 16 s, 14 s high).
HFONT TabInfoFont(HWND hwnd, float s) {
  static const char kWidest[] = "tilt:-550 rotate:3599";
  const int room = Scaled(kTabInfoWidth, s) - 4;
  HDC dc = GetDC(hwnd);
  HFONT font = nullptr;
  for (int height = Scaled(14, s); height >= 6 && dc; --height) {
    font = CreateFontW(height, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                       CLIP_DEFAULT_PRECIS, NONANTIALIASED_QUALITY, FIXED_PITCH | FF_MODERN, L"Courier New");
    if (!font) break;
    const HGDIOBJ old = SelectObject(dc, font);
    SIZE size{};
    GetTextExtentPoint32A(dc, kWidest, static_cast<int>(sizeof kWidest - 1), &size);
    SelectObject(dc, old);
    if (size.cx <= room) break;
    DeleteObject(font);
    font = nullptr;
  }
  if (dc) ReleaseDC(hwnd, dc);
  return font ? font : static_cast<HFONT>(GetStockObject(ANSI_FIXED_FONT));
}

void OnCreate(HWND hwnd, const PanelCreation& creation) {
  auto* panel = new (std::nothrow) InfoPanel;
  if (!panel) return;
  panel->owner = creation.owner;
  panel->member = creation.member;
  if (panel->member == PanelMember::kTabInfo) panel->font = TabInfoFont(hwnd, PanelScale(*creation.owner));
  SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(panel));
}

void OnDestroy(HWND hwnd) {
  InfoPanel* panel = PanelOf(hwnd);
  if (!panel) return;
  FreePicture(*panel);
  if (panel->font && panel->font != GetStockObject(ANSI_FIXED_FONT)) DeleteObject(panel->font);
  FreeDibBitmap(panel->loupe);
  delete panel;
  SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
}

}  // namespace

LRESULT CALLBACK InfoWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    const auto* cs = reinterpret_cast<const CREATESTRUCTW*>(lParam);
    if (const auto* creation = static_cast<const PanelCreation*>(cs->lpCreateParams)) OnCreate(hwnd, *creation);
    return DefWindowProcW(hwnd, message, wParam, lParam);
  }
  InfoPanel* panel = PanelOf(hwnd);
  if (!panel) return DefWindowProcW(hwnd, message, wParam, lParam);
  switch (message) {
    case WM_ERASEBKGND:
      return 1;
    case WM_SIZE:
      Redraw(hwnd, *panel);
      return 0;
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(hwnd, &ps);
      if (!panel->memory && EnsurePicture(hwnd, *panel)) Draw(*panel);
      if (panel->memory) {
        const RECT& r = ps.rcPaint;
        BitBlt(dc, r.left, r.top, r.right - r.left, r.bottom - r.top, panel->memory, r.left, r.top, SRCCOPY);
      }
      EndPaint(hwnd, &ps);
      return 0;
    }
    case WM_NCDESTROY:
      OnDestroy(hwnd);
      break;
    default:
      break;
  }
  return DefWindowProcW(hwnd, message, wParam, lParam);
}

void RefreshPenPanels(MainWindow& w) {
  for (PanelMember m : {PanelMember::kTabInfo, PanelMember::kLoupe}) {
    HWND hwnd = w.panels.members[static_cast<int>(m)];
    if (!hwnd || !IsWindowVisible(hwnd)) continue;
    if (InfoPanel* panel = PanelOf(hwnd)) Redraw(hwnd, *panel);
  }
}
