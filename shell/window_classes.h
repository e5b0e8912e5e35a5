// The program's window classes, registered in this order by the entry point.
#pragma once

#include <windows.h>

inline constexpr wchar_t kViewWindowClass[] = L"View Window Class";

// Registers every class. The main class carries the program icon; the others reuse its record
// with their own procedure and name, no icon, and from "Panel Window Class" on the arrow
// cursor. Returns false when the main class cannot be registered (the others are optional).
bool RegisterWindowClasses(HINSTANCE instance);
