// The colour swatch, the palette ring of eight swatches and the layer panel's toggles.
#include <windows.h>
#include <commdlg.h>

#include "app/layer_panel.h"
#include "app/palette_ring.h"
#include "app/private_messages.h"
#include "shell/colour_windows.h"
#include "shell/main_window.h"
#include "shell/panel_common.h"
#include "shell/resource_ids.h"

namespace {

template <class T>
T* BoundField(HWND hwnd) {
  return reinterpret_cast<T*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
}

void StoreCreationParameter(HWND hwnd, LPARAM lParam) {
  const auto* cs = reinterpret_cast<const CREATESTRUCTW*>(lParam);
  SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(cs->lpCreateParams));
}

SIZE ClientSize(HWND hwnd) {
  RECT r{};
  GetClientRect(hwnd, &r);
  return {r.right, r.bottom};
}

void PaintSwatch(HWND hwnd) {
  PanelPainter paint(hwnd);
  const uint32_t* colour = BoundField<uint32_t>(hwnd);
  FillBox(paint.dc, 0, 0, paint.width, paint.height, colour ? (*colour & 0x00FFFFFFu) : kPanelBackground);
  const int r = SwatchCornerDiameter(paint.width, paint.height);
  HPEN pen = CreatePen(PS_SOLID, SwatchOutlineWidth(paint.height), RGB(128, 128, 128));
  const HGDIOBJ oldPen = SelectObject(paint.dc, pen);
  const HGDIOBJ oldBrush = SelectObject(paint.dc, GetStockObject(NULL_BRUSH));
  RoundRect(paint.dc, 0, 0, paint.width - 1, paint.height - 1, r, r);
  SelectObject(paint.dc, oldBrush);
  SelectObject(paint.dc, oldPen);
  DeleteObject(pen);
}

// The system colour dialog on the swatch's colour; on OK the colour is stored and the main
// window told.
void EditSwatchColour(HWND hwnd) {
  uint32_t* colour = BoundField<uint32_t>(hwnd);
  if (!colour) return;
  COLORREF custom[16] = {};
  CHOOSECOLORW choose{};
  choose.lStructSize = sizeof choose;
  choose.hwndOwner = GetAncestor(hwnd, GA_ROOT);
  choose.rgbResult = *colour & 0x00FFFFFFu;
  choose.lpCustColors = custom;
  choose.Flags = CC_FULLOPEN | CC_RGBINIT;
  if (!ChooseColorW(&choose)) return;
  *colour = choose.rgbResult & 0x00FFFFFFu;
  InvalidateRect(hwnd, nullptr, FALSE);
  SendMessageW(GetAncestor(hwnd, GA_ROOT), kMsgLayerEntryChanged, 0, 0);
}

// ---- The palette ring ----

struct Ring {
  HWND swatch[kLayerCount] = {};
};

Ring* RingOf(HWND hwnd) { return static_cast<Ring*>(GetPropW(hwnd, L"DotwrightRing")); }

void CreateRingSwatches(HWND hwnd, MainWindow& w) {
  auto* ring = new (std::nothrow) Ring;
  if (!ring) return;
  SetPropW(hwnd, L"DotwrightRing", ring);
  const SIZE size = ClientSize(hwnd);
  const float s = PaletteRingScale(size.cx);
  for (int i = 0; i < kLayerCount; ++i) {
    const WindowBox b = RingSwatchBox(i, size.cx, size.cy, s);
    ring->swatch[i] = CreateWindowExW(0, kColourSwatchClass, L"", WS_CHILD | WS_VISIBLE, b.x, b.y, b.width, b.height, hwnd,
                                      reinterpret_cast<HMENU>(static_cast<INT_PTR>(i)), GetModuleHandleW(nullptr),
                                      &w.app.canvas.layers.rows[i].colour);
  }
}

void ShapeRing(HWND hwnd, int width, int height) {
  const int inset = RingHoleInset(PaletteRingScale(width));
  HRGN outer = CreateEllipticRgn(0, 0, width, height);
  HRGN hole = CreateEllipticRgn(inset, inset, width - inset, height - inset);
  CombineRgn(outer, outer, hole, RGN_DIFF);
  DeleteObject(hole);
  if (!SetWindowRgn(hwnd, outer, TRUE)) DeleteObject(outer);
}

void ChooseFromRing(HWND hwnd, MainWindow& w, HWND swatch) {
  const int layer = GetDlgCtrlID(swatch);
  if (layer < 0 || layer >= kLayerCount) return;
  ChooseCurrentLayer(w.app, layer);
  ShowWindow(hwnd, SW_HIDE);
  SendMessageW(GetAncestor(hwnd, GA_ROOT), kMsgCurrentLayerChanged, 0, 0);
}

}  // namespace

void BindSwatch(HWND swatch, uint32_t* colour) {
  if (!swatch || BoundField<uint32_t>(swatch) == colour) return;
  SetWindowLongPtrW(swatch, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(colour));
  InvalidateRect(swatch, nullptr, FALSE);
}

void BindToggle(HWND toggle, int32_t* field) {
  if (!toggle) return;
  SetWindowLongPtrW(toggle, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(field));
  InvalidateRect(toggle, nullptr, FALSE);
}

LRESULT CALLBACK ColourSwatchProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_NCCREATE:
      StoreCreationParameter(hwnd, lParam);
      break;
    case WM_SIZE: {
      const int w = LOWORD(lParam), h = HIWORD(lParam), r = SwatchCornerDiameter(w, h);
      HRGN region = CreateRoundRectRgn(0, 0, w, h, r, r);
      if (region && !SetWindowRgn(hwnd, region, TRUE)) DeleteObject(region);
      return 0;
    }
    case WM_ERASEBKGND:
      return 1;
    case WM_PAINT:
      PaintSwatch(hwnd);
      return 0;
    case WM_LBUTTONUP:
      SendMessageW(GetParent(hwnd), kMsgSwatchClicked, reinterpret_cast<WPARAM>(hwnd), 0);
      return 0;
    case WM_LBUTTONDBLCLK:
      EditSwatchColour(hwnd);
      return 0;
    default:
      break;
  }
  return DefWindowProcW(hwnd, message, wParam, lParam);
}

LRESULT CALLBACK PaletteRingProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  MainWindow* w = BindPanelOwner(hwnd, message, lParam);
  if (!w) return DefWindowProcW(hwnd, message, wParam, lParam);
  switch (message) {
    case WM_CREATE:
      CreateRingSwatches(hwnd, *w);
      return 0;
    case WM_SIZE:
      ShapeRing(hwnd, LOWORD(lParam), HIWORD(lParam));
      return 0;
    case WM_ERASEBKGND:
      return 1;
    case WM_PAINT: {
      PanelPainter paint(hwnd);
      FillBox(paint.dc, 0, 0, paint.width, paint.height, RGB(0xE0, 0xE0, 0xE0));
      return 0;
    }
    case kMsgSwatchClicked:
      ChooseFromRing(hwnd, *w, reinterpret_cast<HWND>(wParam));
      return 0;
    case WM_LBUTTONUP:
      ShowWindow(hwnd, SW_HIDE);
      return 0;
    case WM_NCDESTROY:
      delete RingOf(hwnd);
      RemovePropW(hwnd, L"DotwrightRing");
      break;
    default:
      break;
  }
  return DefWindowProcW(hwnd, message, wParam, lParam);
}

LRESULT CALLBACK LayerToggleProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_NCCREATE:
      StoreCreationParameter(hwnd, lParam);
      break;
    case WM_ERASEBKGND:
      return 1;
    case WM_PAINT: {
      PanelPainter paint(hwnd);
      FillBox(paint.dc, 0, 0, paint.width, paint.height, kPanelBackground);
      wchar_t name[64] = {};
      GetClassNameW(hwnd, name, 64);
      const bool visibility = lstrcmpW(name, kVisibleToggleClass) == 0;
      const int32_t* field = BoundField<int32_t>(hwnd);
      const bool on = field && *field != 0;
      const int id = visibility ? (on ? IDI_LAYER_VISIBLE : IDI_LAYER_HIDDEN) : (on ? IDI_LAYER_LOCKED : IDI_LAYER_UNLOCKED);
      HICON icon = static_cast<HICON>(
          LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(id), IMAGE_ICON, paint.width, paint.height, 0));
      if (icon) {
        DrawIconEx(paint.dc, 0, 0, icon, paint.width, paint.height, 0, nullptr, DI_NORMAL);
        DestroyIcon(icon);
      }
      return 0;
    }
    case WM_LBUTTONUP: {
      int32_t* field = BoundField<int32_t>(hwnd);
      if (!field) return 0;
      *field = *field ? 0 : 1;
      InvalidateRect(hwnd, nullptr, FALSE);
      wchar_t name[64] = {};
      GetClassNameW(hwnd, name, 64);
      if (lstrcmpW(name, kVisibleToggleClass) == 0) SendMessageW(GetAncestor(hwnd, GA_ROOT), kMsgLayerEntryChanged, 0, 0);
      return 0;
    }
    default:
      break;
  }
  return DefWindowProcW(hwnd, message, wParam, lParam);
}
