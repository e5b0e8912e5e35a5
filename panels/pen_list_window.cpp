// The pen list: the sixteen pens as rows 18 s high, each a swatch of the layer the pen draws
// on and the pen's name, the current pen on a grey band. A click on a row makes that pen
// current through the pen-slot command.
#include "brush/pen_setting.h"
#include "shell/member_windows.h"
#include "shell/panel_common.h"
#include "settings/command_ids.h"
#include "shell/main_window.h"
#include "shell/pen_setting_dialog.h"

namespace {

constexpr int32_t kRowHeight = 18;  // at 100 %

void Paint(HWND hwnd, MainWindow& w) {
  PanelPainter paint(hwnd);
  const float s = PanelScale(w);
  const AppSettings& settings = w.app.settings;
  const int right = Scaled(kColumnWidth, s) - 1;
  FillBox(paint.dc, 0, 0, paint.width, paint.height, RGB(255, 255, 255));
  for (int i = 0; i < kPenCount; ++i) {
    const int top = Scaled(kRowHeight * i, s), bottom = Scaled(kRowHeight * i + kRowHeight, s) - 1;
    if (i == settings.numPenSetting) FillBox(paint.dc, 0, top, right, bottom, kPanelHighlight);
    const PenSetting& pen = settings.pens[i];
    const COLORREF colour = LayerColourOf(w, DrawingLayer(pen, w.app.canvas.currentLayer));
    DrawSwatch(paint.dc, Scaled(2, s), Scaled(1 + kRowHeight * i, s), Scaled(16, s), colour);
    DrawPanelText(paint.dc, PanelFont(w), Scaled(20, s), Scaled(kRowHeight * i + 3, s), right,
                  WideText(pen.Name, kPenNameUnits));
    // The row's frame: down the left edge, along the bottom, up the right edge.
    FillBox(paint.dc, 0, top, 1, bottom + 1, kPanelBackground);
    FillBox(paint.dc, 0, bottom, right + 1, bottom + 1, kPanelBackground);
    FillBox(paint.dc, right, top, right + 1, bottom + 1, kPanelBackground);
  }
}

// A click on a row makes its pen current.
void Click(HWND hwnd, MainWindow& w, int y) {
  const float s = PanelScale(w);
  if (y < 0 || y >= Scaled(kRowHeight * kPenCount, s)) return;
  const int32_t row = static_cast<int32_t>(static_cast<float>(y) / (static_cast<float>(kRowHeight) * s));
  if (row < kPenCount) PostPanelCommand(hwnd, CMD_SELECT_PEN_0 + row);
}

// A double click on a row, or a command with notification 0 whose identifier is a pen slot,
// makes that pen current and opens its pen setting dialog.
void OpenRow(HWND hwnd, MainWindow& w, int32_t row) {
  if (row < 0 || row >= kPenCount) return;
  SendMessageW(GetAncestor(hwnd, GA_ROOT), WM_COMMAND, static_cast<WPARAM>(CMD_SELECT_PEN_0 + row), 0);
  InvalidateRect(hwnd, nullptr, FALSE);
  OpenPenSettingDialog(w, row);
}

}  // namespace

LRESULT CALLBACK PenListWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  MainWindow* w = BindPanelOwner(hwnd, message, lParam);
  if (w && message == WM_LBUTTONDBLCLK) {
    const float s = PanelScale(*w);
    const int y = MouseY(lParam);
    if (y >= 0 && y < Scaled(kRowHeight * kPenCount, s))
      OpenRow(hwnd, *w, static_cast<int32_t>(static_cast<float>(y) / (static_cast<float>(kRowHeight) * s)));
    return 0;
  }
  if (w && message == WM_COMMAND && HIWORD(wParam) == 0) {
    OpenRow(hwnd, *w, LOWORD(wParam));
    return 0;
  }
  return RoutePanelMessage(hwnd, message, wParam, lParam, Paint, Click);
}
