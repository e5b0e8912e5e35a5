// The colour picker: a hue ring around a lightness/chroma triangle (app/colour_picker.h) that
// sets the current layer's colour (or the paper's while it is edited). The ring comes from the
// program's resources; the triangle is drawn again whenever the hue changes.
#include <new>

#include "app/colour_picker.h"
#include "app/private_messages.h"
#include "canvas/status.h"
#include "shell/colour_windows.h"
#include "shell/main_window.h"
#include "shell/member_windows.h"
#include "shell/panel_common.h"
#include "shell/resource_ids.h"

namespace {

struct Picker {
  float s = 1.0f;
  PickerState state;
  HBITMAP picture = nullptr;  // 384 x 384, 32-bit, top-down
  uint32_t* pixels = nullptr;
  ~Picker() {
    if (picture) DeleteObject(picture);
  }
};

Picker* PickerOf(HWND hwnd) { return static_cast<Picker*>(GetPropW(hwnd, L"DotwrightPicker")); }

BITMAPINFO TopDownInfo() {
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = kPickerSide;
  info.bmiHeader.biHeight = -kPickerSide;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  return info;
}

// The picture with the hue ring copied in; without memory the picker stays blank.
void CreatePicture(HWND hwnd, Picker& p) {
  BITMAPINFO info = TopDownInfo();
  void* bits = nullptr;
  p.picture = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (!p.picture) {
    gStatusCode = kStatusBitmapAllocationFailed;
    return;
  }
  p.pixels = static_cast<uint32_t*>(bits);
  for (int i = 0; i < kPickerSide * kPickerSide; ++i) p.pixels[i] = 0xF0F0F0;
  HBITMAP ring = static_cast<HBITMAP>(LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDB_HUE_RING), IMAGE_BITMAP,
                                                 0, 0, LR_CREATEDIBSECTION));
  if (ring) {
    HDC dc = GetDC(hwnd);
    GetDIBits(dc, ring, 0, kPickerSide, p.pixels, &info, DIB_RGB_COLORS);
    ReleaseDC(hwnd, dc);
    DeleteObject(ring);
  }
}

uint32_t* CurrentColour(MainWindow& w) {
  const int32_t layer = w.app.canvas.currentLayer;
  if (layer < 0 || layer >= kLayerTableRows) return nullptr;
  return &w.app.canvas.layers.rows[layer].colour;
}

void RedrawTriangle(HWND hwnd, Picker& p) {
  if (p.pixels) DrawPickerTriangle(p.pixels, p.state.colour.theta);
  InvalidateRect(hwnd, nullptr, FALSE);
}

void SyncFromLayer(HWND hwnd, MainWindow& w, Picker& p) {
  if (const uint32_t* colour = CurrentColour(w)) p.state.colour = HueChromaOfColour(*colour);
  RedrawTriangle(hwnd, p);
}

PickerPoint PointOf(HWND hwnd, LPARAM lParam) {
  RECT client{};
  GetClientRect(hwnd, &client);
  return PickerPointOfClient(MouseX(lParam), MouseY(lParam), client.right, client.bottom);
}

void Apply(HWND hwnd, Picker& p, PickerEffect effect) {
  if (effect == PickerEffect::kRedrawTriangle) RedrawTriangle(hwnd, p);
  else if (effect == PickerEffect::kRepaint) InvalidateRect(hwnd, nullptr, FALSE);
}

void Release(HWND hwnd, MainWindow& w, Picker& p, LPARAM lParam) {
  if (GetCapture() == hwnd) ReleaseCapture();
  if (!p.state.ringDrag && !p.state.triangleDrag) return;
  const PickerPoint at = PickerRelease(p.state, PointOf(hwnd, lParam));
  if (uint32_t* colour = CurrentColour(w)) *colour = LayerColourOfPixel(p.pixels[at.y * kPickerSide + at.x]);
  InvalidateRect(hwnd, nullptr, FALSE);
  SendMessageW(GetAncestor(hwnd, GA_ROOT), kMsgLayerEntryChanged, 0, 0);
}

void DrawMarker(HDC dc, const PickerBox& b) { Rectangle(dc, b.left, b.top, b.right, b.bottom); }

void Paint(HWND hwnd, Picker& p) {
  PanelPainter paint(hwnd);
  FillBox(paint.dc, 0, 0, paint.width, paint.height, kPanelBackground);
  if (!p.picture) return;
  HDC source = CreateCompatibleDC(paint.dc);
  const HGDIOBJ oldBitmap = SelectObject(source, p.picture);
  SetStretchBltMode(paint.dc, COLORONCOLOR);
  StretchBlt(paint.dc, 0, 0, paint.width, paint.height, source, 0, 0, kPickerSide, kPickerSide, SRCCOPY);
  SelectObject(source, oldBitmap);
  DeleteDC(source);

  HPEN pen = CreatePen(PS_SOLID, static_cast<int>(p.s + 0.5f), RGB(0, 0, 0));
  const HGDIOBJ oldPen = SelectObject(paint.dc, pen);
  const HGDIOBJ oldBrush = SelectObject(paint.dc, GetStockObject(WHITE_BRUSH));
  const HueChroma& c = p.state.colour;
  DrawMarker(paint.dc, HueMarkerBox(c.theta, paint.width, paint.height, p.s));
  DrawMarker(paint.dc, TriangleMarkerBox(c.chroma, c.lightness, paint.width, paint.height, p.s));
  SelectObject(paint.dc, oldBrush);
  SelectObject(paint.dc, oldPen);
  DeleteObject(pen);
}

}  // namespace

LRESULT CALLBACK ColorPickerWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  MainWindow* w = BindPanelOwner(hwnd, message, lParam);
  Picker* p = PickerOf(hwnd);
  if (message == WM_CREATE && w) {
    p = new (std::nothrow) Picker;
    if (!p) return -1;
    SetPropW(hwnd, L"DotwrightPicker", p);
    RECT client{};
    GetClientRect(hwnd, &client);
    p->s = PanelScaleOfWidth(client.right);
    CreatePicture(hwnd, *p);
    SyncFromLayer(hwnd, *w, *p);
    return 0;
  }
  if (message == WM_NCDESTROY) {
    delete p;
    RemovePropW(hwnd, L"DotwrightPicker");
  }
  if (!w || !p) return DefWindowProcW(hwnd, message, wParam, lParam);
  if (PointerAsMouse(hwnd, message, lParam)) return 0;
  switch (message) {
    case WM_ERASEBKGND:
      return 1;
    case WM_PAINT:
      Paint(hwnd, *p);
      return 0;
    case kMsgLayerEntryChanged:
      SyncFromLayer(hwnd, *w, *p);
      return 0;
    case kMsgRecolourIcons:
      RedrawTriangle(hwnd, *p);
      return 0;
    case WM_LBUTTONDOWN:
      if (!p->pixels) return 0;
      SetCapture(hwnd);
      Apply(hwnd, *p, PickerPress(p->state, PointOf(hwnd, lParam)));
      return 0;
    case WM_MOUSEMOVE:
      if (p->pixels && GetCapture() == hwnd) Apply(hwnd, *p, PickerMove(p->state, PointOf(hwnd, lParam)));
      return 0;
    case WM_LBUTTONUP:
      if (p->pixels) Release(hwnd, *w, *p, lParam);
      return 0;
    case WM_CAPTURECHANGED:
      return 0;
    default:
      break;
  }
  return DefWindowProcW(hwnd, message, wParam, lParam);
}
