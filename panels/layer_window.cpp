// The layer panel: the eight layers as rows, top of the stack first, each with its
// visibility, lock, blend mode, colour and number; the row the current pen draws on is
// highlighted. Below: the paper colour, the current layer's clip switch and opacity. Read
// only; coordinates are those of the layer window's controls.
#include <string>

#include "shell/member_windows.h"
#include "shell/panel_common.h"
#include "shell/main_window.h"

namespace {

void CheckBox(HDC dc, int left, int top, int side, bool on) {
  FillBox(dc, left, top, left + side, top + side, RGB(255, 255, 255));
  FrameBox(dc, left, top, left + side, top + side, RGB(128, 128, 128));
  if (on) FillBox(dc, left + side / 4, top + side / 4, left + side - side / 4, top + side - side / 4, RGB(40, 40, 40));
}

// Visible: an open eye (a dark pupil in a white oval); hidden: an empty box.
void Eye(HDC dc, int left, int top, int side, bool visible) {
  FillBox(dc, left, top, left + side, top + side, RGB(255, 255, 255));
  FrameBox(dc, left, top, left + side, top + side, RGB(160, 160, 160));
  if (!visible) return;
  SetDCPenColor(dc, RGB(40, 40, 40));
  SetDCBrushColor(dc, RGB(255, 255, 255));
  const HGDIOBJ oldPen = SelectObject(dc, GetStockObject(DC_PEN));
  const HGDIOBJ oldBrush = SelectObject(dc, GetStockObject(DC_BRUSH));
  Ellipse(dc, left + 1, top + side / 4, left + side - 1, top + side - side / 4);
  SetDCBrushColor(dc, RGB(40, 40, 40));
  Ellipse(dc, left + side * 3 / 8, top + side * 3 / 8, left + side * 5 / 8 + 1, top + side * 5 / 8 + 1);
  SelectObject(dc, oldPen);
  SelectObject(dc, oldBrush);
}

// Locked: a padlock; unlocked: an empty box.
void Lock(HDC dc, int left, int top, int side, bool locked) {
  FillBox(dc, left, top, left + side, top + side, RGB(255, 255, 255));
  FrameBox(dc, left, top, left + side, top + side, RGB(160, 160, 160));
  if (!locked) return;
  const int u = side / 8;
  FillBox(dc, left + 2 * u, top + 4 * u, left + 6 * u, top + 7 * u, RGB(180, 120, 20));
  FrameBox(dc, left + 3 * u, top + u, left + 5 * u + 1, top + 4 * u + 1, RGB(80, 80, 80));
}

void Paint(HWND hwnd, MainWindow& w) {
  PanelPainter paint(hwnd);
  const float s = PanelScale(w);
  const auto S = [s](int v) { return Scaled(v, s); };
  HDC dc = paint.dc;
  HFONT font = PanelFont(w);
  const LayerTable& table = w.app.canvas.layers;
  FillBox(dc, 0, 0, paint.width, paint.height, kPanelBackground);

  // Order position p (0 bottom .. 7 top) to layer.
  int layerAt[kLayerCount];
  for (int p = 0; p < kLayerCount; ++p) layerAt[p] = p;
  for (int k = 0; k < kLayerCount; ++k)
    if (table.rows[k].order >= 0 && table.rows[k].order < kLayerCount) layerAt[table.rows[k].order] = k;

  const int drawing = DrawingLayer(CurrentPenOf(w), w.app.canvas.currentLayer);
  const int highlightRow = drawing >= kLayerCount ? 8 : 7 - table.rows[drawing < 0 ? 0 : drawing].order;
  if (highlightRow >= 0 && highlightRow <= 8)
    FillBox(dc, 0, S(20 * highlightRow), S(128) - 1, S(20 * highlightRow + 20) - 1, kPanelHighlight);

  const std::wstring blendNames[3] = {PanelString(w, 501, L"Normal"), PanelString(w, 502, L"Multiply"),
                                      PanelString(w, 503, L"Add")};
  for (int p = 0; p < kLayerCount; ++p) {
    const int k = layerAt[p];
    const LayerEntry& e = table.rows[k];
    const int d = e.clipped ? 3 : 0, y = S(142 - 20 * p);
    if (e.clipped) FillBox(dc, S(1), S(20 * (7 - p)), S(3), S(20 * (7 - p) + 20), RGB(0xC0, 0x40, 0x40));
    Eye(dc, S(2 + d), y, S(16), e.visible != 0);
    Lock(dc, S(20 + d), y, S(16), e.locked != 0);
    FillBox(dc, S(38 + d), y, S(97 + d), y + S(16), RGB(255, 255, 255));
    FrameBox(dc, S(38 + d), y, S(97 + d), y + S(16), RGB(160, 160, 160));
    const std::wstring& blend = e.blendMode >= 0 && e.blendMode < 3 ? blendNames[e.blendMode] : blendNames[0];
    DrawPanelText(dc, font, S(40 + d), y + S(2), S(96 + d), blend);
    DrawSwatch(dc, S(99 + d), y, S(16), e.colour & 0x00FFFFFFu);
    DrawPanelText(dc, font, S(119), S(144 - 20 * p), S(128), std::to_wstring(k + 1));
  }

  // The paper, then the current entry's clip switch and opacity.
  FillBox(dc, S(89), S(162), S(125), S(178), table.rows[kPaperRow].colour & 0x00FFFFFFu);
  FrameBox(dc, S(89), S(162), S(125), S(178), RGB(64, 64, 64));
  const int current = w.app.canvas.currentLayer >= 0 && w.app.canvas.currentLayer < kLayerTableRows
                          ? w.app.canvas.currentLayer
                          : 0;
  const LayerEntry& e = table.rows[current];
  CheckBox(dc, S(2), S(182), S(16), e.clipped != 0);
  DrawPanelText(dc, font, S(20), S(184), S(128), PanelString(w, 601, L"Clip"));
  DrawPanelText(dc, font, S(2), S(203), S(48), PanelString(w, 602, L"Opacity"));
  FillBox(dc, S(48), S(202), S(125), S(215), RGB(255, 255, 255));
  FillBox(dc, S(48) + 1, S(202) + 1, S(48) + 1 + (S(77) - 2) * e.opacity / 255, S(215) - 1, RGB(120, 160, 220));
  FrameBox(dc, S(48), S(202), S(125), S(215), RGB(160, 160, 160));
  DrawPanelText(dc, font, S(51), S(202), S(124), std::to_wstring(e.opacity));
}

}  // namespace

LRESULT CALLBACK LayerWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  return RoutePanelMessage(hwnd, message, wParam, lParam, Paint);
}
