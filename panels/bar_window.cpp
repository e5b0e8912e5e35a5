// The bar control's window: mouse and pointer input go to app/bar_control, and the record is
// painted as a framed bar filled up to the slider with the value at its right end.
#include <cstdio>
#include <new>

#include "app/bar_control.h"
#include "shell/bar_control.h"
#include "shell/main_window.h"
#include "shell/panel_common.h"

namespace {

struct Bar {
  BarState state;
  HFONT font = nullptr;
};

Bar* BarOf(HWND hwnd) { return reinterpret_cast<Bar*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA)); }

// The face name of the value text: the language library's string 9, read through the main
// window that owns the bar (its root, or the owner of a dialog it sits in).
std::wstring FontFace(HWND hwnd) {
  for (HWND candidate : {GetAncestor(hwnd, GA_ROOT), GetAncestor(hwnd, GA_ROOTOWNER)}) {
    wchar_t cls[64] = {};
    if (!candidate || !GetClassNameW(candidate, cls, 64) || wcscmp(cls, kMainWindowClass) != 0) continue;
    if (auto* w = reinterpret_cast<MainWindow*>(GetWindowLongPtrW(candidate, GWLP_USERDATA)))
      return PanelString(*w, 9, L"MS UI Gothic");
  }
  return L"MS UI Gothic";
}

void OnCreate(HWND hwnd) {
  RECT client{};
  GetClientRect(hwnd, &client);
  auto* bar = new (std::nothrow) Bar;
  if (!bar) return;
  bar->state = NewBarState(client.right);
  const float t = BarDrawScale(client.bottom);
  bar->font = CreateFontW(static_cast<int>(12 * t), 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                          OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH,
                          FontFace(hwnd).c_str());
  SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(bar));
}

void Paint(HWND hwnd, const Bar& bar) {
  PanelPainter paint(hwnd);
  HDC dc = paint.dc;
  const float t = BarDrawScale(paint.height);
  FillBox(dc, 0, 0, paint.width, paint.height, RGB(255, 255, 255));
  FrameBox(dc, 0, 0, paint.width, paint.height, RGB(0x40, 0x40, 0x40));
  for (const POINT corner : {POINT{0, 0}, POINT{paint.width - 1, 0}, POINT{0, paint.height - 1},
                             POINT{paint.width - 1, paint.height - 1}})
    SetPixel(dc, corner.x, corner.y, RGB(0xF0, 0xF0, 0xF0));
  const int filled = static_cast<int>(bar.state.position) + 1;
  FillBox(dc, 1, 1, filled, paint.height - 1, bar.state.dragging ? RGB(160, 160, 160) : RGB(200, 200, 200));
  wchar_t text[16];
  swprintf(text, 16, L"%4d", BarValue(bar.state));
  const HGDIOBJ old = SelectObject(dc, bar.font);
  SetTextColor(dc, RGB(0, 0, 0));
  TextOutW(dc, paint.width - static_cast<int>(29 * t), static_cast<int>(t), text, static_cast<int>(wcslen(text)));
  SelectObject(dc, old);
}

void Tell(HWND hwnd, const Bar& bar, BarReaction r) {
  if (r.sendValue)
    SendMessageW(GetParent(hwnd), kMsgBarValue, static_cast<WPARAM>(GetDlgCtrlID(hwnd)), BarValue(bar.state));
  if (r.repaint) InvalidateRect(hwnd, nullptr, FALSE);
}

// A pointer message's position in client pixels.
LPARAM PointerToClient(HWND hwnd, LPARAM lParam) {
  POINT p{MouseX(lParam), MouseY(lParam)};
  ScreenToClient(hwnd, &p);
  return MAKELPARAM(p.x, p.y);
}

}  // namespace

LRESULT CALLBACK BarWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_CREATE) {
    OnCreate(hwnd);
    return BarOf(hwnd) ? 0 : -1;
  }
  Bar* bar = BarOf(hwnd);
  if (!bar) return DefWindowProcW(hwnd, message, wParam, lParam);
  switch (message) {
    case WM_ERASEBKGND:
      return 1;
    case WM_PAINT:
      Paint(hwnd, *bar);
      return 0;
    case kMsgBarSet:
      if (BarSet(bar->state, static_cast<int32_t>(wParam), static_cast<int32_t>(lParam)))
        InvalidateRect(hwnd, nullptr, FALSE);
      return 0;
    case WM_POINTERDOWN:
      return BarWindowProc(hwnd, WM_LBUTTONDOWN, GetKeyState(VK_SHIFT) < 0 ? MK_SHIFT : 0, PointerToClient(hwnd, lParam));
    case WM_POINTERUPDATE:
      return BarWindowProc(hwnd, WM_MOUSEMOVE, 0, PointerToClient(hwnd, lParam));
    case WM_POINTERUP:
      return BarWindowProc(hwnd, WM_LBUTTONUP, 0, PointerToClient(hwnd, lParam));
    case WM_LBUTTONDOWN:
      SetCapture(hwnd);
      Tell(hwnd, *bar, BarPress(bar->state, MouseX(lParam), (wParam & MK_SHIFT) != 0));
      return 0;
    case WM_MOUSEMOVE:
      Tell(hwnd, *bar, BarMove(bar->state, MouseX(lParam)));
      return 0;
    case WM_LBUTTONUP:
    case WM_CAPTURECHANGED:
      if (!bar->state.dragging) return 0;
      BarRelease(bar->state);
      if (message == WM_LBUTTONUP) ReleaseCapture();
      SendMessageW(GetParent(hwnd), kMsgBarReleased, 0, 0);
      InvalidateRect(hwnd, nullptr, FALSE);
      return 0;
    case WM_NCDESTROY:
      if (bar->font) DeleteObject(bar->font);
      delete bar;
      SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
      break;
    default:
      break;
  }
  return DefWindowProcW(hwnd, message, wParam, lParam);
}

HWND CreateBar(HWND parent, int id, int x, int y, int width, int height) {
  return CreateWindowExW(0, kBarWindowClass, L"", WS_CHILD | WS_VISIBLE, x, y, width, height, parent,
                         reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleW(nullptr), nullptr);
}
