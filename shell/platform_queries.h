// What the settings need to know about the machine, read from Windows.
#pragma once

#include <windows.h>

#include "settings/platform_queries.h"

// The Pictures folder, the program's folder, the first command-line argument, the locale, the
// main window's placement and client size, the first display's size and the monitor's DPI.
PlatformQueries QueryPlatform(HWND mainWindow, const wchar_t* commandLine);
