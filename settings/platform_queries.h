// What the settings need to know about the machine and the main window. The Windows shell
// fills this record before InitSettings (known folders, the executable's folder, the display,
// the locale, the main window's placement); natively, tests and tools fill it by hand. Every
// field has a "not known" value, and InitSettings then keeps its built-in default.
#pragma once

#include <cstdint>
#include <filesystem>

// Laid out like the Windows WINDOWPLACEMENT record (11 32-bit slots, 44 bytes), so the shell
// can copy it field by field in both directions.
struct PlacementPoint {
  int32_t x, y;
};
struct PlacementRect {
  int32_t left, top, right, bottom;  // screen pixels, right and bottom exclusive
};
struct WindowPlacement {
  uint32_t length;        // 44
  uint32_t flags;
  uint32_t showCmd;       // SW_* show state; 3 = maximised
  PlacementPoint ptMinPosition;
  PlacementPoint ptMaxPosition;
  PlacementRect rcNormalPosition;  // restored rectangle
};
static_assert(sizeof(WindowPlacement) == 44, "WindowPlacement mirrors WINDOWPLACEMENT");

inline constexpr uint32_t kJapaneseLocale = 1041;  // LCID of ja-JP

struct PlatformQueries {
  uintptr_t mainWindow;                  // owner of the key binding tables (an HWND), or 0
  std::filesystem::path picturesFolder;  // the user's Pictures known folder; empty when unknown
  std::filesystem::path programFolder;   // folder of the running executable; empty when unknown
  // The first command-line argument after the program name, as the shell split it (it may
  // still begin with a double quote); empty when there is none.
  std::u16string commandLineFile;
  uint32_t systemLocale;                 // LCID of the system default locale; 0 when unknown
  WindowPlacement placement;             // of the main window when defaults are set
  int32_t clientWidth, clientHeight;     // the main window's client size, pixels
  // The first of the first ten display devices attached to the desktop: horizontal resolution
  // in pixels and horizontal size in millimetres; 0 when there is none.
  int32_t displayPixelsX;
  int32_t displayMillimetresX;
  // Effective DPI of the monitor nearest the main window; 0 when SHCore.dll or its
  // GetDpiForMonitor is missing.
  uint32_t monitorDpiX, monitorDpiY;
};
