#include "shell/colour_windows.h"

#include "app/layer_panel.h"
#include "app/palette_ring.h"
#include "app/private_messages.h"
#include "shell/info_windows.h"
#include "shell/main_window.h"
#include "shell/panel_common.h"

namespace {

HWND Member(const MainWindow& w, PanelMember m) { return w.panels.members[static_cast<int>(m)]; }

void SendToMember(const MainWindow& w, PanelMember m, UINT message) {
  if (HWND hwnd = Member(w, m)) SendMessageW(hwnd, message, 0, 0);
}

// With their controls: the layer panel's swatches show the colours too.
void RepaintMembers(const MainWindow& w) {
  for (HWND m : w.panels.members)
    if (m) RedrawWindow(m, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN);
}

}  // namespace

bool PointerAsMouse(HWND hwnd, UINT message, LPARAM lParam) {
  UINT mouse = 0;
  switch (message) {
    case WM_POINTERUPDATE: mouse = WM_MOUSEMOVE; break;
    case WM_POINTERDOWN: mouse = WM_LBUTTONDOWN; break;
    case WM_POINTERUP: mouse = WM_LBUTTONUP; break;
    default: return false;
  }
  POINT at{MouseX(lParam), MouseY(lParam)};  // screen coordinates
  ScreenToClient(hwnd, &at);
  SendMessageW(hwnd, mouse, mouse == WM_LBUTTONUP ? 0 : MK_LBUTTON, MAKELPARAM(at.x, at.y));
  return true;
}

void OnPenLayerChanged(MainWindow& w) {
  SendToMember(w, PanelMember::kColorPicker, kMsgLayerEntryChanged);
  if (HWND layers = Member(w, PanelMember::kLayer)) InvalidateRect(layers, nullptr, FALSE);
}

void OnCurrentLayerChanged(MainWindow& w) {
  SendToMember(w, PanelMember::kColorPicker, kMsgLayerEntryChanged);
  SendToMember(w, PanelMember::kPenSetting, kMsgRefreshPanel);
  SendToMember(w, PanelMember::kPenList, kMsgRecolourIcons);
  RepaintMembers(w);
}

void OnLayerEntryChanged(MainWindow& w) {
  ApplyLayerEntryChange(w.app);
  SendToMember(w, PanelMember::kPenList, kMsgRecolourIcons);
  RefreshTitle(w);
  RefreshPenPanels(w);
  RepaintMembers(w);
  if (HWND ring = FindWindowExW(w.window, nullptr, kPaletteRingClass, nullptr)) InvalidateRect(ring, nullptr, TRUE);
}

void RefreshLayerPanels(MainWindow& w) {
  SendToMember(w, PanelMember::kLayer, kMsgRefreshPanel);
  SendToMember(w, PanelMember::kPenSetting, kMsgRefreshPanel);
  SendToMember(w, PanelMember::kColorPicker, kMsgLayerEntryChanged);
}

void HidePaletteRing(MainWindow& w) {
  HWND ring = FindWindowExW(w.window, nullptr, kPaletteRingClass, nullptr);
  if (ring && IsWindowVisible(ring)) ShowWindow(ring, SW_HIDE);
}

void ShowPaletteRing(MainWindow& w) {
  if (HWND selector = FindWindowExW(w.window, nullptr, L"Pen Floating Window Class", nullptr))
    ShowWindow(selector, SW_HIDE);
  HWND ring = FindWindowExW(w.window, nullptr, kPaletteRingClass, nullptr);
  const int32_t side = PaletteRingSide(w.panels.scale);
  if (!ring) {
    const PanelCreation creation{&w, PanelMember::kColorPicker};
    ring = CreateWindowExW(0, kPaletteRingClass, L"", WS_CHILD | WS_CLIPCHILDREN | WS_CLIPSIBLINGS, 0, 0, side, side,
                           w.window, nullptr, GetModuleHandleW(nullptr), const_cast<PanelCreation*>(&creation));
    if (!ring) return;
  }
  POINT pointer{};
  GetCursorPos(&pointer);
  ScreenToClient(w.window, &pointer);
  RECT client{};
  GetClientRect(w.window, &client);
  const WindowBox at = PaletteRingPlacement(pointer.x, pointer.y, side, client.right, client.bottom);
  SetWindowPos(ring, HWND_TOP, at.x, at.y, at.width, at.height, SWP_SHOWWINDOW);
  InvalidateRect(ring, nullptr, TRUE);
}
