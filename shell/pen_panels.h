// The pen panels and the main window: what the main window does with the private messages
// of the pen window, the pen list, the pen icons, the floating pen selector and the easy panel,
// and what the panels share among themselves (the pen icon window, its picture).
//
// The main window owns the floating pen selector and the easy panel (children of its client
// area, created with the panels); the pen window and the pen list are members of the panel
// column.
#pragma once

#include <windows.h>

#include <cstdint>

#include "app/panel_layout.h"
#include "brush/pen_setting.h"

struct MainWindow;

// ---- The main window's side ---------------------------------------------------------------

// Creates the floating pen selector (hidden) and the easy panel (shown by ShowEasyPanel).
bool CreatePenPopups(MainWindow& w);
// Shows or hides the easy panel by ShowEasyPanel, kept inside the client area.
void PlaceEasyPanel(MainWindow& w);

// kMsgSetPenSizeOrHardness: which 1 sets the current pen's Size, 2 its Hardness (clamped).
void SetPenSizeOrHardness(MainWindow& w, WPARAM which, LPARAM value);
// kMsgSelectPenSlot and kMsgReselectCurrentPen: pen slot 0..15 becomes current as the pen menu
// makes it, and every pen panel shows it.
void SelectPenSlot(MainWindow& w, int32_t slot);
// kMsgSelectPenSlot as it arrives: w is a pen slot from the pen panels, or the pen setting
// dialog's window when that dialog changed the pen's kind (PenKindChanged).
void OnSelectPenSlotMessage(MainWindow& w, WPARAM wParam);
// kMsgPenKindChanged: the pen list, the selector and the easy panel redraw their pictures.
void PenKindChanged(MainWindow& w);
// kMsgPenLayerChanged: the panels that show layer colours and the icons follow the pen's layer.
void PenLayerChanged(MainWindow& w);
// kMsgRecolourIcons: every pen icon takes its layer's colour again.
void RecolourPenIcons(MainWindow& w);
// kMsgShowPenSelector and CMD_POPUP_PENS: the selector appears at the mouse.
void ShowPenSelector(MainWindow& w);
void HidePenSelector(MainWindow& w);
// After anything that may have changed the current pen or the layers: the pen window re-reads
// the current pen, the pen list marks it, the icons follow.
void TellPenPanels(MainWindow& w);
// CMD_POPUP_PENS shows the selector and returns true; CMD_POPUP_PALETTE hides it and returns
// false (the palette is shown by its own code); false for every other command.
bool RunPenPopupCommand(MainWindow& w, int32_t command);

// The easy panel's layer colours: layer 0..7 becomes the current layer and, for a pen with a
// layer of its own, that pen's layer; every panel follows.
void ChooseDrawingLayer(MainWindow& w, int32_t layer);

// A double click on a pen's row or icon: opens the pen's setting dialog unless one is open for
// it already (its dialog-open flag).
void OpenPenSettingDialogOnce(MainWindow& w, int32_t slot);

// ---- Shared by the panels -----------------------------------------------------------------

// From a pen icon to its parent (w: the icon window): the icon was clicked.
inline constexpr UINT kMsgPenIconClicked = 0x8019;

// "Easy Panel Brush Icon Window Class": one pen's picture; child identifier = its slot.
// To it: kMsgSelectPenSlot (l 1 marks it selected, 0 unmarks), kMsgPenKindChanged (take the
// picture of the pen's kind again), kMsgRecolourIcons (repaint in the layer colours).
LRESULT CALLBACK PenIconProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
HWND CreatePenIcon(HWND parent, MainWindow& w, int32_t slot, const WindowBox& box);
// Sends message to every pen icon that is a child of parent.
void TellPenIcons(HWND parent, UINT message, WPARAM wParam, LPARAM lParam);
// Marks the icon of the current pen among parent's icons and unmarks the others.
void MarkCurrentPenIcon(HWND parent, const MainWindow& w);

// Draws pen's picture side x side at (x, y) on background, its layer part in the colour of
// the layer the pen draws on.
void DrawPenPicture(HDC dc, const MainWindow& w, const PenSetting& pen, int x, int y, int side, COLORREF background);

// "Pen Floating Window Class" and "Easy Panel Window Class".
LRESULT CALLBACK PenSelectorProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK EasyPanelProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
