// The panel column and the main window's layout: the column window ("Panel Window Class") with
// its scroll bar and icon strip, its twelve members, the view beside it, the window commands
// that show, hide, move and separate them, and the floating arrangement.
#pragma once

#include <windows.h>

#include <cstdint>

#include "app/panel_layout.h"
#include "app/view_commands_run.h"

struct MainWindow;

inline constexpr int kStripButtonCount = 3;

// The panel windows of the main window. The geometry comes from app/panel_layout.
struct PanelWindows {
  HWND column = nullptr;
  HWND strip[kStripButtonCount] = {};
  HWND members[kPanelMemberCount] = {};  // null for the texture panels when their menu is empty
  float scale = 1.0f;                    // the UI scale factor, fixed for the run
  int32_t offset = 0;                    // the column's scroll offset
  ColumnContents contents;               // rows of the texture panels (menu items at creation)
  bool floating = false;                 // the separate arrangement is applied
  HFONT font = nullptr;                  // the panel font

  PanelWindows() = default;
  PanelWindows(const PanelWindows&) = delete;
  PanelWindows& operator=(const PanelWindows&) = delete;
  ~PanelWindows();
};

// Creates the column and, in this order, the tablet information, the loupe, icon windows 0
// to 3, the pen setting, the colour picker, the layer panel, the pen list and the texture
// panels (these only when their menu lists files), and shows each by its setting. Also hooks
// the input step's sample notice to the tablet information and the loupe.
bool CreatePanelWindows(MainWindow& w);

// The end of start-up: a set view_panel_right and SeparatePanel are cleared and their commands
// posted, which set them again and arrange the panels; the tablet information and the loupe
// are drawn.
void FinishPanelStartUp(MainWindow& w);

// Places the view and the docked column in the main window's client area.
void LayOutMainWindow(MainWindow& w);

// Runs a command of the window menu (40500..40515, 40552); false for any other command.
bool RunPanelCommand(MainWindow& w, int32_t command);

// While the panels float: their top-left corners, in the main window's client coordinates,
// become the floating position settings.
void StoreFloatingPanelPositions(MainWindow& w);

// The wheel over the docked column scrolls it; returns false when the cursor is elsewhere.
bool ScrollColumnByWheel(MainWindow& w, int delta);

// After a command: the panels that show the current pen, the layers and the texture files are
// repainted, the floating captions follow the language; the tablet information and the loupe
// are redrawn when the view moved.
void RefreshPanelsAfterCommand(MainWindow& w, const CommandOutcome& outcome);

LRESULT CALLBACK PanelColumnProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK PanelIconProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
