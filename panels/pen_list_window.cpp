// The pen list ("Pen List Window Class"): the sixteen pens as rows 18 s high, each with its
// pen icon and name, the current pen on a grey band. A click on a row or its icon makes that
// pen current; a double click opens the pen's setting dialog.
#include "app/pen_panels.h"
#include "app/private_messages.h"
#include "brush/pen_setting.h"
#include "shell/main_window.h"
#include "shell/member_windows.h"
#include "shell/panel_common.h"
#include "shell/pen_panels.h"

namespace {

void Paint(HWND hwnd, MainWindow& w) {
  PanelPainter paint(hwnd);
  const float s = PanelScale(w);
  const AppSettings& settings = w.app.settings;
  const int right = Scaled(kColumnWidth, s) - 1;
  FillBox(paint.dc, 0, 0, paint.width, paint.height, RGB(255, 255, 255));
  for (int i = 0; i < kPenCount; ++i) {
    const int top = Scaled(kPenListRowHeight * i, s), bottom = Scaled(kPenListRowHeight * i + kPenListRowHeight, s) - 1;
    if (i == settings.numPenSetting) FillBox(paint.dc, 0, top, right, bottom, kPanelHighlight);
    DrawPanelText(paint.dc, PanelFont(w), Scaled(20, s), Scaled(kPenListRowHeight * i + 3, s), right,
                  WideText(settings.pens[i].Name, kPenNameUnits));
    // The row's frame: down the left edge, along the bottom, up the right edge.
    FillBox(paint.dc, 0, top, 1, bottom + 1, kPanelBackground);
    FillBox(paint.dc, 0, bottom, right + 1, bottom + 1, kPanelBackground);
    FillBox(paint.dc, right, top, right + 1, bottom + 1, kPanelBackground);
  }
}

void Choose(HWND hwnd, int32_t slot) {
  if (slot < 0 || slot >= kPenCount) return;
  SendMessageW(GetAncestor(hwnd, GA_ROOT), kMsgSelectPenSlot, static_cast<WPARAM>(slot), 0);
}

}  // namespace

LRESULT CALLBACK PenListWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  MainWindow* w = BindPanelOwner(hwnd, message, lParam);
  if (!w) return DefWindowProcW(hwnd, message, wParam, lParam);
  const float s = PanelScale(*w);
  switch (message) {
    case WM_CREATE:
      for (int32_t i = 0; i < kPenCount; ++i) CreatePenIcon(hwnd, *w, i, PenListIconBox(i, s));
      MarkCurrentPenIcon(hwnd, *w);
      return 0;
    case WM_ERASEBKGND:
      return 1;
    case WM_PAINT:
      Paint(hwnd, *w);
      return 0;
    case WM_LBUTTONUP:
      Choose(hwnd, PenListRowAt(MouseY(lParam), s));
      return 0;
    case WM_LBUTTONDBLCLK:
      if (const int32_t row = PenListRowAt(MouseY(lParam), s); row >= 0) OpenPenSettingDialogOnce(*w, row);
      return 0;
    case kMsgPenIconClicked:
      Choose(hwnd, GetDlgCtrlID(reinterpret_cast<HWND>(wParam)));
      return 0;
    case WM_COMMAND:
      // A preset number with notification 0: that pen becomes current and its dialog opens.
      if (HIWORD(wParam) == 0 && LOWORD(wParam) < kPenCount) {
        Choose(hwnd, LOWORD(wParam));
        OpenPenSettingDialogOnce(*w, LOWORD(wParam));
      }
      return 0;
    case kMsgRefreshPanel:
      MarkCurrentPenIcon(hwnd, *w);
      InvalidateRect(hwnd, nullptr, FALSE);
      return 0;
    case kMsgPenKindChanged:
    case kMsgRecolourIcons:
      TellPenIcons(hwnd, message, 0, 0);
      return 0;
    default:
      break;
  }
  return DefWindowProcW(hwnd, message, wParam, lParam);
}
