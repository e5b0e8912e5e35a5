// Resource identifiers of the program module (menus and strings live in the language library).
#pragma once

#define IDI_DOTWRIGHT 102  // the program icon: the main window class, the about box
#define IDC_CANVAS 104     // the cursor over the canvas
// The layer panel's toggles: a shown and a hidden layer, a locked and an unlocked one.
#define IDI_LAYER_VISIBLE 129
#define IDI_LAYER_HIDDEN 130
#define IDI_LAYER_LOCKED 131
#define IDI_LAYER_UNLOCKED 132
#define IDB_HUE_RING 157   // the colour picker's hue ring, 384 x 384
