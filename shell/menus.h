// The main window's menu bar: the language library's "MAINMENU" with the menus the program
// makes (the pen menu with its texture and material submenus, the language menu), the greying
// and check marks of an opening popup, and the items that switch the language or pick a
// texture or material file.
#pragma once

#include <windows.h>

#include <cstdint>

#include "app/language_menu.h"
#include "shell/language_module.h"

struct MainWindow;

struct ProgramMenus {
  LanguageModule module;
  HMENU bar = nullptr;       // the window menu; owns the popups below
  HMENU pen = nullptr;
  HMENU language = nullptr;
  HMENU texture = nullptr;
  HMENU material = nullptr;
  ListedMenus items;         // the texts of the listed menus' items
};

// Loads the language library that ResourceFile names and sets its main menu, with the made
// menus inserted, as the window menu. When the library cannot be loaded it says so ("Can't
// load language dll.") and the window goes on without menus and language strings.
void LoadLanguageAndMenus(MainWindow& w);

// Takes the menu off the window and frees it and the library.
void FreeLanguageAndMenus(MainWindow& w);

// A popup is opening: the pen menu's names are refreshed from the pen slots, and every item
// is greyed and checked from the command state.
void OnInitMenuPopup(MainWindow& w, HMENU popup);

// Runs command when it is an item of the language, texture or material menu and returns true;
// returns false for every other command. A language item stores its library as ResourceFile
// and rebuilds the menus from it; a texture item becomes the current pen's texture file, a
// material item the paper material file, and the session loads it (ChooseListedResource).
bool RunListedMenuCommand(MainWindow& w, int32_t command);
