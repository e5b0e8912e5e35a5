// The pen window ("Pen Window Class"): edits the current pen in place: its name, its kind, its
// size and hardness on two bars, and whether it keeps a layer of its own, which one, shown by a
// swatch of that layer's colour. Changes go to the main window as private messages. The name
// box switches the main window's shortcut keys off while it has the keyboard, so that typed
// letters land in the name.
#include <windows.h>

#include <commctrl.h>

#include <algorithm>
#include <new>
#include <string>

#include "app/language_menu.h"
#include "app/pen_panels.h"
#include "app/private_messages.h"
#include "shell/bar_control.h"
#include "shell/main_window.h"
#include "shell/member_windows.h"
#include "shell/panel_common.h"
#include "shell/pen_panels.h"

namespace {

enum ControlId : int { kSizeBar = 1, kHardnessBar = 2, kLayerList = 3, kKindList = 4, kNameBox = 5, kOwnLayer = 7 };

struct PenPanel {
  MainWindow* w = nullptr;
  PenSetting* pen = nullptr;  // the current preset, edited in place
  float s = 1;
  int dx = 0;                 // how far the controls stand right of 24 s, for wide labels
  HWND name = nullptr, kind = nullptr, size = nullptr, hardness = nullptr, own = nullptr, layers = nullptr;
  HBRUSH background = nullptr;
  int32_t kindLanguage = -2;  // the language the kind list's names come from
  bool loading = false;       // the controls are being set from the pen: no change to report
};

PenPanel* PanelOf(HWND hwnd) { return reinterpret_cast<PenPanel*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA)); }

int S(const PenPanel& p, int v) { return Scaled(v, p.s); }

constexpr int kLabelY[5] = {5, 23, 43, 59, 75};
constexpr const wchar_t* kLabelFallback[5] = {L"Name", L"Kind", L"Size", L"Hard", L"Layer"};

std::wstring Label(PenPanel& p, int i) { return PanelString(*p.w, 10 + i, kLabelFallback[i]); }

// The controls of the first four rows start at 24 s, or further right (up to 12 s) where one
// of their labels needs the room.
int LabelShift(HWND hwnd, PenPanel& p) {
  HDC dc = GetDC(hwnd);
  const HGDIOBJ old = SelectObject(dc, PanelFont(*p.w));
  int widest = 0;
  for (int i = 0; i < 4; ++i) {
    const std::wstring label = Label(p, i);
    SIZE size{};
    GetTextExtentPoint32W(dc, label.c_str(), static_cast<int>(label.size()), &size);
    widest = std::max(widest, static_cast<int>(size.cx));
  }
  SelectObject(dc, old);
  ReleaseDC(hwnd, dc);
  return std::clamp(S(p, 1) + widest + S(p, 2) - S(p, 24), 0, S(p, 12));
}

void Place(PenPanel& p) {
  const int x = S(p, 24) + p.dx, right = S(p, 125);
  MoveWindow(p.name, x, S(p, 2), right - x, S(p, 16), TRUE);
  SetWindowPos(p.kind, nullptr, x, S(p, 20), right - x, S(p, 320), SWP_NOZORDER | SWP_NOACTIVATE);
  MoveWindow(p.size, x, S(p, 42), right - x, S(p, 13), TRUE);
  MoveWindow(p.hardness, x, S(p, 57), right - x, S(p, 13), TRUE);
  // The layer row has room for its label at 40 s and keeps its places.
  MoveWindow(p.own, S(p, 40), S(p, 72), S(p, 16), S(p, 16), TRUE);
  SetWindowPos(p.layers, nullptr, S(p, 76), S(p, 72), right - S(p, 76), S(p, 256), SWP_NOZORDER | SWP_NOACTIVATE);
}

void FillKinds(PenPanel& p) {
  if (p.kindLanguage == p.w->app.currentLanguage) return;
  p.kindLanguage = p.w->app.currentLanguage;
  SendMessageW(p.kind, CB_RESETCONTENT, 0, 0);
  for (int k = 0; k < kPenKindCount; ++k) {
    const std::wstring name = PanelString(*p.w, kStringFirstPenKind + static_cast<UINT>(k), std::to_wstring(k).c_str());
    SendMessageW(p.kind, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name.c_str()));
  }
  SendMessageW(p.kind, CB_SETDROPPEDWIDTH, static_cast<WPARAM>(S(p, 170)), 0);
}

void SelectIfChanged(HWND list, int index) {
  if (static_cast<int>(SendMessageW(list, CB_GETCURSEL, 0, 0)) != index)
    SendMessageW(list, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
}

// The layer part: the own-layer box, and while it is on the swatch and the layer list.
void Refresh(HWND hwnd, PenPanel& p) {
  if (!p.pen) return;
  p.loading = true;
  FillKinds(p);
  const bool own = p.pen->EnablePalette == 1;
  InvalidateRect(p.own, nullptr, FALSE);
  ShowWindow(p.layers, own ? SW_SHOWNA : SW_HIDE);
  SelectIfChanged(p.layers, std::clamp(p.pen->Palette, 0, kLayerCount - 1));
  SelectIfChanged(p.kind, p.pen->KindOfPen >= 0 && p.pen->KindOfPen < kPenKindCount ? p.pen->KindOfPen : -1);
  InvalidateRect(p.layers, nullptr, FALSE);
  p.loading = false;
  InvalidateRect(hwnd, nullptr, FALSE);
  SendMessageW(GetAncestor(hwnd, GA_ROOT), kMsgPenLayerChanged, 0, 0);
}

// Every control from the pen; a control already showing its value is left alone.
void Load(HWND hwnd, PenPanel& p) {
  if (!p.pen) return;
  p.loading = true;
  FillKinds(p);
  const std::wstring name = WideText(p.pen->Name, kPenNameUnits);
  wchar_t shown[kPenNameUnits + 1] = {};
  GetWindowTextW(p.name, shown, kPenNameUnits + 1);
  if (name != shown) SetWindowTextW(p.name, name.c_str());
  SetBarValue(p.size, p.pen->Size);
  SetBarValue(p.hardness, p.pen->Hardness);
  p.loading = false;
  Refresh(hwnd, p);
}

// Enter or Escape in the name box gives the keyboard back to the main window.
LRESULT CALLBACK NameBoxProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR) {
  if ((message == WM_KEYDOWN || message == WM_CHAR) && (wParam == VK_RETURN || wParam == VK_ESCAPE)) {
    if (message == WM_KEYDOWN) SetFocus(GetAncestor(hwnd, GA_ROOT));
    return 0;
  }
  return DefSubclassProc(hwnd, message, wParam, lParam);
}

HWND Control(HWND parent, const wchar_t* cls, DWORD style, int id, HFONT font) {
  HWND c = CreateWindowExW(0, cls, L"", WS_CHILD | WS_VISIBLE | style, 0, 0, 10, 10, parent,
                           reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleW(nullptr), nullptr);
  if (c) SendMessageW(c, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
  return c;
}

bool OnCreate(HWND hwnd, PenPanel& p) {
  RECT client{};
  GetClientRect(hwnd, &client);
  p.s = PanelScaleOfWidth(client.right);
  p.pen = &p.w->app.settings.pens[std::clamp(p.w->app.settings.numPenSetting, 0, kPenCount - 1)];
  p.background = CreateSolidBrush(kPanelBackground);
  p.dx = LabelShift(hwnd, p);
  const HFONT font = PanelFont(*p.w);
  p.name = Control(hwnd, L"Edit", WS_BORDER | ES_AUTOHSCROLL, kNameBox, font);
  p.kind = Control(hwnd, L"ComboBox", CBS_DROPDOWNLIST | WS_VSCROLL, kKindList, font);
  p.own = Control(hwnd, L"Button", BS_OWNERDRAW, kOwnLayer, font);
  p.layers = Control(hwnd, L"ComboBox", CBS_DROPDOWNLIST | CBS_OWNERDRAWFIXED | CBS_HASSTRINGS | WS_VSCROLL,
                     kLayerList, font);
  const int x = S(p, 24) + p.dx, width = S(p, 125) - x;
  p.size = CreateBar(hwnd, kSizeBar, x, S(p, 42), width, S(p, 13));
  p.hardness = CreateBar(hwnd, kHardnessBar, x, S(p, 57), width, S(p, 13));
  if (!p.name || !p.kind || !p.own || !p.layers || !p.size || !p.hardness) return false;
  SendMessageW(p.name, EM_LIMITTEXT, kPenNameMaxLength, 0);
  SetWindowSubclass(p.name, NameBoxProc, 1, 0);
  SetBarLogarithmic(p.size, true);
  SetBarMaximum(p.size, kMaxPenSize);
  SetBarMaximum(p.hardness, 100);
  for (int k = 0; k < kLayerCount; ++k) {
    const std::wstring text = std::to_wstring(k);
    SendMessageW(p.layers, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
  }
  Place(p);
  Load(hwnd, p);
  return true;
}

void Paint(HWND hwnd, PenPanel& p) {
  PanelPainter paint(hwnd);
  FillBox(paint.dc, 0, 0, paint.width, paint.height, kPanelBackground);
  for (int i = 0; i < 5; ++i) {
    const int right = i < 4 ? S(p, 24) + p.dx - S(p, 1) : S(p, 40) - S(p, 1);
    DrawPanelText(paint.dc, PanelFont(*p.w), S(p, 1), S(p, kLabelY[i]), right, Label(p, i));
  }
  if (p.pen && p.pen->EnablePalette == 1)
    DrawSwatch(paint.dc, S(p, 56), S(p, 72), S(p, 16), LayerColourOf(*p.w, std::clamp(p.pen->Palette, 0, 7)));
}

void DrawLayerItem(const PenPanel& p, const DRAWITEMSTRUCT& item) {
  if (item.itemID == static_cast<UINT>(-1)) return;
  HDC dc = item.hDC;
  const RECT& r = item.rcItem;
  const bool selected = (item.itemState & ODS_SELECTED) != 0;
  FillBox(dc, r.left, r.top, r.right, r.bottom, GetSysColor(selected ? COLOR_HIGHLIGHT : COLOR_WINDOW));
  const int side = std::min(S(p, 16), static_cast<int>(r.bottom - r.top) - 2);
  const int top = r.top + (r.bottom - r.top - side) / 2;
  DrawSwatch(dc, r.left + 1, top, side, LayerColourOf(*p.w, static_cast<int>(item.itemID)));
  SetBkMode(dc, TRANSPARENT);
  DrawPanelText(dc, PanelFont(*p.w), r.left + side + S(p, 4), r.top + 1, r.right, std::to_wstring(item.itemID),
                GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT));
}

// The own-layer box, drawn at every scale as the panels draw their boxes: a tick while on.
void DrawOwnLayerBox(const PenPanel& p, const DRAWITEMSTRUCT& item) {
  HDC dc = item.hDC;
  const RECT& r = item.rcItem;
  FillBox(dc, r.left, r.top, r.right, r.bottom, RGB(255, 255, 255));
  FrameBox(dc, r.left, r.top, r.right, r.bottom, RGB(128, 128, 128));
  if (!p.pen || p.pen->EnablePalette != 1) return;
  const int u = static_cast<int>(r.right - r.left) / 8;
  const POINT tick[3] = {{r.left + 2 * u, r.top + 4 * u}, {r.left + 3 * u + u / 2, r.top + 6 * u},
                         {r.left + 6 * u, r.top + 2 * u}};
  const HPEN pen = CreatePen(PS_SOLID, std::max(1, u), RGB(32, 32, 32));
  const HGDIOBJ old = SelectObject(dc, pen);
  Polyline(dc, tick, 3);
  SelectObject(dc, old);
  DeleteObject(pen);
}

void OnCommand(HWND hwnd, PenPanel& p, int id, int code) {
  HWND root = GetAncestor(hwnd, GA_ROOT);
  if (!p.pen) return;
  switch (id) {
    case kNameBox:
      if (code == EN_SETFOCUS && p.w->block) p.w->block->acceleratorsEnabled = 0;
      if (code == EN_KILLFOCUS && p.w->block) p.w->block->acceleratorsEnabled = 1;
      if (code == EN_CHANGE && !p.loading) {
        wchar_t text[kPenNameUnits + 1] = {};
        GetWindowTextW(p.name, text, kPenNameUnits + 1);
        SetPenName(*p.pen, reinterpret_cast<const char16_t*>(text));
        // The pen list and the icon windows show the name.
        for (PanelMember m : {PanelMember::kPenList, PanelMember::kIcon0, PanelMember::kIcon1, PanelMember::kIcon2,
                              PanelMember::kIcon3})
          if (HWND shown = p.w->panels.members[static_cast<int>(m)]) InvalidateRect(shown, nullptr, FALSE);
      }
      return;
    case kKindList:
      if (code == CBN_SELCHANGE && !p.loading) {
        const int kind = static_cast<int>(SendMessageW(p.kind, CB_GETCURSEL, 0, 0));
        if (kind >= 0 && kind < kPenKindCount) p.pen->KindOfPen = kind;
        SendMessageW(root, kMsgPenKindChanged, 0, 0);
      }
      if (code == CBN_CLOSEUP) SetFocus(root);
      return;
    case kLayerList:
      if (code == CBN_SELCHANGE && !p.loading) {
        const int layer = static_cast<int>(SendMessageW(p.layers, CB_GETCURSEL, 0, 0));
        if (layer >= 0 && layer < kLayerCount) p.pen->Palette = layer;
        Refresh(hwnd, p);
      }
      if (code == CBN_CLOSEUP) SetFocus(root);
      return;
    case kOwnLayer:
      if (code == BN_CLICKED && !p.loading) {
        p.pen->EnablePalette = p.pen->EnablePalette == 1 ? 0 : 1;
        Refresh(hwnd, p);
        SetFocus(root);
      }
      return;
    default:
      return;
  }
}

}  // namespace

LRESULT CALLBACK PenWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    const auto* c = static_cast<const PanelCreation*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
    auto* p = c && c->owner ? new (std::nothrow) PenPanel : nullptr;
    if (!p) return FALSE;
    p->w = c->owner;
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(p));
  }
  PenPanel* p = PanelOf(hwnd);
  if (!p) return DefWindowProcW(hwnd, message, wParam, lParam);
  switch (message) {
    case WM_CREATE:
      return OnCreate(hwnd, *p) ? 0 : -1;
    case WM_ERASEBKGND:
      return 1;
    case WM_PAINT:
      Paint(hwnd, *p);
      return 0;
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
      SetBkColor(reinterpret_cast<HDC>(wParam), kPanelBackground);
      return reinterpret_cast<LRESULT>(p->background);
    case WM_MEASUREITEM: {
      auto* item = reinterpret_cast<MEASUREITEMSTRUCT*>(lParam);
      if (item->CtlType == ODT_COMBOBOX) item->itemHeight = static_cast<UINT>(S(*p, 14));
      return TRUE;
    }
    case WM_DRAWITEM: {
      const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
      if (item->CtlID == kLayerList) DrawLayerItem(*p, *item);
      if (item->CtlID == kOwnLayer) DrawOwnLayerBox(*p, *item);
      return TRUE;
    }
    case WM_COMMAND:
      OnCommand(hwnd, *p, LOWORD(wParam), HIWORD(wParam));
      return 0;
    case kMsgCurrentPenRecord:
      if (wParam) p->pen = reinterpret_cast<PenSetting*>(wParam);
      Load(hwnd, *p);
      return 0;
    case kMsgRefreshPanel:  // also a bar's drag ending
      Refresh(hwnd, *p);
      return 0;
    case kMsgBarValue:
      if (wParam == kSizeBar || wParam == kHardnessBar)
        SendMessageW(GetAncestor(hwnd, GA_ROOT), kMsgSetPenSizeOrHardness, wParam, lParam);
      return 0;
    case WM_NCDESTROY:
      if (p->name) RemoveWindowSubclass(p->name, NameBoxProc, 1);
      if (p->background) DeleteObject(p->background);
      delete p;
      SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
      break;
    default:
      break;
  }
  return DefWindowProcW(hwnd, message, wParam, lParam);
}
