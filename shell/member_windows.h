// The window procedures of the panel column's members other than the tablet information and
// the loupe. Each lives in its own file and is created by the column with a PanelCreation.
#pragma once

#include <windows.h>

// "Icon Window Class" and "Icon Window 1 Class" .. "Icon Window 3 Class": the current pen.
LRESULT CALLBACK IconWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
// "Pen Window Class": the current pen's name, kind, size, hardness and layer.
LRESULT CALLBACK PenWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
// "Color Picker Window Class": a hue ring around a lightness/chroma triangle that sets the
// current layer's colour.
LRESULT CALLBACK ColorPickerWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
// "Layer Window Class": the eight layers, top first, with visibility, lock, blend mode and colour
// controls; clip switch and opacity of the current layer; a layer dragged moves in the stack.
LRESULT CALLBACK LayerWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
// "Pen List Window Class": the sixteen pens; a click makes one current.
LRESULT CALLBACK PenListWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
// "Tex Window Class" and "Paper Tex Window Class": the files of the texture or material menu;
// a click chooses one.
LRESULT CALLBACK TextureWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

// "Selection Window Class": the floating selection over the view, created by the view after a
// lift and destroyed after the drop.
inline constexpr wchar_t kSelectionWindowClass[] = L"Selection Window Class";
LRESULT CALLBACK SelectionWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
// An arrow key for the floating selection's window: the accelerators leave it alone.
bool IsSelectionWindowKey(const MSG& msg);
