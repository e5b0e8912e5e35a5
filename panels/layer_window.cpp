// The layer panel: the eight layers as rows, top of the stack first, each with its visibility
// and lock toggles, blend-mode list, colour swatch and number; the row the current pen draws on
// is highlighted. Below: the paper swatch, the current layer's clip switch and opacity bar.
// A press on a row makes its layer current; dragging it moves the layer through the stack.
// The row controls stay where they are and are bound to whichever layer a row shows.
#include <new>
#include <string>

#include "app/layer_panel.h"
#include "app/private_messages.h"
#include "shell/bar_control.h"
#include "shell/colour_windows.h"
#include "shell/main_window.h"
#include "shell/member_windows.h"
#include "shell/panel_common.h"

namespace {

constexpr int kPaperSwatchId = 100;
constexpr int kClipBoxId = 103;
constexpr int kOpacityBarId = 104;

struct LayerPanel {
  float s = 1.0f;
  HWND visibility[kLayerCount] = {}, lock[kLayerCount] = {}, blend[kLayerCount] = {}, swatch[kLayerCount] = {};
  HWND paper = nullptr, clip = nullptr, bar = nullptr;
  int layerAt[kLayerCount] = {};
  bool dragging = false;
  int startRow = 0, boundary = 0;
};

LayerPanel* PanelOf(HWND hwnd) { return static_cast<LayerPanel*>(GetPropW(hwnd, L"DotwrightLayers")); }

HWND Child(HWND parent, const wchar_t* cls, DWORD style, const WindowBox& b, int id, void* parameter) {
  return CreateWindowExW(0, cls, L"", WS_CHILD | WS_VISIBLE | style, b.x, b.y, b.width, b.height, parent,
                         reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleW(nullptr), parameter);
}

LayerEntry& CurrentEntry(MainWindow& w) {
  const int32_t k = w.app.canvas.currentLayer;
  return w.app.canvas.layers.rows[k >= 0 && k < kLayerTableRows ? k : 0];
}

void Place(HWND hwnd, const WindowBox& b) { SetWindowPos(hwnd, nullptr, b.x, b.y, b.width, b.height, SWP_NOZORDER | SWP_NOACTIVATE); }

// The row controls of position p at their place, with the indent of a clipped layer.
void PlaceRow(LayerPanel& panel, const LayerTable& table, int p) {
  const LayerRowBoxes b = LayerRowBoxesAt(p, table.rows[panel.layerAt[p]].clipped != 0, panel.s);
  Place(panel.visibility[p], b.visibility);
  Place(panel.lock[p], b.lock);
  WindowBox list = b.blend;
  list.height = BlendListDropHeight(panel.s);
  Place(panel.blend[p], list);
  Place(panel.swatch[p], b.swatch);
}

// The clip switch and the opacity of the current entry.
void ShowCurrentEntry(MainWindow& w, LayerPanel& panel) {
  const LayerEntry& e = CurrentEntry(w);
  InvalidateRect(panel.clip, nullptr, FALSE);
  if (panel.bar) SetBarValue(panel.bar, e.opacity);
}

// Everything again from the layer table: the row map, the bindings, the lists, the places.
void Refresh(HWND hwnd, MainWindow& w, LayerPanel& panel) {
  LayerTable& table = w.app.canvas.layers;
  LayersByPosition(table, panel.layerAt);
  for (int p = 0; p < kLayerCount; ++p) {
    LayerEntry& e = table.rows[panel.layerAt[p]];
    BindToggle(panel.visibility[p], &e.visible);
    BindToggle(panel.lock[p], &e.locked);
    BindSwatch(panel.swatch[p], &e.colour);
    InvalidateRect(panel.swatch[p], nullptr, FALSE);
    SendMessageW(panel.blend[p], CB_SETCURSEL, e.blendMode >= 0 && e.blendMode < 3 ? e.blendMode : 0, 0);
    PlaceRow(panel, table, p);
  }
  InvalidateRect(panel.paper, nullptr, FALSE);
  ShowCurrentEntry(w, panel);
  InvalidateRect(hwnd, nullptr, FALSE);
}

void Create(HWND hwnd, MainWindow& w, LayerPanel& panel) {
  RECT client{};
  GetClientRect(hwnd, &client);
  panel.s = PanelScaleOfWidth(client.right);
  LayerTable& table = w.app.canvas.layers;
  LayersByPosition(table, panel.layerAt);
  const HFONT font = PanelFont(w);
  const std::wstring names[3] = {PanelString(w, 501, L"Normal"), PanelString(w, 502, L"Multiply"),
                                 PanelString(w, 503, L"Add")};
  for (int p = 0; p < kLayerCount; ++p) {
    LayerEntry& e = table.rows[panel.layerAt[p]];
    const LayerRowBoxes b = LayerRowBoxesAt(p, e.clipped != 0, panel.s);
    panel.visibility[p] = Child(hwnd, kVisibleToggleClass, 0, b.visibility, 9 + p, &e.visible);
    panel.lock[p] = Child(hwnd, kLockToggleClass, 0, b.lock, 9 + p, &e.locked);
    WindowBox list = b.blend;
    list.height = BlendListDropHeight(panel.s);
    panel.blend[p] = Child(hwnd, L"COMBOBOX", CBS_DROPDOWNLIST | CBS_OWNERDRAWFIXED | CBS_HASSTRINGS | WS_VSCROLL,
                           list, 1 + p, nullptr);
    SendMessageW(panel.blend[p], WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    for (const std::wstring& name : names)
      SendMessageW(panel.blend[p], CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name.c_str()));
    panel.swatch[p] = Child(hwnd, kColourSwatchClass, 0, b.swatch, 17 + p, &e.colour);
  }
  const LayerPanelFooter f = LayerPanelFooterBoxes(panel.s);
  panel.paper = Child(hwnd, kColourSwatchClass, 0, f.paper, kPaperSwatchId, &table.rows[kPaperRow].colour);
  panel.clip = Child(hwnd, L"BUTTON", BS_OWNERDRAW, f.clipBox, kClipBoxId, nullptr);
  panel.bar = CreateBar(hwnd, kOpacityBarId, f.opacityBar.x, f.opacityBar.y, f.opacityBar.width, f.opacityBar.height);
  if (panel.bar) SetBarMaximum(panel.bar, 255);
  Refresh(hwnd, w, panel);
}

// The blend lists draw their names themselves: a name wider than the box beside the list's
// button is set a pixel tighter per letter rather than cut.
void MeasureBlendItem(const LayerPanel& panel, MEASUREITEMSTRUCT& m) {
  // The closed box fits its 16-pixel row; the dropped items are as high as the font needs.
  m.itemHeight = m.itemID == static_cast<UINT>(-1) ? Scaled(16, panel.s) - 6 : Scaled(13, panel.s);
}

// The clip box, drawn as large as its control at every scale; it shows the current entry.
void DrawClipBox(MainWindow& w, const DRAWITEMSTRUCT& d) {
  FillRect(d.hDC, &d.rcItem, GetSysColorBrush(COLOR_BTNFACE));
  RECT box = d.rcItem;
  DrawFrameControl(d.hDC, &box, DFC_BUTTON, DFCS_BUTTONCHECK | (CurrentEntry(w).clipped ? DFCS_CHECKED : 0));
}

void DrawBlendItem(MainWindow& w, const DRAWITEMSTRUCT& d) {
  if (d.CtlType == ODT_BUTTON) return DrawClipBox(w, d);
  if (d.itemID == static_cast<UINT>(-1)) return;
  const bool selected = (d.itemState & ODS_SELECTED) != 0;
  FillRect(d.hDC, &d.rcItem, GetSysColorBrush(selected ? COLOR_HIGHLIGHT : COLOR_WINDOW));
  wchar_t name[260] = {};
  if (SendMessageW(d.hwndItem, CB_GETLBTEXTLEN, d.itemID, 0) >= 260) return;
  SendMessageW(d.hwndItem, CB_GETLBTEXT, d.itemID, reinterpret_cast<LPARAM>(name));
  const HGDIOBJ oldFont = SelectObject(d.hDC, PanelFont(w));
  const int length = lstrlenW(name);
  SIZE extent{};
  GetTextExtentPoint32W(d.hDC, name, length, &extent);
  const int room = d.rcItem.right - d.rcItem.left - 2;
  const int oldExtra = SetTextCharacterExtra(d.hDC, extent.cx > room && length > 0 ? -((extent.cx - room + length - 1) / length) : 0);
  SetBkMode(d.hDC, TRANSPARENT);
  SetTextColor(d.hDC, GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT));
  RECT r = d.rcItem;
  r.left += 1;
  DrawTextW(d.hDC, name, length, &r, DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
  SetTextCharacterExtra(d.hDC, oldExtra);
  SelectObject(d.hDC, oldFont);
}

void Paint(HWND hwnd, MainWindow& w, LayerPanel& panel) {
  PanelPainter paint(hwnd);
  const float s = panel.s;
  const auto S = [s](int v) { return Scaled(v, s); };
  HDC dc = paint.dc;
  const HFONT font = PanelFont(w);
  const LayerTable& table = w.app.canvas.layers;
  FillBox(dc, 0, 0, paint.width, paint.height, kPanelBackground);
  const int k = HighlightedRow(table, CurrentPenOf(w), w.app.canvas.currentLayer);
  FillBox(dc, 0, S(20 * k), S(128) - 1, S(20 * k + 20) - 1, kPanelHighlight);
  for (int p = 0; p < kLayerCount; ++p) {
    const int layer = panel.layerAt[p], row = kLayerCount - 1 - p;
    const LayerRowBoxes b = LayerRowBoxesAt(p, false, s);
    DrawPanelText(dc, font, b.numberX, b.numberY, paint.width, std::to_wstring(layer + 1));
    if (table.rows[layer].clipped) FillBox(dc, S(1), S(20 * row), S(3), S(20 * row + 20), RGB(0xC0, 0x40, 0x40));
  }
  const LayerPanelFooter f = LayerPanelFooterBoxes(s);
  DrawPanelText(dc, font, f.clipLabelX, f.clipLabelY, f.paper.x, PanelString(w, 601, L"Clip"));
  DrawPanelText(dc, font, f.opacityLabelX, f.opacityLabelY, f.opacityBar.x, PanelString(w, 602, L"Opacity"));
  if (panel.dragging && DropMoves(panel.boundary, panel.startRow))
    FillBox(dc, 0, S(20 * panel.boundary) - 1, S(128), S(20 * panel.boundary) + 1, RGB(0, 0, 0));
}

void TellMain(HWND hwnd, UINT message) { SendMessageW(GetAncestor(hwnd, GA_ROOT), message, 0, 0); }

void OnPress(HWND hwnd, MainWindow& w, LayerPanel& panel, int y) {
  const int row = LayerRowAt(y, panel.s);
  if (row < 0) return;
  SetCapture(hwnd);
  ChooseCurrentLayer(w.app, panel.layerAt[kLayerCount - 1 - row]);
  panel.dragging = true;
  panel.startRow = panel.boundary = row;
  ShowCurrentEntry(w, panel);
  InvalidateRect(hwnd, nullptr, FALSE);
}

void OnMove(HWND hwnd, LayerPanel& panel, int y) {
  if (!panel.dragging) return;
  const int b = DropBoundaryAt(y, panel.s);
  if (b < 0 || b == panel.boundary) return;
  panel.boundary = b;
  InvalidateRect(hwnd, nullptr, FALSE);
}

void OnRelease(HWND hwnd, MainWindow& w, LayerPanel& panel) {
  if (GetCapture() == hwnd) ReleaseCapture();
  if (panel.dragging) {
    panel.dragging = false;
    if (DropLayer(w.app.canvas.layers, w.app.canvas.currentLayer, panel.boundary, panel.startRow)) {
      Refresh(hwnd, w, panel);
      TellMain(hwnd, kMsgLayerEntryChanged);
    }
    InvalidateRect(hwnd, nullptr, FALSE);
  }
  TellMain(hwnd, kMsgCurrentLayerChanged);
}

void OnSwatchClicked(HWND hwnd, MainWindow& w, LayerPanel& panel, HWND swatch) {
  if (swatch == panel.paper) {
    // The paper's colour is edited through the current layer index 8.
    ChooseCurrentLayer(w.app, kPaperRow);
  } else {
    const int p = GetDlgCtrlID(swatch) - 17;
    if (p < 0 || p >= kLayerCount) return;
    ChooseCurrentLayer(w.app, panel.layerAt[p]);
  }
  ShowCurrentEntry(w, panel);
  InvalidateRect(hwnd, nullptr, FALSE);
  TellMain(hwnd, kMsgCurrentLayerChanged);
}

void OnCommand(HWND hwnd, MainWindow& w, LayerPanel& panel, int id, int code) {
  if (id >= 1 && id <= kLayerCount && code == CBN_SELCHANGE) {
    const LRESULT mode = SendMessageW(panel.blend[id - 1], CB_GETCURSEL, 0, 0);
    if (mode >= 0 && mode < 3) w.app.canvas.layers.rows[panel.layerAt[id - 1]].blendMode = static_cast<int32_t>(mode);
    TellMain(hwnd, kMsgLayerEntryChanged);
    SetFocus(GetAncestor(hwnd, GA_ROOT));  // keys go back to the canvas
    return;
  }
  if (id == kClipBoxId && code == BN_CLICKED) {
    LayerEntry& e = CurrentEntry(w);
    e.clipped = e.clipped ? 0 : 1;
    InvalidateRect(panel.clip, nullptr, FALSE);
    for (int p = 0; p < kLayerCount; ++p) PlaceRow(panel, w.app.canvas.layers, p);
    InvalidateRect(hwnd, nullptr, FALSE);
    TellMain(hwnd, kMsgLayerEntryChanged);
    SetFocus(GetAncestor(hwnd, GA_ROOT));
  }
}

}  // namespace

LRESULT CALLBACK LayerWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  MainWindow* w = BindPanelOwner(hwnd, message, lParam);
  LayerPanel* panel = PanelOf(hwnd);
  if (message == WM_CREATE && w) {
    panel = new (std::nothrow) LayerPanel;
    if (!panel) return -1;
    SetPropW(hwnd, L"DotwrightLayers", panel);
    Create(hwnd, *w, *panel);
    return 0;
  }
  if (message == WM_NCDESTROY) {
    delete panel;
    RemovePropW(hwnd, L"DotwrightLayers");
  }
  if (!w || !panel) return DefWindowProcW(hwnd, message, wParam, lParam);
  if (PointerAsMouse(hwnd, message, lParam)) return 0;
  switch (message) {
    case WM_ERASEBKGND:
      return 1;
    case WM_PAINT:
      Paint(hwnd, *w, *panel);
      return 0;
    case kMsgRefreshPanel:
      Refresh(hwnd, *w, *panel);
      return 0;
    case kMsgSwatchClicked:
      OnSwatchClicked(hwnd, *w, *panel, reinterpret_cast<HWND>(wParam));
      return 0;
    case kMsgBarValue:
      if (static_cast<int>(wParam) == kOpacityBarId) {
        CurrentEntry(*w).opacity = static_cast<uint8_t>(lParam < 0 ? 0 : lParam > 255 ? 255 : lParam);
        TellMain(hwnd, kMsgLayerEntryChanged);
      }
      return 0;
    case WM_COMMAND:
      OnCommand(hwnd, *w, *panel, LOWORD(wParam), HIWORD(wParam));
      return 0;
    case WM_MEASUREITEM:
      MeasureBlendItem(*panel, *reinterpret_cast<MEASUREITEMSTRUCT*>(lParam));
      return TRUE;
    case WM_DRAWITEM:
      DrawBlendItem(*w, *reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
      return TRUE;
    case WM_LBUTTONDOWN:
      OnPress(hwnd, *w, *panel, MouseY(lParam));
      return 0;
    case WM_MOUSEMOVE:
      OnMove(hwnd, *panel, MouseY(lParam));
      return 0;
    case WM_LBUTTONUP:
      OnRelease(hwnd, *w, *panel);
      return 0;
    default:
      break;
  }
  return DefWindowProcW(hwnd, message, wParam, lParam);
}
