// The menus the program makes around the language library's main menu, without the window
// calls: which files the language, texture and material menus list and the item texts made
// from their names, which file an item stands for, which listed item a command identifier
// picks, the pen menu's item texts, and how each item of an opening popup is greyed and
// checked. The shell turns these into menus.
//
// The menu bar, left to right: the library's file and edit menus, the pen menu (the 16 pen
// slots, then the texture and material menus as submenus), the language menu, then the rest of
// the library's menu bar (view, window, ...).
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "app/command_state.h"
#include "brush/pen_setting.h"
#include "settings/app_settings.h"
#include "settings/command_ids.h"

// Numbers of the language library's strings that the menus and the start-up use.
inline constexpr uint32_t kStringSaveChangesFirst = 1;  // the question before unsaved changes go
inline constexpr uint32_t kStringNotAFolder = 2;        // the working folder is not a folder
inline constexpr uint32_t kStringTextFont = 9;      // the face name text is stamped in
inline constexpr uint32_t kStringResetAfterAbnormalEnd = 15;  // the question after two abnormal ends
inline constexpr uint32_t kStringRestoreRecoveryCopy = 16;    // the offer of the copy an abnormal end left
inline constexpr uint32_t kStringPenMenu = 300;       // the pen menu's title
inline constexpr uint32_t kStringFirstPenKind = 301;  // 301 + KindOfPen: the kind's name
inline constexpr uint32_t kStringTextureMenu = 401;   // the texture submenu's title
inline constexpr uint32_t kStringMaterialMenu = 402;  // the material submenu's title

// The language menu's title is the same in every language.
inline constexpr char16_t kLanguageMenuText[] = u"Language(&L)";

// Where the made menus go into the library's menu bar: the language menu is inserted at
// position 2 first, then the pen menu at position 2 in front of it.
inline constexpr int kLanguageMenuPosition = 2;
inline constexpr int kPenMenuPosition = 2;

// The language libraries lie in <program folder>\language; textures and materials in the user
// data folder's "texture" and "material" folders.
std::filesystem::path LanguageFolder(const AppSettings& settings);
std::filesystem::path TextureFolder(const AppSettings& settings);
std::filesystem::path MaterialFolder(const AppSettings& settings);

// The library to load: LanguageFolder / ResourceFile.
std::filesystem::path LanguageLibraryPath(const AppSettings& settings);

// The item texts of a listed menu: the names of the regular files of folder whose names end
// in extension (".dll", ".bmp"; ASCII letters in any case, as the system's "*.dll" search
// matches), without that extension, in the order the system's directory search gives on
// Windows: by name with ASCII letters compared in upper case, ties broken by the exact name.
// A missing or unreadable folder gives none.
std::vector<std::u16string> ListMenuItems(const std::filesystem::path& folder, std::u16string_view extension);

enum class ListedMenu : int32_t { kNone, kLanguage, kTexture, kMaterial };

// The item texts of the three listed menus; item k has the menu's base identifier + k.
struct ListedMenus {
  std::vector<std::u16string> languages;  // CMD_LANGUAGE_ITEM + k
  std::vector<std::u16string> textures;   // CMD_TEXTURE_ITEM + k
  std::vector<std::u16string> materials;  // CMD_MATERIAL_ITEM + k
};

// Lists the language folder's "*.dll", the texture folder's and the material folder's "*.bmp".
ListedMenus ListListedMenus(const AppSettings& settings);

// Marks in s the texture item naming the current pen's TextureFileName and the material item
// naming MaterialFileName (item text + ".bmp"), so that the menus check the files in use.
void MarkListedChoices(const ListedMenus& menus, const AppSettings& settings, CommandSnapshot& s);

// The language item whose file is resourceFile (ASCII letters in any case, as the system
// compares file names), or -1: the item checked in the language menu.
int32_t LanguageItemOf(const std::vector<std::u16string>& languages, std::u16string_view resourceFile);

// Which listed item a command identifier picks; kNone (index -1) for any other identifier and
// for identifiers past the end of their menu.
struct ListedItem {
  ListedMenu menu;
  int32_t index;
  bool operator==(const ListedItem&) const = default;
};
ListedItem FindListedItem(CommandId id, const ListedMenus& menus);

// The item of a listed menu whose file is `file` (ASCII letters in any case), or -1: the
// texture or material the texture panels mark as chosen.
int32_t ListedItemOfFile(ListedMenu menu, const std::vector<std::u16string>& items, std::u16string_view file);

// The file an item stands for: its text + ".dll" for a language, + ".bmp" for a texture or a
// material; empty for kNone.
std::u16string ListedItemFile(ListedMenu menu, std::u16string_view text);

// Stores the file of a chosen item where it is used: a language in ResourceFile, a texture in
// the current pen's TextureFileName, a material in MaterialFileName. Returns false, changing
// nothing, for kNone and for a file name that does not fit the field.
bool StoreListedItem(AppSettings& settings, ListedMenu menu, std::u16string_view text);

// The pen menu's item for a pen slot: the pen's name, with every "&" doubled so that it shows
// as itself.
std::u16string PenMenuText(const PenSetting& pen);

// What to do to one item of a popup that is opening, from the item's identifier as the system
// gives it (0xFFFFFFFF for a submenu, 0 for a separator): submenus and separators are left
// alone (apply false); every other item is greyed and checked as QueryCommand says.
struct MenuItemMarks {
  bool apply;
  bool enabled;
  bool checked;
  bool operator==(const MenuItemMarks&) const = default;
};
MenuItemMarks MarksOfMenuItem(uint32_t itemId, const CommandSnapshot& snapshot);
