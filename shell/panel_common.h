// What the panel windows share: the record each is created with, its owner bound to its
// handle, the panel font, double-buffered painting and a few drawing helpers. Panels read
// and change the main window's state through their owner and tell it with commands.
#pragma once

#include <windows.h>

#include <string>

#include "app/panel_layout.h"
#include "brush/pen_setting.h"

struct MainWindow;

// The creation parameter of every member of the panel column.
struct PanelCreation {
  MainWindow* owner;
  PanelMember member;
};

// A member's child identifier is kFirstMemberId + its PanelMember value.
inline constexpr int kFirstMemberId = 100;
inline PanelMember MemberOfWindow(HWND hwnd) { return static_cast<PanelMember>(GetDlgCtrlID(hwnd) - kFirstMemberId); }

// The signed client position of a mouse message (windowsx.h is left out: its macros clash
// with the core's names).
inline int MouseX(LPARAM lParam) { return static_cast<short>(LOWORD(lParam)); }
inline int MouseY(LPARAM lParam) { return static_cast<short>(HIWORD(lParam)); }

// Sends a command to the main window as its menu would (posted: the command may move or
// repaint the panel that sends it).
void PostPanelCommand(HWND panel, int command);

inline constexpr COLORREF kPanelBackground = RGB(240, 240, 240);
inline constexpr COLORREF kPanelHighlight = RGB(212, 212, 212);  // the row of the current item
inline constexpr COLORREF kPanelText = RGB(0, 0, 0);

// On WM_NCCREATE binds the creation record's owner to the window; afterwards returns it (null
// before the binding).
MainWindow* BindPanelOwner(HWND hwnd, UINT message, LPARAM lParam);

// The routing every member shares: the owner bound on creation, no background erase (each
// paints its whole client area through paint), and, when click is given, a left-button release
// at client height y. Everything else goes to the default procedure.
using PanelPaint = void (*)(HWND hwnd, MainWindow& owner);
using PanelClick = void (*)(HWND hwnd, MainWindow& owner, int y);
LRESULT RoutePanelMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, PanelPaint paint,
                          PanelClick click = nullptr);

// The current pen (slot numPenSetting, kept within the sixteen).
const PenSetting& CurrentPenOf(const MainWindow& owner);
// The colour of layer 0..7 or of the paper (8); black for any other number.
COLORREF LayerColourOf(const MainWindow& owner, int layer);

// The UI scale factor the panels are laid out with.
float PanelScale(const MainWindow& owner);

// The panel font ("MS UI Gothic", 11 s high), owned by the panel column.
HFONT PanelFont(const MainWindow& owner);

// A language string copied out of the library's shared buffer; fallback when it has none.
std::wstring PanelString(MainWindow& owner, UINT id, const wchar_t* fallback);

// Double-buffered painting of a whole client area: the picture is drawn into dc and copied
// to the window when the painter goes.
class PanelPainter {
 public:
  explicit PanelPainter(HWND hwnd);
  ~PanelPainter();
  PanelPainter(const PanelPainter&) = delete;
  PanelPainter& operator=(const PanelPainter&) = delete;

  HDC dc = nullptr;
  int width = 0, height = 0;

 private:
  HWND hwnd_;
  PAINTSTRUCT ps_{};
  HDC target_ = nullptr;
  HBITMAP bitmap_ = nullptr;
  HGDIOBJ oldBitmap_ = nullptr;
};

void FillBox(HDC dc, int left, int top, int right, int bottom, COLORREF colour);
void FrameBox(HDC dc, int left, int top, int right, int bottom, COLORREF colour);
// A colour swatch: the colour framed in dark grey.
void DrawSwatch(HDC dc, int left, int top, int side, COLORREF colour);
// Text in the panel font at (x, y), transparent background, cut at right.
void DrawPanelText(HDC dc, HFONT font, int x, int y, int right, const std::wstring& text, COLORREF colour = kPanelText);

// The text of a buffer of the core of `units` char16_t, up to its first zero.
std::wstring WideText(const char16_t* text, size_t units);
