// The icon windows: the current pen at a glance: its name, its pen icon's picture in the
// colour of the layer it draws on, its kind, size and hardness.
#include <string>

#include "app/language_menu.h"
#include "shell/member_windows.h"
#include "shell/panel_common.h"
#include "shell/main_window.h"
#include "shell/pen_panels.h"

namespace {

void Paint(HWND hwnd, MainWindow& w) {
  PanelPainter paint(hwnd);
  const float s = PanelScale(w);
  const auto S = [s](int v) { return Scaled(v, s); };
  const PenSetting& pen = CurrentPenOf(w);
  HDC dc = paint.dc;
  HFONT font = PanelFont(w);
  FillBox(dc, 0, 0, paint.width, paint.height, RGB(224, 224, 224));
  FrameBox(dc, 0, 0, paint.width, paint.height, RGB(192, 192, 192));
  DrawPanelText(dc, font, S(4), S(4), paint.width - S(4), WideText(pen.Name, kPenNameUnits));

  // The pen's picture, in the colour of the layer it draws on.
  const int side = S(64);
  const int left = (paint.width - side) / 2, top = S(22);
  FillBox(dc, left - S(2), top - S(2), left + side + S(2), top + side + S(2), RGB(255, 255, 255));
  DrawPenPicture(dc, w, pen, left, top, side, RGB(255, 255, 255));

  const std::wstring kind =
      pen.KindOfPen >= 0 && pen.KindOfPen < kPenKindCount
          ? PanelString(w, kStringFirstPenKind + static_cast<UINT>(pen.KindOfPen), L"")
          : std::wstring(L"?");
  DrawPanelText(dc, font, S(4), S(98), paint.width - S(4), kind);
  DrawPanelText(dc, font, S(4), S(112), paint.width - S(4),
                PanelString(w, 12, L"Size") + L" " + std::to_wstring(pen.Size) + L"  " + PanelString(w, 13, L"Hard") +
                    L" " + std::to_wstring(pen.Hardness));
}

}  // namespace

LRESULT CALLBACK IconWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  return RoutePanelMessage(hwnd, message, wParam, lParam, Paint);
}
