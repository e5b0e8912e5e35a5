#include "shell/menus.h"

#include <string>

#include "app/texture_choice.h"
#include "files/utf_text.h"
#include "shell/main_window.h"

namespace {

const wchar_t* Wide(const std::u16string& text) { return reinterpret_cast<const wchar_t*>(text.c_str()); }

// A popup with one item per listed file, identifiers first + k.
HMENU MakeListedMenu(const std::vector<std::u16string>& items, CommandId first) {
  HMENU menu = CreatePopupMenu();
  if (!menu) return nullptr;
  for (size_t k = 0; k < items.size(); ++k) AppendMenuW(menu, MF_STRING, first + k, Wide(items[k]));
  return menu;
}

void SetPenNames(const ProgramMenus& menus, const AppSettings& settings) {
  for (int k = 0; k < kPenCount; ++k) {
    const std::u16string text = PenMenuText(settings.pens[k]);
    MENUITEMINFOW info{};
    info.cbSize = sizeof info;
    info.fMask = MIIM_STRING;
    info.dwTypeData = const_cast<wchar_t*>(Wide(text));
    SetMenuItemInfoW(menus.pen, CMD_SELECT_PEN_0 + k, FALSE, &info);
  }
}

// The pen menu: the 16 pen slots, then the texture and material submenus.
HMENU MakePenMenu(ProgramMenus& menus, const AppSettings& settings) {
  HMENU pen = CreatePopupMenu();
  if (!pen) return nullptr;
  for (int k = 0; k < kPenCount; ++k) {
    const std::u16string text = PenMenuText(settings.pens[k]);
    AppendMenuW(pen, MF_STRING, CMD_SELECT_PEN_0 + k, Wide(text));
  }
  AppendMenuW(pen, MF_SEPARATOR, 0, nullptr);
  menus.texture = MakeListedMenu(menus.items.textures, CMD_TEXTURE_ITEM);
  if (menus.texture)
    AppendMenuW(pen, MF_POPUP, reinterpret_cast<UINT_PTR>(menus.texture), LanguageString(menus.module, kStringTextureMenu));
  menus.material = MakeListedMenu(menus.items.materials, CMD_MATERIAL_ITEM);
  if (menus.material)
    AppendMenuW(pen, MF_POPUP, reinterpret_cast<UINT_PTR>(menus.material),
                LanguageString(menus.module, kStringMaterialMenu));
  return pen;
}

void ForgetMenus(ProgramMenus& menus) {
  menus.bar = menus.pen = menus.language = menus.texture = menus.material = nullptr;
}

}  // namespace

void LoadLanguageAndMenus(MainWindow& w) {
  ProgramMenus& menus = w.menus;
  AppSettings& settings = w.app.settings;
  w.app.currentLanguage = -1;
  if (!LoadLanguageModule(menus.module, LanguageLibraryPath(settings))) {
    ReportError(L"Can't load language dll.");
    return;
  }
  menus.bar = LoadMenuW(menus.module.library, L"MAINMENU");
  if (!menus.bar) return;
  menus.items = ListListedMenus(settings);
  w.app.currentLanguage = LanguageItemOf(menus.items.languages, TextOf(settings.ResourceFile));

  menus.language = MakeListedMenu(menus.items.languages, CMD_LANGUAGE_ITEM);
  if (menus.language)
    InsertMenuW(menus.bar, kLanguageMenuPosition, MF_BYPOSITION | MF_POPUP, reinterpret_cast<UINT_PTR>(menus.language),
                reinterpret_cast<const wchar_t*>(kLanguageMenuText));
  menus.pen = MakePenMenu(menus, settings);
  if (menus.pen)
    InsertMenuW(menus.bar, kPenMenuPosition, MF_BYPOSITION | MF_POPUP, reinterpret_cast<UINT_PTR>(menus.pen),
                LanguageString(menus.module, kStringPenMenu));
  SetMenu(w.window, menus.bar);
  DrawMenuBar(w.window);
}

void FreeLanguageAndMenus(MainWindow& w) {
  ProgramMenus& menus = w.menus;
  if (menus.bar) {
    if (GetMenu(w.window) == menus.bar) SetMenu(w.window, nullptr);
    DestroyMenu(menus.bar);  // with every popup in it
  }
  ForgetMenus(menus);
  menus.items = ListedMenus{};
  FreeLanguageModule(menus.module);
  w.app.currentLanguage = -1;
}

void OnInitMenuPopup(MainWindow& w, HMENU popup) {
  if (!popup) return;
  if (popup == w.menus.pen) SetPenNames(w.menus, w.app.settings);
  CommandSnapshot snapshot = TakeCommandSnapshot(w.app, IsClipboardFormatAvailable(CF_DIB));
  MarkListedChoices(w.menus.items, w.app.settings, snapshot);
  const int count = GetMenuItemCount(popup);
  for (int i = 0; i < count; ++i) {
    const MenuItemMarks marks = MarksOfMenuItem(GetMenuItemID(popup, i), snapshot);
    if (!marks.apply) continue;
    EnableMenuItem(popup, i, MF_BYPOSITION | (marks.enabled ? MF_ENABLED : MF_GRAYED));
    CheckMenuItem(popup, i, MF_BYPOSITION | (marks.checked ? MF_CHECKED : MF_UNCHECKED));
  }
}

bool RunListedMenuCommand(MainWindow& w, int32_t command) {
  if (command < 0 || command > 0xFFFF) return false;
  const ListedItem item = FindListedItem(static_cast<CommandId>(command), w.menus.items);
  if (item.menu == ListedMenu::kNone) return false;
  if (item.menu != ListedMenu::kLanguage) {
    (void)ChooseListedResource(w.app, w.menus.items, item.menu, static_cast<uint64_t>(item.index));
    return true;
  }
  if (!StoreListedItem(w.app.settings, item.menu, w.menus.items.languages[static_cast<size_t>(item.index)])) return true;
  FreeLanguageAndMenus(w);
  LoadLanguageAndMenus(w);
  DrawMenuBar(w.window);
  RedrawWindow(w.window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
  return true;
}
