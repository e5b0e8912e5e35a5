#include "shell/pen_panels.h"

#include <algorithm>
#include <cwchar>
#include <string>

#include "app/pen_panels.h"
#include "app/private_messages.h"
#include "app/view_commands_run.h"
#include "settings/command_ids.h"
#include "shell/main_window.h"
#include "shell/pen_setting_dialog.h"
#include "shell/panel_column.h"

namespace {

HWND Member(const MainWindow& w, PanelMember m) { return w.panels.members[static_cast<int>(m)]; }

void Send(HWND hwnd, UINT message, WPARAM wParam = 0, LPARAM lParam = 0) {
  if (hwnd) SendMessageW(hwnd, message, wParam, lParam);
}

// The windows that show pen icons.
void TellIconHolders(MainWindow& w, UINT message) {
  Send(Member(w, PanelMember::kPenList), message);
  Send(w.penSelector, message);
  Send(w.easyPanel, message);
}

// The easy panel's caption: the text of the menu item that shows it.
std::wstring EasyPanelCaption(const MainWindow& w) {
  wchar_t text[260] = {};
  if (!w.menus.bar || GetMenuStringW(w.menus.bar, CMD_TOGGLE_WINDOW_EASY_PANEL, text, 260, MF_BYCOMMAND) <= 0)
    return L"Easy Panel";
  const std::u16string caption = CaptionOfMenuText(std::u16string(text, text + wcslen(text)));
  return std::wstring(caption.begin(), caption.end());
}

HWND CreatePopup(MainWindow& w, const wchar_t* cls, DWORD style, const PenGrid& grid) {
  RECT outer{0, 0, PenGridWidth(grid), PenGridHeight(grid)};
  AdjustWindowRectEx(&outer, style, FALSE, 0);
  return CreateWindowExW(0, cls, L"", style, 0, 0, outer.right - outer.left, outer.bottom - outer.top, w.window,
                         nullptr, GetModuleHandleW(nullptr), &w);
}

}  // namespace

bool CreatePenPopups(MainWindow& w) {
  constexpr DWORD kStyle = WS_CHILD | WS_CLIPCHILDREN | WS_CLIPSIBLINGS;
  w.penSelector = CreatePopup(w, L"Pen Floating Window Class", kStyle | WS_BORDER, PenSelectorGrid(w.panels.scale));
  w.easyPanel = CreatePopup(w, L"Easy Panel Window Class", kStyle | WS_CAPTION, EasyPanelGrid(w.panels.scale));
  if (w.easyPanel) {
    // First at the client area's top right corner, clear of a right-docked column's edge.
    RECT client{}, outer{};
    GetClientRect(w.window, &client);
    GetWindowRect(w.easyPanel, &outer);
    SetWindowPos(w.easyPanel, HWND_TOP, std::max(0L, client.right - (outer.right - outer.left) - 24), 8, 0, 0,
                 SWP_NOSIZE | SWP_NOACTIVATE);
    PlaceEasyPanel(w);
  }
  return w.penSelector && w.easyPanel;
}

void PlaceEasyPanel(MainWindow& w) {
  if (!w.easyPanel) return;
  if (w.app.settings.ShowEasyPanel == 0) {
    ShowWindow(w.easyPanel, SW_HIDE);
    return;
  }
  SetWindowTextW(w.easyPanel, EasyPanelCaption(w).c_str());
  RECT client{}, outer{};
  GetClientRect(w.window, &client);
  GetWindowRect(w.easyPanel, &outer);
  POINT corner{outer.left, outer.top};
  ScreenToClient(w.window, &corner);
  const FloatingPosition at =
      ReachableFloatingPosition({corner.x, corner.y}, outer.right - outer.left, GetSystemMetrics(SM_CYCAPTION),
                                client.right, client.bottom);
  SetWindowPos(w.easyPanel, HWND_TOP, at.x, at.y, 0, 0, SWP_NOSIZE | SWP_NOACTIVATE | SWP_SHOWWINDOW);
  Send(w.easyPanel, kMsgSelectPenSlot);
}

void SetPenSizeOrHardness(MainWindow& w, WPARAM which, LPARAM value) {
  PenSetting& pen = w.app.settings.pens[std::clamp(w.app.settings.numPenSetting, 0, kPenCount - 1)];
  const auto v = static_cast<int32_t>(value);
  if (which == 1) pen.Size = std::clamp(v, 1, kMaxPenSize);
  if (which == 2) pen.Hardness = std::clamp(v, 0, 100);
  // Not the pen window: its bar is being dragged and shows the value already.
  for (PanelMember m : {PanelMember::kIcon0, PanelMember::kIcon1, PanelMember::kIcon2, PanelMember::kIcon3})
    if (HWND hwnd = Member(w, m)) InvalidateRect(hwnd, nullptr, FALSE);
}

void SelectPenSlot(MainWindow& w, int32_t slot) {
  if (slot < 0 || slot >= kPenCount) return;
  const CommandOutcome done = RunSessionCommand(w.app, CMD_SELECT_PEN_0 + slot);
  if (done.view) InvalidateRect(w.view, nullptr, FALSE);
  RefreshPanelsAfterCommand(w, done);
}

void OnSelectPenSlotMessage(MainWindow& w, WPARAM wParam) {
  if (wParam < static_cast<WPARAM>(kPenCount)) SelectPenSlot(w, static_cast<int32_t>(wParam));
  else if (IsWindow(reinterpret_cast<HWND>(wParam))) PenKindChanged(w);
}

void PenKindChanged(MainWindow& w) {
  TellIconHolders(w, kMsgPenKindChanged);
  RefreshPanelsAfterCommand(w, {});
}

void PenLayerChanged(MainWindow& w) {
  TellIconHolders(w, kMsgRecolourIcons);
  for (PanelMember m : {PanelMember::kLayer, PanelMember::kColorPicker, PanelMember::kIcon0, PanelMember::kIcon1,
                        PanelMember::kIcon2, PanelMember::kIcon3})
    if (HWND hwnd = Member(w, m)) InvalidateRect(hwnd, nullptr, FALSE);
}

void RecolourPenIcons(MainWindow& w) { TellIconHolders(w, kMsgRecolourIcons); }

void ShowPenSelector(MainWindow& w) { Send(w.penSelector, kMsgShowPenSelector); }

void HidePenSelector(MainWindow& w) {
  if (w.penSelector && IsWindowVisible(w.penSelector)) ShowWindow(w.penSelector, SW_HIDE);
}

void TellPenPanels(MainWindow& w) {
  const AppSettings& s = w.app.settings;
  PenSetting* pen = &w.app.settings.pens[std::clamp(s.numPenSetting, 0, kPenCount - 1)];
  HWND penWindow = Member(w, PanelMember::kPenSetting);
  Send(penWindow, kMsgCurrentPenRecord, reinterpret_cast<WPARAM>(pen));
  Send(Member(w, PanelMember::kPenList), kMsgRefreshPanel);
  Send(w.penSelector, kMsgSelectPenSlot);
  Send(w.easyPanel, kMsgSelectPenSlot);
  TellIconHolders(w, kMsgRecolourIcons);
}

bool RunPenPopupCommand(MainWindow& w, int32_t command) {
  if (command == CMD_POPUP_PENS) {
    // The selector takes the palette ring's place at the mouse.
    if (HWND ring = FindWindowExW(w.window, nullptr, L"Palette Floating Window Class", nullptr)) ShowWindow(ring, SW_HIDE);
    ShowPenSelector(w);
    return true;
  }
  if (command == CMD_POPUP_PALETTE) HidePenSelector(w);
  return false;
}

void ChooseDrawingLayer(MainWindow& w, int32_t layer) {
  if (layer < 0 || layer >= kLayerCount) return;
  PenSetting& pen = w.app.settings.pens[std::clamp(w.app.settings.numPenSetting, 0, kPenCount - 1)];
  w.app.canvas.currentLayer = layer;
  if (pen.EnablePalette == 1) pen.Palette = layer;
  CommandOutcome changed;
  changed.pen = true;
  RefreshPanelsAfterCommand(w, changed);
  InvalidateRect(w.easyPanel, nullptr, FALSE);
}

void OpenPenSettingDialogOnce(MainWindow& w, int32_t slot) {
  if (slot < 0 || slot >= kPenCount) return;
  // One dialog per preset: a second double click brings the open one to the front.
  OpenPenSettingDialog(w, slot);
}
