#include "app/language_menu.h"

#include <gtest/gtest.h>

#include <memory>

#include "canvas/temp_folder_test_support.h"
#include "files/utf_text.h"

namespace {

using Items = std::vector<std::u16string>;

void Touch(const std::filesystem::path& file) { WriteAll(file, "x"); }

// Settings with a program folder and a user data folder under one temporary folder.
struct Folders {
  TempFolder temp;
  AppSettings settings{};
  Folders() {
    settings.programFolder = temp.path / "program";
    settings.userDataFolder = temp.path / "data";
    std::filesystem::create_directories(LanguageFolder(settings));
    std::filesystem::create_directories(TextureFolder(settings));
    std::filesystem::create_directories(MaterialFolder(settings));
  }
};

}  // namespace

TEST(LanguageMenu, FoldersOfTheListedMenus) {
  AppSettings s{};
  s.programFolder = std::filesystem::path("prog");
  s.userDataFolder = std::filesystem::path("data");
  CopyText(s.ResourceFile, u"English.dll");
  EXPECT_EQ(LanguageFolder(s), std::filesystem::path("prog") / "language");
  EXPECT_EQ(LanguageLibraryPath(s), std::filesystem::path("prog") / "language" / "English.dll");
  EXPECT_EQ(TextureFolder(s), std::filesystem::path("data") / "texture");
  EXPECT_EQ(MaterialFolder(s), std::filesystem::path("data") / "material");
}

TEST(LanguageMenu, ListsMatchingFilesWithoutTheirExtensionInSystemOrder) {
  Folders f;
  const std::filesystem::path folder = LanguageFolder(f.settings);
  for (const char* name : {"Japanese.dll", "English.DLL", "_test.dll", "deutsch.dll", "readme.txt", "dll", ".dll",
                           "English.dll.bak", "a.b.dll"})
    Touch(folder / name);
  std::filesystem::create_directories(folder / "Folder.dll");
  // Upper-case order puts "_" after the letters; "." (0x2E) before letters.
  EXPECT_EQ(ListMenuItems(folder, u".dll"), (Items{u"a.b", u"deutsch", u"English", u"Japanese", u"_test"}));
}

TEST(LanguageMenu, MissingFolderListsNothing) {
  TempFolder temp;
  EXPECT_EQ(ListMenuItems(temp.path / "absent", u".dll"), Items{});
  EXPECT_EQ(ListMenuItems(std::filesystem::path(), u".dll"), Items{});
}

TEST(LanguageMenu, ListsTheThreeMenus) {
  Folders f;
  Touch(LanguageFolder(f.settings) / "English.dll");
  Touch(LanguageFolder(f.settings) / "Japanese.dll");
  Touch(TextureFolder(f.settings) / "tone_50.bmp");
  Touch(TextureFolder(f.settings) / "dots.bmp");
  Touch(TextureFolder(f.settings) / "notes.png");
  Touch(MaterialFolder(f.settings) / "none.bmp");
  const ListedMenus menus = ListListedMenus(f.settings);
  EXPECT_EQ(menus.languages, (Items{u"English", u"Japanese"}));
  EXPECT_EQ(menus.textures, (Items{u"dots", u"tone_50"}));
  EXPECT_EQ(menus.materials, (Items{u"none"}));
}

TEST(LanguageMenu, NoUserDataFolderListsNoTexturesOrMaterials) {
  Folders f;
  Touch(LanguageFolder(f.settings) / "English.dll");
  f.settings.userDataFolder.clear();
  const ListedMenus menus = ListListedMenus(f.settings);
  EXPECT_EQ(menus.languages, (Items{u"English"}));
  EXPECT_EQ(menus.textures, Items{});
  EXPECT_EQ(menus.materials, Items{});
}

TEST(LanguageMenu, LanguageItemOfTheResourceFile) {
  const Items languages{u"English", u"Japanese"};
  struct Case {
    std::u16string_view file;
    int32_t item;
  };
  constexpr Case kCases[] = {
      {u"English.dll", 0}, {u"Japanese.dll", 1}, {u"japanese.DLL", 1},
      {u"Japanese", -1},   {u"French.dll", -1},  {u"", -1},
  };
  for (const Case& c : kCases) EXPECT_EQ(LanguageItemOf(languages, c.file), c.item) << Utf16ToUtf8(c.file);
  EXPECT_EQ(LanguageItemOf(Items{}, u"English.dll"), -1);
  // A texture or material item stands for its .bmp file.
  const Items papers{u"canvas", u"kent"};
  EXPECT_EQ(ListedItemOfFile(ListedMenu::kMaterial, papers, u"Kent.bmp"), 1);
  EXPECT_EQ(ListedItemOfFile(ListedMenu::kTexture, papers, u"kent.dll"), -1);
}

TEST(LanguageMenu, FindListedItemIsBoundedByEachMenu) {
  ListedMenus menus;
  menus.languages = {u"English", u"Japanese"};
  menus.textures = {u"a", u"b", u"c"};
  menus.materials = {u"none"};
  struct Case {
    int id;
    ListedItem item;
  };
  constexpr ListedItem kNone{ListedMenu::kNone, -1};
  const Case kCases[] = {
      {40901, {ListedMenu::kLanguage, 0}},
      {40902, {ListedMenu::kLanguage, 1}},
      {40903, kNone},
      {40900, kNone},
      {40301, {ListedMenu::kTexture, 0}},
      {40303, {ListedMenu::kTexture, 2}},
      {40304, kNone},
      {40401, {ListedMenu::kMaterial, 0}},
      {40402, kNone},
      {40201, kNone},
      {40004, kNone},
      {45001, kNone},
  };
  for (const Case& c : kCases) EXPECT_EQ(FindListedItem(static_cast<CommandId>(c.id), menus), c.item) << c.id;
  EXPECT_EQ(FindListedItem(CMD_LANGUAGE_ITEM, ListedMenus{}), kNone);
}

TEST(LanguageMenu, ItemFiles) {
  EXPECT_EQ(ListedItemFile(ListedMenu::kLanguage, u"Japanese"), u"Japanese.dll");
  EXPECT_EQ(ListedItemFile(ListedMenu::kTexture, u"tone_50"), u"tone_50.bmp");
  EXPECT_EQ(ListedItemFile(ListedMenu::kMaterial, u"none"), u"none.bmp");
  EXPECT_EQ(ListedItemFile(ListedMenu::kNone, u"none"), u"");
}

TEST(LanguageMenu, StoresTheChosenItemWhereItIsUsed) {
  AppSettings s{};
  s.numPenSetting = 3;
  CopyText(s.ResourceFile, u"English.dll");
  CopyText(s.MaterialFileName, u"none.bmp");
  EXPECT_TRUE(StoreListedItem(s, ListedMenu::kLanguage, u"Japanese"));
  EXPECT_EQ(TextOf(s.ResourceFile), u"Japanese.dll");
  EXPECT_TRUE(StoreListedItem(s, ListedMenu::kTexture, u"dots"));
  EXPECT_EQ(TextOf(s.pens[3].TextureFileName), u"dots.bmp");
  EXPECT_EQ(TextOf(s.pens[2].TextureFileName), u"");
  EXPECT_TRUE(StoreListedItem(s, ListedMenu::kMaterial, u"kraft"));
  EXPECT_EQ(TextOf(s.MaterialFileName), u"kraft.bmp");
  EXPECT_FALSE(StoreListedItem(s, ListedMenu::kNone, u"x"));
}

TEST(LanguageMenu, RefusesAFileNameThatDoesNotFit) {
  AppSettings s{};
  CopyText(s.ResourceFile, u"English.dll");
  // 256 units + ".dll" fill all 260 units, leaving none for the terminating zero.
  EXPECT_FALSE(StoreListedItem(s, ListedMenu::kLanguage, std::u16string(kPathUnits - 4, u'a')));
  EXPECT_EQ(TextOf(s.ResourceFile), u"English.dll");
  EXPECT_TRUE(StoreListedItem(s, ListedMenu::kLanguage, std::u16string(kPathUnits - 5, u'a')));
  EXPECT_EQ(TextOf(s.ResourceFile).size(), static_cast<size_t>(kPathUnits - 1));
  s.numPenSetting = 16;
  EXPECT_FALSE(StoreListedItem(s, ListedMenu::kTexture, u"dots"));
}

TEST(LanguageMenu, PenMenuTextShowsAmpersandsAsThemselves) {
  struct Case {
    std::u16string_view name;
    std::u16string_view text;
  };
  constexpr Case kCases[] = {
      {u"pencil", u"pencil"}, {u"鉛筆", u"鉛筆"}, {u"pen & ink", u"pen && ink"}, {u"&&", u"&&&&"}, {u"", u""},
  };
  for (const Case& c : kCases) {
    PenSetting pen{};
    CopyText(pen.Name, c.name);
    EXPECT_EQ(PenMenuText(pen), c.text) << Utf16ToUtf8(c.name);
  }
}

TEST(LanguageMenu, MarksOfOpeningPopupItems) {
  CommandSnapshot s{};
  s.viewScale = 0.5f;
  s.viewMirrored = true;
  s.currentPen = 2;
  s.currentLanguage = 1;
  s.canUndo = true;
  struct Case {
    uint32_t id;
    MenuItemMarks marks;
  };
  constexpr Case kCases[] = {
      {0xFFFFFFFFu, {false, true, false}},  // a submenu
      {0, {false, true, false}},            // a separator
      {0x10000, {false, true, false}},      // no command has it
      {40003, {true, true, false}},
      {40004, {true, true, false}},   // saving archives without a current file
      {40008, {true, false, false}},  // zoomed in
      {40101, {true, true, false}},
      {40102, {true, false, false}},
      {40203, {true, true, true}},  // pen slot 2
      {40204, {true, true, false}},
      {40901, {true, true, false}},
      {40902, {true, true, true}},  // language item 1
      {40537, {true, true, true}},  // mirrored
      {40527, {true, true, true}},  // zoom preset 0.5
      {40526, {true, true, false}},
      {40301, {true, true, false}},  // texture items are never greyed
  };
  for (const Case& c : kCases) EXPECT_EQ(MarksOfMenuItem(c.id, s), c.marks) << c.id;
}

TEST(LanguageMenu, TheTextureAndMaterialInUseAreChecked) {
  auto settings = std::make_unique<AppSettings>();
  settings->numPenSetting = 3;
  CopyText(settings->pens[3].TextureFileName, u"tone_50.bmp");
  CopyText(settings->MaterialFileName, u"rough_grain.bmp");
  ListedMenus menus;
  menus.textures = {u"tone_10", u"tone_50"};
  menus.materials = {u"none", u"fine_grain", u"rough_grain"};
  CommandSnapshot s{};
  MarkListedChoices(menus, *settings, s);
  EXPECT_EQ(MarksOfMenuItem(40301, s), (MenuItemMarks{true, true, false}));
  EXPECT_EQ(MarksOfMenuItem(40302, s), (MenuItemMarks{true, true, true}));
  EXPECT_EQ(MarksOfMenuItem(40403, s), (MenuItemMarks{true, true, true}));
  EXPECT_EQ(MarksOfMenuItem(40401, s), (MenuItemMarks{true, true, false}));
  CopyText(settings->MaterialFileName, u"gone.bmp");  // a file no longer in the folder
  MarkListedChoices(menus, *settings, s);
  EXPECT_EQ(s.checkedMaterial, -1);
}
