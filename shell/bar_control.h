// The bar control ("Bar Window Class"): a horizontal value slider for pen sizes, hardness,
// opacity and similar integers, linear or logarithmic (app/bar_control.h), showing its value
// as a number. Shift held while pressing makes the drag fine (one sixteenth of the pointer).
//
// Messages: the parent sends kMsgBarSet; the bar sends kMsgBarValue to its parent on every
// press and move that sets the slider, and kMsgBarReleased when the button is let go.
#pragma once

#include <windows.h>

#include <cstdint>

// To the bar. w: 1 linear, 2 logarithmic, 3 the maximum = l, 4 the value = l. Repaints.
inline constexpr UINT kMsgBarSet = 0x8004;
// To the parent. w: the bar's child identifier; l: the value.
inline constexpr UINT kMsgBarValue = 0x8003;
// To the parent (no parameters): the drag ended. The same number as the panels' refresh.
inline constexpr UINT kMsgBarReleased = 0x8016;

inline constexpr wchar_t kBarWindowClass[] = L"Bar Window Class";

LRESULT CALLBACK BarWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

// A visible bar child of parent at (x, y), width x height, with child identifier id; linear,
// its maximum the usable width (width - 2) until set.
HWND CreateBar(HWND parent, int id, int x, int y, int width, int height);

// kMsgBarSet in words.
inline void SetBarLogarithmic(HWND bar, bool logarithmic) { SendMessageW(bar, kMsgBarSet, logarithmic ? 2 : 1, 0); }
inline void SetBarMaximum(HWND bar, int32_t maximum) { SendMessageW(bar, kMsgBarSet, 3, maximum); }
inline void SetBarValue(HWND bar, int32_t value) { SendMessageW(bar, kMsgBarSet, 4, value); }
