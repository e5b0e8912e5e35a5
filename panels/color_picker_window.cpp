// The colour picker: the colour of the current layer (or of the paper while it is edited)
// as a large swatch with its hexadecimal value, and the eight layer colours below, the current
// one marked.
#include <cwchar>
#include <string>

#include "shell/member_windows.h"
#include "shell/panel_common.h"
#include "shell/main_window.h"

namespace {

void Paint(HWND hwnd, MainWindow& w) {
  PanelPainter paint(hwnd);
  const float s = PanelScale(w);
  const auto S = [s](int v) { return Scaled(v, s); };
  HDC dc = paint.dc;
  HFONT font = PanelFont(w);
  FillBox(dc, 0, 0, paint.width, paint.height, kPanelBackground);
  const int current = w.app.canvas.currentLayer;
  const COLORREF colour = LayerColourOf(w, current);
  DrawSwatch(dc, S(6), S(6), S(64), colour);

  wchar_t hex[16];
  std::swprintf(hex, 16, L"#%02X%02X%02X", GetRValue(colour), GetGValue(colour), GetBValue(colour));
  DrawPanelText(dc, font, S(76), S(10), paint.width - S(2), hex);
  if (current >= 0 && current < kLayerCount)  // numbered as the layer panel numbers it
    DrawPanelText(dc, font, S(76), S(28), paint.width - S(2), PanelString(w, 14, L"Layer") + L" " + std::to_wstring(current + 1));

  // The eight layers in two rows of four, layer 0 first.
  for (int k = 0; k < kLayerCount; ++k) {
    const int x = S(6 + 30 * (k % 4)), y = S(80 + 22 * (k / 4));
    if (k == current) FillBox(dc, x - S(2), y - S(2), x + S(26) + S(2), y + S(16) + S(2), RGB(64, 64, 64));
    FillBox(dc, x, y, x + S(26), y + S(16), LayerColourOf(w, k));
    FrameBox(dc, x, y, x + S(26), y + S(16), RGB(160, 160, 160));
  }
}

}  // namespace

LRESULT CALLBACK ColorPickerWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  return RoutePanelMessage(hwnd, message, wParam, lParam, Paint);
}
