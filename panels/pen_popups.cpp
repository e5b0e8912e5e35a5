// The floating pen selector ("Pen Floating Window Class"): the sixteen pen icons in a square
// at the mouse; choosing one makes it current and hides the selector. The easy panel ("Easy
// Panel Window Class"): a small captioned window with the sixteen pen icons and the eight
// layer colours; a click chooses a pen or the layer to draw on.
#include "app/pen_panels.h"
#include "app/private_messages.h"
#include "shell/main_window.h"
#include "shell/panel_common.h"
#include "shell/pen_panels.h"

namespace {

MainWindow* OwnerOf(HWND hwnd, UINT message, LPARAM lParam) {
  if (message == WM_NCCREATE)
    SetWindowLongPtrW(hwnd, GWLP_USERDATA,
                      reinterpret_cast<LONG_PTR>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams));
  return reinterpret_cast<MainWindow*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
}

void CreateIcons(HWND hwnd, MainWindow& w, const PenGrid& grid) {
  for (int32_t i = 0; i < kPenCount; ++i) CreatePenIcon(hwnd, w, i, PenGridIconBox(grid, i));
  MarkCurrentPenIcon(hwnd, w);
}

void ChoosePen(HWND hwnd, HWND icon) {
  SendMessageW(GetAncestor(hwnd, GA_ROOT), kMsgSelectPenSlot, static_cast<WPARAM>(GetDlgCtrlID(icon)), 0);
}

// Messages both windows take from the main window.
bool CommonMessage(HWND hwnd, MainWindow& w, UINT message) {
  switch (message) {
    case kMsgSelectPenSlot:
      MarkCurrentPenIcon(hwnd, w);
      return true;
    case kMsgPenKindChanged:
    case kMsgRecolourIcons:
      TellPenIcons(hwnd, message, 0, 0);
      InvalidateRect(hwnd, nullptr, FALSE);
      return true;
    default:
      return false;
  }
}

}  // namespace

LRESULT CALLBACK PenSelectorProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  MainWindow* w = OwnerOf(hwnd, message, lParam);
  if (!w) return DefWindowProcW(hwnd, message, wParam, lParam);
  if (CommonMessage(hwnd, *w, message)) return 0;
  switch (message) {
    case WM_CREATE:
      CreateIcons(hwnd, *w, PenSelectorGrid(PanelScale(*w)));
      return 0;
    case WM_ERASEBKGND:
      return 1;
    case WM_PAINT: {
      PanelPainter paint(hwnd);
      FillBox(paint.dc, 0, 0, paint.width, paint.height, kPanelBackground);
      return 0;
    }
    case kMsgShowPenSelector: {
      RECT client{};
      GetClientRect(w->window, &client);
      POINT mouse{};
      GetCursorPos(&mouse);
      ScreenToClient(w->window, &mouse);
      RECT outer{};
      GetWindowRect(hwnd, &outer);
      const PopupPosition at = PopupAtMouse(mouse.x, mouse.y, outer.right - outer.left, outer.bottom - outer.top,
                                            client.right, client.bottom);
      TellPenIcons(hwnd, kMsgPenKindChanged, 0, 0);
      MarkCurrentPenIcon(hwnd, *w);
      SetWindowPos(hwnd, HWND_TOP, at.x, at.y, 0, 0, SWP_NOSIZE | SWP_NOACTIVATE | SWP_SHOWWINDOW);
      return 0;
    }
    case kMsgPenIconClicked:
      ShowWindow(hwnd, SW_HIDE);
      ChoosePen(hwnd, reinterpret_cast<HWND>(wParam));
      return 0;
    case WM_RBUTTONUP:
      ShowWindow(hwnd, SW_HIDE);
      return 0;
    default:
      break;
  }
  return DefWindowProcW(hwnd, message, wParam, lParam);
}

LRESULT CALLBACK EasyPanelProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  MainWindow* w = OwnerOf(hwnd, message, lParam);
  if (!w) return DefWindowProcW(hwnd, message, wParam, lParam);
  if (CommonMessage(hwnd, *w, message)) return 0;
  const PenGrid grid = EasyPanelGrid(PanelScale(*w));
  switch (message) {
    case WM_CREATE:
      CreateIcons(hwnd, *w, grid);
      return 0;
    case WM_ERASEBKGND:
      return 1;
    case WM_PAINT: {
      PanelPainter paint(hwnd);
      FillBox(paint.dc, 0, 0, paint.width, paint.height, kPanelBackground);
      // The layer the current pen draws on stands on the highlighted cell.
      const int drawing = DrawingLayer(CurrentPenOf(*w), w->app.canvas.currentLayer);
      for (int k = 0; k < kLayerCount; ++k) {
        const WindowBox b = PenGridLayerBox(grid, k);
        if (k == drawing) {
          const int inset = (grid.cell - grid.icon) / 2;
          FillBox(paint.dc, b.x - inset, b.y - inset, b.x + b.width + inset, b.y + b.height + inset, RGB(160, 160, 160));
        }
        DrawSwatch(paint.dc, b.x + 1, b.y + 1, b.width - 2, LayerColourOf(*w, k));
      }
      return 0;
    }
    case kMsgPenIconClicked:
      ChoosePen(hwnd, reinterpret_cast<HWND>(wParam));
      return 0;
    case WM_LBUTTONUP: {
      const PenGridHit hit = PenGridHitAt(grid, MouseX(lParam), MouseY(lParam));
      if (hit.kind == PenGridHit::kLayer) ChooseDrawingLayer(*w, hit.index);
      return 0;
    }
    default:
      break;
  }
  return DefWindowProcW(hwnd, message, wParam, lParam);
}
