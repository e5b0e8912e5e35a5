// Resource identifiers of the program module (menus and strings live in the language library).
#pragma once

#define IDI_DOTWRIGHT 102
