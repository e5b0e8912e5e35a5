// The pen icon ("Easy Panel Brush Icon Window Class"): one pen's picture, chosen by its kind
// from the program's sixteen-colour pictures and painted with the colour of the layer the pen
// draws on. The pen list, the floating pen selector and the easy panel hold sixteen each.
#include <algorithm>
#include <new>

#include "app/pen_icons.h"
#include "app/private_messages.h"
#include "settings/command_ids.h"
#include "shell/main_window.h"
#include "shell/panel_common.h"
#include "shell/pen_panels.h"

namespace {

struct IconCreation {
  MainWindow* owner;
  int32_t slot;
};

struct PenIcon {
  MainWindow* owner = nullptr;
  int32_t slot = 0;
  IndexedPicture picture;  // stretched to the icon
  bool selected = false;
  bool pressed = false;    // the left button went down on it and is held
};

PenIcon* IconOf(HWND hwnd) { return reinterpret_cast<PenIcon*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA)); }

// The picture resource as the program holds it; empty when it cannot be read.
IndexedPicture LoadPicture(int resource) {
  IndexedPicture picture;
  HMODULE module = GetModuleHandleW(nullptr);
  HRSRC found = FindResourceW(module, MAKEINTRESOURCEW(resource), reinterpret_cast<LPCWSTR>(RT_BITMAP));
  HGLOBAL loaded = found ? LoadResource(module, found) : nullptr;
  const auto* bytes = loaded ? static_cast<const uint8_t*>(LockResource(loaded)) : nullptr;
  if (bytes) (void)DecodeSixteenColourDib(bytes, SizeofResource(module, found), picture);
  return picture;
}

IndexedPicture PictureFor(const PenSetting& pen, int side) {
  const IndexedPicture source = LoadPicture(PenIconResource(PenIconPictureOfKind(pen.KindOfPen), side));
  return StretchIndexedPicture(source, side);
}

int IconSide(HWND hwnd) {
  RECT r{};
  GetClientRect(hwnd, &r);
  return std::max(1, static_cast<int>(std::min(r.right, r.bottom)));
}

const PenSetting& PenOf(const PenIcon& icon) {
  return icon.owner->app.settings.pens[std::clamp(icon.slot, 0, kPenCount - 1)];
}

void DrawPicture(HDC dc, const IndexedPicture& picture, int x, int y, COLORREF layer, COLORREF background) {
  if (picture.width <= 0) return;
  const std::vector<uint32_t> pixels = ComposePenIcon(picture, layer, background);
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = picture.width;
  info.bmiHeader.biHeight = -picture.height;  // top-down
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  SetDIBitsToDevice(dc, x, y, static_cast<DWORD>(picture.width), static_cast<DWORD>(picture.height), 0, 0, 0,
                    static_cast<UINT>(picture.height), pixels.data(), &info, DIB_RGB_COLORS);
}

COLORREF LayerColourOfPen(const MainWindow& w, const PenSetting& pen) {
  return LayerColourOf(w, DrawingLayer(pen, w.app.canvas.currentLayer));
}

void Paint(HWND hwnd, const PenIcon& icon) {
  PanelPainter paint(hwnd);
  const COLORREF background = icon.selected ? RGB(160, 160, 160) : icon.pressed ? RGB(200, 200, 200) : RGB(0xE0, 0xE0, 0xE0);
  FillBox(paint.dc, 0, 0, paint.width, paint.height, background);
  DrawPicture(paint.dc, icon.picture, 0, 0, LayerColourOfPen(*icon.owner, PenOf(icon)), background);
}

// Releasing a button inside the icon tells the parent; the right button also asks the main
// window for the floating palette.
void Release(HWND hwnd, PenIcon& icon, LPARAM lParam, bool right) {
  const bool was = icon.pressed;
  icon.pressed = false;
  if (GetCapture() == hwnd) ReleaseCapture();
  InvalidateRect(hwnd, nullptr, FALSE);
  RECT r{};
  GetClientRect(hwnd, &r);
  const POINT at{MouseX(lParam), MouseY(lParam)};
  if (!was || !PtInRect(&r, at)) return;
  HWND root = GetAncestor(hwnd, GA_ROOT);
  SendMessageW(GetParent(hwnd), kMsgPenIconClicked, reinterpret_cast<WPARAM>(hwnd), 0);
  if (right) PostMessageW(root, WM_COMMAND, CMD_POPUP_PALETTE, 0);
}

}  // namespace

LRESULT CALLBACK PenIconProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    const auto* c = static_cast<const IconCreation*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
    auto* icon = c ? new (std::nothrow) PenIcon : nullptr;
    if (!icon) return FALSE;
    icon->owner = c->owner;
    icon->slot = c->slot;
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(icon));
  }
  PenIcon* icon = IconOf(hwnd);
  if (!icon) return DefWindowProcW(hwnd, message, wParam, lParam);
  switch (message) {
    case WM_CREATE:
    case kMsgPenKindChanged:
    case WM_SIZE:
      icon->picture = PictureFor(PenOf(*icon), IconSide(hwnd));
      InvalidateRect(hwnd, nullptr, FALSE);
      return 0;
    case kMsgRecolourIcons:
      InvalidateRect(hwnd, nullptr, FALSE);
      return 0;
    case kMsgSelectPenSlot:
      if (icon->selected != (lParam != 0)) {
        icon->selected = lParam != 0;
        InvalidateRect(hwnd, nullptr, FALSE);
      }
      return 0;
    case WM_ERASEBKGND:
      return 1;
    case WM_PAINT:
      Paint(hwnd, *icon);
      return 0;
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
      SetCapture(hwnd);
      icon->pressed = true;
      InvalidateRect(hwnd, nullptr, FALSE);
      return 0;
    case WM_LBUTTONUP:
    case WM_RBUTTONUP:
      Release(hwnd, *icon, lParam, message == WM_RBUTTONUP);
      return 0;
    case WM_LBUTTONDBLCLK:
      OpenPenSettingDialogOnce(*icon->owner, icon->slot);
      return 0;
    case WM_NCDESTROY:
      delete icon;
      SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
      break;
    default:
      break;
  }
  return DefWindowProcW(hwnd, message, wParam, lParam);
}

HWND CreatePenIcon(HWND parent, MainWindow& w, int32_t slot, const WindowBox& box) {
  const IconCreation creation{&w, slot};
  return CreateWindowExW(0, L"Easy Panel Brush Icon Window Class", L"", WS_CHILD | WS_VISIBLE, box.x, box.y,
                         box.width, box.height, parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(slot)),
                         GetModuleHandleW(nullptr), const_cast<IconCreation*>(&creation));
}

namespace {

bool IsPenIcon(HWND hwnd) {
  wchar_t cls[64] = {};
  return GetClassNameW(hwnd, cls, 64) && wcscmp(cls, L"Easy Panel Brush Icon Window Class") == 0;
}

}  // namespace

void TellPenIcons(HWND parent, UINT message, WPARAM wParam, LPARAM lParam) {
  for (HWND child = GetWindow(parent, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
    if (IsPenIcon(child)) SendMessageW(child, message, wParam, lParam);
}

void MarkCurrentPenIcon(HWND parent, const MainWindow& w) {
  for (HWND child = GetWindow(parent, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
    if (IsPenIcon(child))
      SendMessageW(child, kMsgSelectPenSlot, 0, GetDlgCtrlID(child) == w.app.settings.numPenSetting ? 1 : 0);
}

void DrawPenPicture(HDC dc, const MainWindow& w, const PenSetting& pen, int x, int y, int side, COLORREF background) {
  DrawPicture(dc, PictureFor(pen, side), x, y, LayerColourOfPen(w, pen), background);
}
