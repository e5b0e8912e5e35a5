// The floating selection's window ("Selection Window Class"): a child of the view at the
// selection's client position, as large as its picture. It shows the lifted pixels with the
// view showing through outside the lifted shape, follows the mouse (Shift keeps a drag to eight
// directions) and the arrow keys, a click outside the shape drops the selection, and the right
// button drags it out of the program as a file.
#include <mutex>
#include <new>

#include "app/floating_moves.h"
#include "app/private_messages.h"
#include "canvas/dib_bitmap_win32.h"
#include "shell/main_window.h"
#include "shell/member_windows.h"
#include "shell/panel_common.h"
#include "shell/view_window.h"

namespace {

struct SelectionWindow {
  MainWindow* owner = nullptr;
  DibBitmap* shown = nullptr;  // the picture over the view beneath, as painted last
  bool dragging = false;
  POINT dragStart{};           // cursor on the screen when the drag began
  float startX = 0, startY = 0;  // the selection's client position then
};

SelectionWindow* StateOf(HWND hwnd) { return reinterpret_cast<SelectionWindow*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA)); }

// The picture pixel at a client point of the window, or 0x00FFFFFF (not shown) outside it.
uint32_t PictureAt(const FloatingSelection& f, int x, int y) {
  if (!f.picture || x < 0 || y < 0 || x >= DibWidth(*f.picture) || y >= DibHeight(*f.picture)) return 0xFFFFFFu;
  return reinterpret_cast<const uint32_t*>(DibRow(*f.picture, y))[x];
}

// The picture over what the view shows beneath it: outside the lifted shape the back buffer.
void Paint(HWND hwnd, SelectionWindow& state) {
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(hwnd, &ps);
  AppState& s = state.owner->app;
  const FloatingSelection& f = s.floating;
  RECT client{};
  GetClientRect(hwnd, &client);
  if (f.picture && client.right > 0 && client.bottom > 0) {
    std::lock_guard<std::recursive_mutex> guard(s.step.update.lock);
    if (!state.shown || DibWidth(*state.shown) != client.right || DibHeight(*state.shown) != client.bottom) {
      FreeDibBitmap(state.shown);
      state.shown = CreateDibBitmap(32, nullptr, 0, client.right, client.bottom);
    }
    if (state.shown) {
      const DibBitmap* back = s.view.backBuffer;
      const int left = static_cast<int>(f.clientX), top = static_cast<int>(f.clientY);
      for (int y = 0; y < client.bottom; ++y) {
        uint32_t* out = reinterpret_cast<uint32_t*>(DibRow(*state.shown, y));
        const int by = top + y;
        const uint32_t* beneath = back && by >= 0 && by < DibHeight(*back) ? reinterpret_cast<const uint32_t*>(DibRow(*back, by)) : nullptr;
        for (int x = 0; x < client.right; ++x) {
          const uint32_t p = PictureAt(f, x, y);
          const int bx = left + x;
          if (FloatingPixelShown(p)) out[x] = p & 0xFFFFFFu;
          else out[x] = beneath && bx >= 0 && bx < DibWidth(*back) ? beneath[bx] : 0x808080u;
        }
      }
      DrawDibBitmap(dc, 0, 0, *state.shown, 0, 0, client.right, client.bottom);
    }
  }
  EndPaint(hwnd, &ps);
}

void MoveTo(HWND hwnd, SelectionWindow& state, float x, float y) {
  FloatingSelection& f = state.owner->app.floating;
  f.clientX = x;
  f.clientY = y;
  SetWindowPos(hwnd, HWND_TOP, static_cast<int>(x), static_cast<int>(y), 0, 0, SWP_NOSIZE | SWP_NOACTIVATE);
  InvalidateRect(hwnd, nullptr, FALSE);
}

void OnArrow(HWND hwnd, SelectionWindow& state, WPARAM key) {
  const float step = static_cast<float>(ArrowMoveStep(GetKeyState(VK_SHIFT) < 0));
  const FloatingSelection& f = state.owner->app.floating;
  float x = f.clientX, y = f.clientY;
  if (key == VK_LEFT) x -= step;
  if (key == VK_RIGHT) x += step;
  if (key == VK_UP) y -= step;
  if (key == VK_DOWN) y += step;
  MoveTo(hwnd, state, x, y);
}

void OnButtonDown(HWND hwnd, SelectionWindow& state, int x, int y) {
  SetCapture(hwnd);
  RECT client{};
  GetClientRect(hwnd, &client);
  const bool inside = x >= 0 && y >= 0 && x < client.right && y < client.bottom;
  if (!inside || !FloatingPixelShown(PictureAt(state.owner->app.floating, x, y))) {
    ReleaseCapture();
    PostMessageW(state.owner->window, kMsgCommitPending, 0, 0);
    return;
  }
  state.dragging = true;
  GetCursorPos(&state.dragStart);
  state.startX = state.owner->app.floating.clientX;
  state.startY = state.owner->app.floating.clientY;
}

void OnDrag(HWND hwnd, SelectionWindow& state) {
  POINT cursor{};
  GetCursorPos(&cursor);
  IntPoint moved{cursor.x - state.dragStart.x, cursor.y - state.dragStart.y};
  if (GetKeyState(VK_SHIFT) < 0) moved = ConstrainToEightDirections(moved.x, moved.y);
  MoveTo(hwnd, state, state.startX + static_cast<float>(moved.x), state.startY + static_cast<float>(moved.y));
}

}  // namespace

bool IsSelectionWindowKey(const MSG& msg) {
  if (msg.message != WM_KEYDOWN) return false;
  if (msg.wParam != VK_LEFT && msg.wParam != VK_RIGHT && msg.wParam != VK_UP && msg.wParam != VK_DOWN) return false;
  wchar_t name[32] = {};
  return GetClassNameW(msg.hwnd, name, 32) > 0 && lstrcmpW(name, kSelectionWindowClass) == 0;
}

LRESULT CALLBACK SelectionWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    auto* state = new (std::nothrow) SelectionWindow;
    if (!state) return FALSE;
    state->owner = static_cast<MainWindow*>(reinterpret_cast<const CREATESTRUCTW*>(lParam)->lpCreateParams);
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(state));
    return DefWindowProcW(hwnd, message, wParam, lParam);
  }
  SelectionWindow* state = StateOf(hwnd);
  if (!state) return DefWindowProcW(hwnd, message, wParam, lParam);
  switch (message) {
    case WM_CREATE:
      SetFocus(hwnd);
      return 0;
    case WM_ERASEBKGND:
      return 1;
    case WM_PAINT:
      Paint(hwnd, *state);
      return 0;
    case WM_GETDLGCODE:
      return DLGC_WANTARROWS;
    case WM_KEYDOWN:
      if (wParam == VK_LEFT || wParam == VK_RIGHT || wParam == VK_UP || wParam == VK_DOWN) {
        OnArrow(hwnd, *state, wParam);
        return 0;
      }
      // Every other key is the main window's (pen keys, undo, ...).
      return SendMessageW(state->owner->window, message, wParam, lParam);
    case WM_KEYUP:
      return SendMessageW(state->owner->window, message, wParam, lParam);
    case WM_LBUTTONDOWN:
      OnButtonDown(hwnd, *state, MouseX(lParam), MouseY(lParam));
      return 0;
    case WM_MOUSEMOVE:
      if (state->dragging && (wParam & MK_LBUTTON)) OnDrag(hwnd, *state);
      return 0;
    case WM_RBUTTONDOWN:
      DragFileOut(*state->owner, WriteFloatingDragFile(state->owner->app));
      return 0;
    case WM_LBUTTONUP:
    case WM_CAPTURECHANGED:
      state->dragging = false;
      if (message == WM_LBUTTONUP) ReleaseCapture();
      return 0;
    case WM_NCDESTROY:
      FreeDibBitmap(state->shown);
      delete state;
      SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
      break;
    default:
      break;
  }
  return DefWindowProcW(hwnd, message, wParam, lParam);
}
