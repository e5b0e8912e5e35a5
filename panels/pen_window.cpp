// The pen-setting panel: the current pen's name, kind, size, hardness and own layer, laid out
// as the pen window's controls are, read only. Labels are the language strings 10 to 14.
#include <algorithm>
#include <cmath>
#include <string>

#include "app/language_menu.h"
#include "shell/member_windows.h"
#include "shell/panel_common.h"
#include "shell/main_window.h"

namespace {

// A field box like an edit control or a drop-down list: white, framed.
void FieldBox(HDC dc, int left, int top, int right, int bottom) {
  FillBox(dc, left, top, right, bottom, RGB(255, 255, 255));
  FrameBox(dc, left, top, right, bottom, RGB(160, 160, 160));
}

// A bar: the filled part for fraction 0..1 and the value as text.
void Bar(HDC dc, HFONT font, int left, int top, int width, int height, double fraction, int value) {
  FieldBox(dc, left, top, left + width, top + height);
  const int filled = static_cast<int>(std::lround((width - 2) * std::clamp(fraction, 0.0, 1.0)));
  FillBox(dc, left + 1, top + 1, left + 1 + filled, top + height - 1, RGB(120, 160, 220));
  DrawPanelText(dc, font, left + 3, top, left + width - 2, std::to_wstring(value));
}

void Paint(HWND hwnd, MainWindow& w) {
  PanelPainter paint(hwnd);
  const float s = PanelScale(w);
  const auto S = [s](int v) { return Scaled(v, s); };
  const PenSetting& pen = CurrentPenOf(w);
  HDC dc = paint.dc;
  HFONT font = PanelFont(w);
  FillBox(dc, 0, 0, paint.width, paint.height, kPanelBackground);

  // The labels, and the fields from just right of the widest label (24 at the least).
  constexpr int kLabelY[5] = {5, 23, 43, 59, 75};
  constexpr const wchar_t* kLabelFallback[5] = {L"Name", L"Kind", L"Size", L"Hard", L"Layer"};
  int x = S(24);
  const HGDIOBJ oldFont = SelectObject(dc, font);
  for (int i = 0; i < 5; ++i) {
    const std::wstring label = PanelString(w, 10 + i, kLabelFallback[i]);
    SIZE size{};
    GetTextExtentPoint32W(dc, label.c_str(), static_cast<int>(label.size()), &size);
    x = std::max(x, S(2) + static_cast<int>(size.cx) + S(3));
    DrawPanelText(dc, font, S(2), S(kLabelY[i]), S(60), label);
  }
  SelectObject(dc, oldFont);
  x = std::min(x, S(60));
  const int right = S(125), inset = S(2);

  FieldBox(dc, x, S(2), right, S(18));
  DrawPanelText(dc, font, x + inset, S(4), right - inset, WideText(pen.Name, kPenNameUnits));
  FieldBox(dc, x, S(20), right, S(36));
  const std::wstring kind =
      pen.KindOfPen >= 0 && pen.KindOfPen < kPenKindCount
          ? PanelString(w, kStringFirstPenKind + static_cast<UINT>(pen.KindOfPen), L"")
          : std::wstring(L"?");
  DrawPanelText(dc, font, x + inset, S(22), right - inset, kind);

  // Size on a logarithmic bar from 1 to 1000, hardness on a linear one from 0 to 100.
  const double sizeFraction = std::log(std::max(pen.Size, 1)) / std::log(static_cast<double>(kMaxPenSize));
  Bar(dc, font, x, S(42), right - x, S(13), sizeFraction, pen.Size);
  Bar(dc, font, x, S(57), right - x, S(13), pen.Hardness / 100.0, pen.Hardness);

  // The own-layer switch, and while it is on the layer's colour and number.
  const int box = std::max(x, S(40));
  FieldBox(dc, box, S(72), box + S(16), S(88));
  if (pen.EnablePalette == 1) {
    FillBox(dc, box + S(4), S(76), box + S(12), S(84), RGB(40, 40, 40));
    DrawSwatch(dc, box + S(18), S(72), S(16), LayerColourOf(w, pen.Palette));
    FieldBox(dc, box + S(36), S(72), right, S(88));
    DrawPanelText(dc, font, box + S(40), S(74), right - inset, std::to_wstring(pen.Palette));
  }
}

}  // namespace

LRESULT CALLBACK PenWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  return RoutePanelMessage(hwnd, message, wParam, lParam, Paint);
}
