#include "app/language_menu.h"

#include <algorithm>
#include <system_error>

#include "files/utf_text.h"

namespace {

constexpr std::u16string_view kLibraryExtension = u".dll";
constexpr std::u16string_view kBitmapExtension = u".bmp";

// File names compare as the system compares them: ASCII letters folded to upper case.
char16_t FoldAscii(char16_t c) { return c >= u'a' && c <= u'z' ? static_cast<char16_t>(c - u'a' + u'A') : c; }

bool SameFoldedText(std::u16string_view a, std::u16string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (FoldAscii(a[i]) != FoldAscii(b[i])) return false;
  return true;
}

bool EndsWithFolded(std::u16string_view name, std::u16string_view ending) {
  return name.size() >= ending.size() && SameFoldedText(name.substr(name.size() - ending.size()), ending);
}

// The directory search's order: upper-case letters, then length, then the exact name.
bool NameBefore(const std::u16string& a, const std::u16string& b) {
  const size_t n = std::min(a.size(), b.size());
  for (size_t i = 0; i < n; ++i) {
    const char16_t p = FoldAscii(a[i]), q = FoldAscii(b[i]);
    if (p != q) return p < q;
  }
  if (a.size() != b.size()) return a.size() < b.size();
  return a < b;
}

}  // namespace

std::filesystem::path LanguageFolder(const AppSettings& settings) { return settings.programFolder / "language"; }
std::filesystem::path TextureFolder(const AppSettings& settings) { return settings.userDataFolder / "texture"; }
std::filesystem::path MaterialFolder(const AppSettings& settings) { return settings.userDataFolder / "material"; }

std::filesystem::path LanguageLibraryPath(const AppSettings& settings) {
  return LanguageFolder(settings) / PathFromText(TextOf(settings.ResourceFile));
}

std::vector<std::u16string> ListMenuItems(const std::filesystem::path& folder, std::u16string_view extension) {
  std::vector<std::u16string> names;
  if (folder.empty()) return names;
  std::error_code error;
  std::filesystem::directory_iterator it(folder, error), end;
  for (; !error && it != end; it.increment(error)) {
    std::error_code typeError;
    if (!it->is_regular_file(typeError)) continue;
    std::u16string name = TextFromPath(it->path().filename());
    if (name.size() > extension.size() && EndsWithFolded(name, extension)) names.push_back(std::move(name));
  }
  std::sort(names.begin(), names.end(), NameBefore);
  for (std::u16string& name : names) name.resize(name.size() - extension.size());
  return names;
}

ListedMenus ListListedMenus(const AppSettings& settings) {
  ListedMenus menus;
  menus.languages = ListMenuItems(LanguageFolder(settings), kLibraryExtension);
  if (!settings.userDataFolder.empty()) {
    menus.textures = ListMenuItems(TextureFolder(settings), kBitmapExtension);
    menus.materials = ListMenuItems(MaterialFolder(settings), kBitmapExtension);
  }
  return menus;
}

int32_t LanguageItemOf(const std::vector<std::u16string>& languages, std::u16string_view resourceFile) {
  return ListedItemOfFile(ListedMenu::kLanguage, languages, resourceFile);
}

int32_t ListedItemOfFile(ListedMenu menu, const std::vector<std::u16string>& items, std::u16string_view file) {
  for (size_t k = 0; k < items.size(); ++k)
    if (SameFoldedText(ListedItemFile(menu, items[k]), file)) return static_cast<int32_t>(k);
  return -1;
}

ListedItem FindListedItem(CommandId id, const ListedMenus& menus) {
  const auto count = [](const std::vector<std::u16string>& items) { return static_cast<int32_t>(items.size()); };
  if (int32_t k = CommandRunIndex(id, CMD_LANGUAGE_ITEM, count(menus.languages)); k >= 0)
    return {ListedMenu::kLanguage, k};
  if (int32_t k = CommandRunIndex(id, CMD_TEXTURE_ITEM, count(menus.textures)); k >= 0) return {ListedMenu::kTexture, k};
  if (int32_t k = CommandRunIndex(id, CMD_MATERIAL_ITEM, count(menus.materials)); k >= 0)
    return {ListedMenu::kMaterial, k};
  return {ListedMenu::kNone, -1};
}

std::u16string ListedItemFile(ListedMenu menu, std::u16string_view text) {
  switch (menu) {
    case ListedMenu::kLanguage: return std::u16string(text) + std::u16string(kLibraryExtension);
    case ListedMenu::kTexture:
    case ListedMenu::kMaterial: return std::u16string(text) + std::u16string(kBitmapExtension);
    case ListedMenu::kNone: break;
  }
  return {};
}

bool StoreListedItem(AppSettings& settings, ListedMenu menu, std::u16string_view text) {
  char16_t* field = nullptr;
  switch (menu) {
    case ListedMenu::kLanguage: field = settings.ResourceFile; break;
    case ListedMenu::kTexture:
      if (settings.numPenSetting < 0 || settings.numPenSetting >= kPenCount) return false;
      field = settings.pens[settings.numPenSetting].TextureFileName;
      break;
    case ListedMenu::kMaterial: field = settings.MaterialFileName; break;
    case ListedMenu::kNone: return false;
  }
  const std::u16string file = ListedItemFile(menu, text);
  if (file.size() >= kPathUnits) return false;
  return CopyText(field, kPathUnits, file);
}

std::u16string PenMenuText(const PenSetting& pen) {
  std::u16string text;
  for (char16_t c : TextOf(pen.Name)) {
    text += c;
    if (c == u'&') text += c;
  }
  return text;
}

MenuItemMarks MarksOfMenuItem(uint32_t itemId, const CommandSnapshot& snapshot) {
  if (itemId == 0 || itemId > 0xFFFF) return {false, true, false};
  const CommandAvailability a = QueryCommand(static_cast<CommandId>(itemId), snapshot);
  return {true, a.enabled, a.checked};
}

namespace {

int32_t ItemNaming(const std::vector<std::u16string>& items, std::u16string_view fileName) {
  for (size_t k = 0; k < items.size(); ++k)
    if (items[k] + u".bmp" == fileName) return static_cast<int32_t>(k);
  return -1;
}

}  // namespace

void MarkListedChoices(const ListedMenus& menus, const AppSettings& settings, CommandSnapshot& s) {
  const int32_t pen = settings.numPenSetting;
  if (pen >= 0 && pen < kPenCount) s.checkedTexture = ItemNaming(menus.textures, TextOf(settings.pens[pen].TextureFileName));
  s.checkedMaterial = ItemNaming(menus.materials, TextOf(settings.MaterialFileName));
}
