// The windows that show and choose layers and their colours, beside the panel column's
// members: the colour swatch ("Palette Window Class"), the palette ring ("Palette Floating
// Window Class") and the layer panel's visibility and lock toggles ("Visible Window Class",
// "Lock Window Class"), all implemented in panels/; and the main window's side of the layer
// messages (kMsgPenLayerChanged, kMsgCurrentLayerChanged, kMsgLayerEntryChanged).
#pragma once

#include <windows.h>

#include <cstdint>

struct MainWindow;

// A swatch shows the colour (0x00BBGGRR) its creation parameter points to; its parent gets
// kMsgSwatchClicked (w: the swatch) when it is clicked; a double click opens the system colour
// dialog and, on OK, stores the colour and sends kMsgLayerEntryChanged to the main window.
LRESULT CALLBACK ColourSwatchProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
inline constexpr wchar_t kColourSwatchClass[] = L"Palette Window Class";
// To a swatch's parent. w: the swatch window.
inline constexpr UINT kMsgSwatchClicked = 0x8017;
// Binds a swatch to another colour and repaints it.
void BindSwatch(HWND swatch, uint32_t* colour);

// The ring of eight swatches, one per layer, created with a PanelCreation; a click on a swatch
// makes its layer current and hides the ring, a click on the ring itself only hides it.
LRESULT CALLBACK PaletteRingProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
inline constexpr wchar_t kPaletteRingClass[] = L"Palette Floating Window Class";

// A toggle shows one of two icons for the 0/1 field (int32_t) its creation parameter points to
// and flips the field when clicked: the visibility toggle then sends kMsgLayerEntryChanged to
// the main window, the lock toggle only repaints.
LRESULT CALLBACK LayerToggleProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
inline constexpr wchar_t kVisibleToggleClass[] = L"Visible Window Class";
inline constexpr wchar_t kLockToggleClass[] = L"Lock Window Class";
void BindToggle(HWND toggle, int32_t* field);

// Pen pointer messages as mouse messages: WM_POINTERUPDATE, WM_POINTERDOWN and WM_POINTERUP
// become WM_MOUSEMOVE, WM_LBUTTONDOWN and WM_LBUTTONUP sent to hwnd at the client position.
// True when the message was one of them (the window procedure then returns 0).
bool PointerAsMouse(HWND hwnd, UINT message, LPARAM lParam);

// The main window's side of the layer messages.
// kMsgPenLayerChanged: the colour picker re-reads the colour, the layer panel repaints.
void OnPenLayerChanged(MainWindow& w);
// kMsgCurrentLayerChanged: the colour picker re-reads the colour; the pen setting panel and the
// pen list re-read the pen and the layer colours; the panels repaint.
void OnCurrentLayerChanged(MainWindow& w);
// kMsgLayerEntryChanged: the palette is computed again and the whole view composed again
// (ApplyLayerEntryChange), the title shows the unsaved change, the panels that show layer
// colours repaint.
void OnLayerEntryChanged(MainWindow& w);
// After the canvas or the current pen was replaced: the layer panel and the pen setting panel
// refresh everything (kMsgRefreshPanel), the colour picker re-reads the colour.
void RefreshLayerPanels(MainWindow& w);
// CMD_POPUP_PALETTE: the palette ring opens centred on the pointer, inside the client area (the
// floating pen selector is hidden first).
void ShowPaletteRing(MainWindow& w);
// Puts the ring away if it is shown (a press on the view does, as outside any popup).
void HidePaletteRing(MainWindow& w);
