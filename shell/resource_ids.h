// Resource identifiers of the program module (menus and strings live in the language library).
#pragma once

#define IDI_DOTWRIGHT 102  // the program icon: the main window class, the about box
#define IDC_CANVAS 104     // the cursor over the canvas
