#include "shell/window_classes.h"

#include "shell/bar_control.h"
#include "shell/colour_windows.h"
#include "shell/member_windows.h"
#include "shell/info_windows.h"
#include "shell/main_window.h"
#include "shell/panel_column.h"
#include "shell/pen_panels.h"
#include "shell/resource_ids.h"
#include "shell/view_window.h"

namespace {

struct WindowClass {
  const wchar_t* name;
  WNDPROC procedure;
};

// Windows still to be built answer with the default procedure until their panel lands.
constexpr WindowClass kClasses[] = {
    {kMainWindowClass, MainWindowProc},
    {kViewWindowClass, ViewWindowProc},
    {L"Panel Window Class", PanelColumnProc},
    {kPaletteRingClass, PaletteRingProc},
    {L"Pen Floating Window Class", PenSelectorProc},
    {L"Easy Panel Window Class", EasyPanelProc},
    {L"Easy Panel Icon Class", DefWindowProcW},
    {L"Easy Panel Brush Icon Window Class", PenIconProc},
    {L"Easy Panel Color Palette Class", DefWindowProcW},
    {L"Panel Icon Class", PanelIconProc},
    {L"BMP Window Class", InfoWindowProc},
    {L"Icon Window Class", IconWindowProc},
    {L"Icon Window 1 Class", IconWindowProc},
    {L"Icon Window 2 Class", IconWindowProc},
    {L"Icon Window 3 Class", IconWindowProc},
    {L"Pen Window Class", PenWindowProc},
    {L"Color Picker Window Class", ColorPickerWindowProc},
    {L"Layer Window Class", LayerWindowProc},
    {kVisibleToggleClass, LayerToggleProc},
    {kLockToggleClass, LayerToggleProc},
    {kColourSwatchClass, ColourSwatchProc},
    {kBarWindowClass, BarWindowProc},
    {L"Pen List Window Class", PenListWindowProc},
    {L"Tex Window Class", TextureWindowProc},
    {L"Paper Tex Window Class", TextureWindowProc},
    {kSelectionWindowClass, SelectionWindowProc},
    {L"Drag Point Window Class", DefWindowProcW},
};
static_assert(sizeof kClasses / sizeof kClasses[0] == 27);

}  // namespace

bool RegisterWindowClasses(HINSTANCE instance) {
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof wc;
  wc.style = CS_HREDRAW | CS_VREDRAW | CS_DBLCLKS;
  wc.hInstance = instance;
  wc.hbrBackground = nullptr;  // every window paints all its pixels itself
  for (const WindowClass& c : kClasses) {
    const bool main = c.procedure == MainWindowProc;
    wc.lpfnWndProc = c.procedure;
    wc.lpszClassName = c.name;
    wc.hIcon = main ? LoadIconW(instance, MAKEINTRESOURCEW(IDI_DOTWRIGHT)) : nullptr;
    // The main window shows the arrow; the view sets its own cursor; the panels from
    // "Panel Window Class" on get the arrow.
    wc.hCursor = c.procedure == ViewWindowProc ? nullptr : LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
    if (!RegisterClassExW(&wc) && main) return false;
  }
  return true;
}
