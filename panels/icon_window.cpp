// The icon windows: the current pen at a glance: its name, a dot of its size on the screen in
// the colour of the layer it draws on, its kind, size and hardness.
#include <algorithm>
#include <string>

#include "app/language_menu.h"
#include "shell/member_windows.h"
#include "shell/panel_common.h"
#include "shell/main_window.h"

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

  // The brush as it paints on the screen at the view's scale, within the window's middle.
  const float scale = w.app.view.scale > 0 ? w.app.view.scale : 1.0f;
  const int diameter = std::clamp(static_cast<int>(static_cast<float>(pen.Size) / scale), 1, S(72));
  const int cx = paint.width / 2, cy = S(58);
  FillBox(dc, cx - S(38), cy - S(38), cx + S(38), cy + S(38), RGB(255, 255, 255));
  const COLORREF colour = LayerColourOf(w, DrawingLayer(pen, w.app.canvas.currentLayer));
  SetDCBrushColor(dc, colour);
  SetDCPenColor(dc, colour);
  const HGDIOBJ oldBrush = SelectObject(dc, GetStockObject(DC_BRUSH));
  const HGDIOBJ oldPen = SelectObject(dc, GetStockObject(DC_PEN));
  Ellipse(dc, cx - diameter / 2, cy - diameter / 2, cx - diameter / 2 + diameter, cy - diameter / 2 + diameter);
  SelectObject(dc, oldBrush);
  SelectObject(dc, oldPen);

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
