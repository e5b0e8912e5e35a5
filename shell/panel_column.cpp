#include "shell/panel_column.h"

#include <cwchar>
#include <string>

#include "shell/member_windows.h"
#include "shell/panel_common.h"
#include "shell/info_windows.h"
#include "shell/main_window.h"
#include "shell/pen_panels.h"
#include "app/private_messages.h"

namespace {

// The members' classes, in stacking order.
constexpr const wchar_t* kMemberClasses[kPanelMemberCount] = {
    L"BMP Window Class",    L"BMP Window Class",          L"Icon Window Class",  L"Icon Window 1 Class",
    L"Icon Window 2 Class", L"Icon Window 3 Class",       L"Pen Window Class",   L"Color Picker Window Class",
    L"Layer Window Class",  L"Pen List Window Class",     L"Tex Window Class",   L"Paper Tex Window Class",
};

// The icon strip's buttons and the commands they send: panels to the other side, separate
// windows on or off, hide the panels.
constexpr CommandId kStripCommands[kStripButtonCount] = {CMD_TOGGLE_PANEL_RIGHT, CMD_TOGGLE_SEPARATE_PANEL,
                                                         CMD_TOGGLE_PANEL};
constexpr int32_t kStripButtonSide = 24;  // at 100 %, 4 pixels apart, 4 from the strip's edges
constexpr int32_t kStripButtonStep = 28;

constexpr DWORD kColumnStyle = WS_CHILD | WS_CLIPCHILDREN | WS_CLIPSIBLINGS | WS_VSCROLL;
constexpr DWORD kMemberStyle = WS_CHILD | WS_CLIPCHILDREN | WS_CLIPSIBLINGS;
constexpr UINT kNoChange = SWP_NOACTIVATE | SWP_NOZORDER;

MainWindow* RootOwner(HWND hwnd) {
  return reinterpret_cast<MainWindow*>(GetWindowLongPtrW(GetAncestor(hwnd, GA_ROOT), GWLP_USERDATA));
}

int ScrollBarWidth() { return GetSystemMetrics(SM_CXVSCROLL); }

SIZE ClientSize(HWND hwnd) {
  RECT r{};
  GetClientRect(hwnd, &r);
  return {r.right, r.bottom};
}

void ChangeStyle(HWND hwnd, LONG_PTR add, LONG_PTR remove) {
  const LONG_PTR style = GetWindowLongPtrW(hwnd, GWL_STYLE);
  SetWindowLongPtrW(hwnd, GWL_STYLE, (style & ~remove) | add);
}

// The outer size of a client area of width x height with the window's current frame.
SIZE OuterSize(HWND hwnd, int width, int height) {
  RECT r{0, 0, width, height};
  AdjustWindowRectEx(&r, static_cast<DWORD>(GetWindowLongPtrW(hwnd, GWL_STYLE)), FALSE,
                     static_cast<DWORD>(GetWindowLongPtrW(hwnd, GWL_EXSTYLE)));
  return {r.right - r.left, r.bottom - r.top};
}

// What a caption and border add to a floating window's client area.
FrameExtra CaptionFrame() {
  RECT r{0, 0, 100, 100};
  AdjustWindowRectEx(&r, WS_CHILD | WS_CAPTION, FALSE, 0);
  return {r.right - r.left - 100, r.bottom - r.top - 100};
}

std::wstring Wide(const std::u16string& text) { return std::wstring(text.begin(), text.end()); }

// A floating window's caption: the text of the menu item that shows it.
std::wstring MenuCaption(const MainWindow& w, UINT command) {
  wchar_t text[260] = {};
  if (!w.menus.bar || GetMenuStringW(w.menus.bar, command, text, 260, MF_BYCOMMAND) <= 0) return L"";
  const std::u16string caption = CaptionOfMenuText(std::u16string(text, text + wcslen(text)));
  return Wide(caption);
}

// The column frame's caption: the title of the menu that holds the panel commands.
std::wstring WindowMenuCaption(const MainWindow& w) {
  HMENU bar = w.menus.bar;
  const int count = bar ? GetMenuItemCount(bar) : 0;
  for (int i = 0; i < count; ++i) {
    HMENU popup = GetSubMenu(bar, i);
    if (!popup || GetMenuState(popup, CMD_TOGGLE_SEPARATE_PANEL, MF_BYCOMMAND) == static_cast<UINT>(-1)) continue;
    wchar_t text[260] = {};
    if (GetMenuStringW(bar, static_cast<UINT>(i), text, 260, MF_BYPOSITION) <= 0) break;
    return Wide(CaptionOfMenuText(std::u16string(text, text + wcslen(text))));
  }
  return L"Dotwright";
}

void SetTextIfChanged(HWND hwnd, const std::wstring& text) {
  wchar_t now[260] = {};
  GetWindowTextW(hwnd, now, 260);
  if (text != now) SetWindowTextW(hwnd, text.c_str());
}

void RetitleFloating(MainWindow& w) {
  PanelWindows& p = w.panels;
  SetTextIfChanged(p.column, WindowMenuCaption(w));
  for (int k = 0; k < kPanelMemberCount; ++k)
    if (p.members[k]) SetTextIfChanged(p.members[k], MenuCaption(w, kPanelMembers[k].toggle));
}

// The icon strip's buttons, at the top of the column's client area (scrolled with it while
// docked).
void PlaceStrip(const PanelWindows& p, int32_t offset) {
  const int32_t side = Scaled(kStripButtonSide, p.scale);
  for (int i = 0; i < kStripButtonCount; ++i)
    SetWindowPos(p.strip[i], nullptr, Scaled(4 + kStripButtonStep * i, p.scale), Scaled(4, p.scale) - offset, side,
                 side, kNoChange);
}

// The docked column: members stacked from the strip down, shifted by the scroll offset, which
// is kept within the range; the scroll bar shows the range.
void Restack(MainWindow& w) {
  PanelWindows& p = w.panels;
  if (!p.column || p.floating) return;
  const AppSettings& s = w.app.settings;
  const int32_t page = ClientSize(p.column).cy;
  p.offset = ClampColumnOffset(p.offset, StackColumn(s, p.scale, p.contents, 0).contentHeight, page);
  const ColumnStack stack = StackColumn(s, p.scale, p.contents, p.offset);
  for (int k = 0; k < kPanelMemberCount; ++k) {
    HWND m = p.members[k];
    if (!m) continue;
    if (!stack.shown[k]) {
      ShowWindow(m, SW_HIDE);
      continue;
    }
    const WindowBox& b = stack.boxes[k];
    SetWindowPos(m, nullptr, b.x, b.y, b.width, b.height, kNoChange | SWP_SHOWWINDOW);
  }
  PlaceStrip(p, p.offset);
  SCROLLINFO si{};
  si.cbSize = sizeof si;
  si.fMask = SIF_ALL | SIF_DISABLENOSCROLL;
  si.nMin = 0;
  si.nMax = stack.contentHeight - 1;
  si.nPage = static_cast<UINT>(page > 0 ? page : 0);
  si.nPos = p.offset;
  SetScrollInfo(p.column, SB_VERT, &si, TRUE);
  InvalidateRect(p.column, nullptr, FALSE);
}

void ScrollColumnTo(MainWindow& w, ColumnScroll how, int32_t position) {
  PanelWindows& p = w.panels;
  const int32_t content = StackColumn(w.app.settings, p.scale, p.contents, 0).contentHeight;
  const int32_t offset = ScrollColumn(p.offset, how, position, content, ClientSize(p.column).cy, p.scale);
  if (offset == p.offset) return;
  p.offset = offset;
  Restack(w);
}

// A floating window at its stored position, kept where its caption can be reached, with the
// client size it had in the column.
void PlaceFloating(MainWindow& w, HWND hwnd, int window, int width, int height, bool shown) {
  const SIZE client = ClientSize(w.window);
  const SIZE outer = OuterSize(hwnd, width, height);
  const FloatingPosition at = ReachableFloatingPosition(FloatingPositionOf(w.app.settings, window), outer.cx,
                                                        GetSystemMetrics(SM_CYCAPTION), client.cx, client.cy);
  SetWindowPos(hwnd, HWND_TOP, at.x, at.y, outer.cx, outer.cy,
               SWP_NOACTIVATE | SWP_FRAMECHANGED | (shown ? SWP_SHOWWINDOW : SWP_HIDEWINDOW));
}

// Separate panels: the column becomes a captioned frame around its icon strip and every member
// a captioned child of the main window, each at its floating position.
void ApplyFloating(MainWindow& w) {
  PanelWindows& p = w.panels;
  AppSettings& s = w.app.settings;
  const SIZE client = ClientSize(w.window);
  if (!FloatingPositionsStored(s))
    SpreadFloatingPositions(s, p.scale, p.contents, client.cx, client.cy, ScrollBarWidth(), CaptionFrame());
  p.floating = true;
  ChangeStyle(p.column, WS_CAPTION, WS_VSCROLL);
  const int32_t width = Scaled(kColumnWidth, p.scale);
  PlaceFloating(w, p.column, 0, width, Scaled(kColumnStripHeight, p.scale), !s.hide_panel);
  PlaceStrip(p, 0);
  for (int k = 0; k < kPanelMemberCount; ++k) {
    HWND m = p.members[k];
    if (!m) continue;
    const auto member = static_cast<PanelMember>(k);
    SetParent(m, w.window);
    ChangeStyle(m, WS_CAPTION, 0);
    PlaceFloating(w, m, 1 + k, width, PanelMemberHeight(member, p.scale, p.contents),
                  PanelMemberShown(s, member, p.contents));
  }
  RetitleFloating(w);
  LayOutMainWindow(w);
}

// Docked again: positions stored, captions gone, the scroll bar back, members in the column.
void ApplyDocked(MainWindow& w) {
  PanelWindows& p = w.panels;
  StoreFloatingPanelPositions(w);
  p.floating = false;
  ChangeStyle(p.column, WS_VSCROLL, WS_CAPTION);
  SetWindowPos(p.column, nullptr, 0, 0, 0, 0, kNoChange | SWP_NOMOVE | SWP_NOSIZE | SWP_FRAMECHANGED);
  for (HWND m : p.members) {
    if (!m) continue;
    ChangeStyle(m, 0, WS_CAPTION);
    SetParent(m, p.column);
    SetWindowPos(m, nullptr, 0, 0, 0, 0, kNoChange | SWP_NOMOVE | SWP_NOSIZE | SWP_FRAMECHANGED);
  }
  LayOutMainWindow(w);
}

void ApplyTranslucency(MainWindow& w) {
  const WindowAlpha a = TranslucencyAlpha(w.app.translucent, w.app.settings.WindowOpacity);
  const LONG_PTR style = GetWindowLongPtrW(w.window, GWL_EXSTYLE);
  if (a.layered) {
    SetWindowLongPtrW(w.window, GWL_EXSTYLE, style | WS_EX_LAYERED);
    SetLayeredWindowAttributes(w.window, 0, a.alpha, LWA_ALPHA);
  } else {
    SetLayeredWindowAttributes(w.window, 0, 255, LWA_ALPHA);
    SetWindowLongPtrW(w.window, GWL_EXSTYLE, style & ~static_cast<LONG_PTR>(WS_EX_LAYERED));
    RedrawWindow(w.window, nullptr, nullptr, RDW_ERASE | RDW_INVALIDATE | RDW_FRAME | RDW_ALLCHILDREN);
  }
}

HWND CreateChild(const wchar_t* cls, DWORD style, int width, int height, HWND parent, UINT_PTR id,
                 const PanelCreation* creation) {
  return CreateWindowExW(0, cls, L"", style, 0, 0, width, height, parent, reinterpret_cast<HMENU>(id),
                         GetModuleHandleW(nullptr), const_cast<PanelCreation*>(creation));
}

// Strip button icons, drawn in a square of side pixels at (x, y).
void DrawStripIcon(HDC dc, int command, int x, int y, int side, const AppSettings& s) {
  const COLORREF ink = RGB(64, 64, 64);
  const int u = side / 8;  // one eighth of the icon
  SetDCPenColor(dc, ink);
  const HGDIOBJ oldPen = SelectObject(dc, GetStockObject(DC_PEN));
  switch (command) {
    case CMD_TOGGLE_PANEL_RIGHT: {
      // A window with its panel column on the side where it is now and an arrow to the other.
      const bool right = s.view_panel_right != 0;
      FrameBox(dc, x + u, y + 2 * u, x + 7 * u, y + 6 * u, ink);
      const int bar = right ? x + 5 * u : x + u;
      FillBox(dc, bar, y + 2 * u, bar + 2 * u, y + 6 * u, ink);
      const int tip = right ? x + 2 * u : x + 6 * u, back = right ? u : -u;
      MoveToEx(dc, x + 4 * u, y + 4 * u, nullptr);
      LineTo(dc, tip, y + 4 * u);
      MoveToEx(dc, tip + back, y + 3 * u, nullptr);
      LineTo(dc, tip, y + 4 * u);
      LineTo(dc, tip + back, y + 5 * u);
      break;
    }
    case CMD_TOGGLE_SEPARATE_PANEL:
      // Two overlapping windows with captions.
      FillBox(dc, x + u, y + u, x + 5 * u, y + 5 * u, RGB(255, 255, 255));
      FrameBox(dc, x + u, y + u, x + 5 * u, y + 5 * u, ink);
      FillBox(dc, x + u, y + u, x + 5 * u, y + 2 * u, ink);
      FillBox(dc, x + 3 * u, y + 3 * u, x + 7 * u, y + 7 * u, RGB(255, 255, 255));
      FrameBox(dc, x + 3 * u, y + 3 * u, x + 7 * u, y + 7 * u, ink);
      FillBox(dc, x + 3 * u, y + 3 * u, x + 7 * u, y + 4 * u, ink);
      break;
    default:
      // Hide: a cross.
      MoveToEx(dc, x + 2 * u, y + 2 * u, nullptr);
      LineTo(dc, x + 6 * u, y + 6 * u);
      MoveToEx(dc, x + 6 * u, y + 2 * u, nullptr);
      LineTo(dc, x + 2 * u, y + 6 * u);
      break;
  }
  SelectObject(dc, oldPen);
}

void PaintStripButton(HWND hwnd) {
  PanelPainter paint(hwnd);
  const bool pressed = GetWindowLongPtrW(hwnd, GWLP_USERDATA) != 0;
  RECT r{0, 0, paint.width, paint.height};
  FillBox(paint.dc, 0, 0, paint.width, paint.height, kPanelBackground);
  DrawEdge(paint.dc, &r, pressed ? EDGE_SUNKEN : EDGE_RAISED, BF_RECT);
  const MainWindow* w = RootOwner(hwnd);
  if (!w) return;
  const int shift = pressed ? 1 : 0;
  DrawStripIcon(paint.dc, GetDlgCtrlID(hwnd), shift, shift, paint.width, w->app.settings);
}

}  // namespace

PanelWindows::~PanelWindows() {
  if (font) DeleteObject(font);
}

bool CreatePanelWindows(MainWindow& w) {
  PanelWindows& p = w.panels;
  AppSettings& s = w.app.settings;
  p.scale = UiScaleFactor(s.UIScaling);
  p.contents.textureItems = static_cast<int32_t>(w.menus.items.textures.size());
  p.contents.materialItems = static_cast<int32_t>(w.menus.items.materials.size());
  p.font = CreateFontW(Scaled(11, p.scale), 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                       OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH, L"MS UI Gothic");

  const int32_t width = Scaled(kColumnWidth, p.scale);
  const SIZE client = ClientSize(w.window);
  const PanelCreation column{&w, PanelMember::kTabInfo};
  p.column = CreateChild(L"Panel Window Class", kColumnStyle, width + ScrollBarWidth(), client.cy, w.window, 1, &column);
  if (!p.column) return false;
  for (int i = 0; i < kStripButtonCount; ++i)
    p.strip[i] = CreateChild(L"Panel Icon Class", WS_CHILD | WS_VISIBLE, 1, 1, p.column, kStripCommands[i], nullptr);

  for (int k = 0; k < kPanelMemberCount; ++k) {
    const auto member = static_cast<PanelMember>(k);
    if (!PanelMemberExists(member, p.contents)) continue;
    const PanelCreation creation{&w, member};
    p.members[k] = CreateChild(kMemberClasses[k], kMemberStyle, width, PanelMemberHeight(member, p.scale, p.contents),
                               p.column, kFirstMemberId + k, &creation);
  }
  w.app.step.messages.sampleChanged = [](void* context) { RefreshPenPanels(*static_cast<MainWindow*>(context)); };
  LayOutMainWindow(w);
  return true;
}

void FinishPanelStartUp(MainWindow& w) {
  int32_t commands[2];
  const int count = StartUpPanelCommands(w.app.settings, commands);
  for (int i = 0; i < count; ++i) PostMessageW(w.window, WM_COMMAND, static_cast<WPARAM>(commands[i]), 0);
  RefreshPenPanels(w);
}

void LayOutMainWindow(MainWindow& w) {
  PanelWindows& p = w.panels;
  const SIZE client = ClientSize(w.window);
  const MainLayout l = ComputeMainLayout(w.app.settings, p.scale, client.cx, client.cy, ScrollBarWidth());
  if (p.column) {
    if (!p.floating) {
      const WindowBox& c = l.column;
      SetWindowPos(p.column, nullptr, c.x, c.y, c.width, c.height, kNoChange);
    }
    ShowWindow(p.column, l.showColumn ? SW_SHOWNA : SW_HIDE);
  }
  if (w.view) SetWindowPos(w.view, HWND_BOTTOM, l.view.x, l.view.y, l.view.width, l.view.height, SWP_NOACTIVATE);
  Restack(w);
  PlaceEasyPanel(w);
}

bool RunPanelCommand(MainWindow& w, int32_t command) {
  const WindowCommand c = ClassifyWindowCommand(command);
  PanelWindows& p = w.panels;
  switch (c.kind) {
    case WindowCommandKind::kNone:
      return false;
    case WindowCommandKind::kTranslucent:
      w.app.translucent = !w.app.translucent;
      ApplyTranslucency(w);
      return true;
    case WindowCommandKind::kSeparate:
      if (!p.column) return true;
      if (FlipWindowSetting(w.app.settings, command)) ApplyFloating(w);
      else ApplyDocked(w);
      break;
    case WindowCommandKind::kMember:
      FlipWindowSetting(w.app.settings, command);
      if (p.floating) {
        // The floating arrangement is made again, with the member shown or hidden.
        StoreFloatingPanelPositions(w);
        ApplyFloating(w);
      } else {
        LayOutMainWindow(w);
      }
      if (HWND m = p.members[static_cast<int>(c.member)]) InvalidateRect(m, nullptr, FALSE);
      break;
    default:  // the easy panel, hide and right: the layout follows the flipped setting
      FlipWindowSetting(w.app.settings, command);
      LayOutMainWindow(w);
      break;
  }
  for (HWND b : p.strip)
    if (b) InvalidateRect(b, nullptr, FALSE);
  RefreshPenPanels(w);
  return true;
}

void StoreFloatingPanelPositions(MainWindow& w) {
  PanelWindows& p = w.panels;
  if (!p.floating || !p.column) return;
  const auto store = [&](HWND hwnd, int window) {
    RECT r{};
    GetWindowRect(hwnd, &r);
    POINT corner{r.left, r.top};
    ScreenToClient(w.window, &corner);
    StoreFloatingPosition(w.app.settings, window, {corner.x, corner.y});
  };
  store(p.column, 0);
  for (int k = 0; k < kPanelMemberCount; ++k)
    if (p.members[k]) store(p.members[k], 1 + k);
}

bool ScrollColumnByWheel(MainWindow& w, int delta) {
  PanelWindows& p = w.panels;
  if (!p.column || p.floating || !IsWindowVisible(p.column)) return false;
  POINT cursor{};
  GetCursorPos(&cursor);
  RECT r{};
  GetWindowRect(p.column, &r);
  if (!PtInRect(&r, cursor)) return false;
  const int32_t step = MulDiv(delta, Scaled(3 * kColumnLine, p.scale), WHEEL_DELTA);
  ScrollColumnTo(w, ColumnScroll::kTo, p.offset - step);
  return true;
}

void RefreshPanelsAfterCommand(MainWindow& w, const CommandOutcome& outcome) {
  PanelWindows& p = w.panels;
  for (int k = static_cast<int>(PanelMember::kIcon0); k < kPanelMemberCount; ++k)
    if (p.members[k]) InvalidateRect(p.members[k], nullptr, FALSE);
  if (p.floating) RetitleFloating(w);
  if (outcome.view) RefreshPenPanels(w);
  if (outcome.pen) TellPenPanels(w);
  else if (HWND pen = p.members[static_cast<int>(PanelMember::kPenSetting)]) SendMessageW(pen, kMsgRefreshPanel, 0, 0);
}

LRESULT CALLBACK PanelColumnProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  MainWindow* w = BindPanelOwner(hwnd, message, lParam);
  if (!w) return DefWindowProcW(hwnd, message, wParam, lParam);
  switch (message) {
    case WM_ERASEBKGND:
      return 1;
    case WM_PAINT: {
      PanelPainter paint(hwnd);
      FillBox(paint.dc, 0, 0, paint.width, paint.height, kPanelBackground);
      const int32_t strip = Scaled(kColumnStripHeight, w->panels.scale) - (w->panels.floating ? 0 : w->panels.offset);
      FillBox(paint.dc, 0, strip - 1, paint.width, strip, RGB(200, 200, 200));
      return 0;
    }
    case WM_SIZE:
      if (w->panels.column == hwnd) Restack(*w);
      return 0;
    case WM_VSCROLL: {
      SCROLLINFO si{};
      si.cbSize = sizeof si;
      si.fMask = SIF_TRACKPOS;
      GetScrollInfo(hwnd, SB_VERT, &si);
      switch (LOWORD(wParam)) {
        case SB_LINEUP: ScrollColumnTo(*w, ColumnScroll::kLineUp, 0); break;
        case SB_LINEDOWN: ScrollColumnTo(*w, ColumnScroll::kLineDown, 0); break;
        case SB_PAGEUP: ScrollColumnTo(*w, ColumnScroll::kPageUp, 0); break;
        case SB_PAGEDOWN: ScrollColumnTo(*w, ColumnScroll::kPageDown, 0); break;
        case SB_TOP: ScrollColumnTo(*w, ColumnScroll::kTop, 0); break;
        case SB_BOTTOM: ScrollColumnTo(*w, ColumnScroll::kBottom, 0); break;
        case SB_THUMBTRACK:
        case SB_THUMBPOSITION: ScrollColumnTo(*w, ColumnScroll::kTo, si.nTrackPos); break;
        default: break;
      }
      return 0;
    }
    case WM_MOUSEWHEEL:
      ScrollColumnByWheel(*w, GET_WHEEL_DELTA_WPARAM(wParam));
      return 0;
    default:
      break;
  }
  return DefWindowProcW(hwnd, message, wParam, lParam);
}

LRESULT CALLBACK PanelIconProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_ERASEBKGND:
      return 1;
    case WM_PAINT:
      PaintStripButton(hwnd);
      return 0;
    case WM_LBUTTONDOWN:
      SetCapture(hwnd);
      SetWindowLongPtrW(hwnd, GWLP_USERDATA, 1);
      InvalidateRect(hwnd, nullptr, FALSE);
      return 0;
    case WM_LBUTTONUP: {
      const bool pressed = GetWindowLongPtrW(hwnd, GWLP_USERDATA) != 0;
      SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
      ReleaseCapture();
      InvalidateRect(hwnd, nullptr, FALSE);
      RECT r{};
      GetClientRect(hwnd, &r);
      const POINT at{MouseX(lParam), MouseY(lParam)};
      // Posted: the command moves this button's window about.
      if (pressed && PtInRect(&r, at))
        PostMessageW(GetAncestor(hwnd, GA_ROOT), WM_COMMAND, static_cast<WPARAM>(GetDlgCtrlID(hwnd)), 0);
      return 0;
    }
    default:
      break;
  }
  return DefWindowProcW(hwnd, message, wParam, lParam);
}
