#include "app/texture_choice.h"

#include "files/pen_resources.h"
#include "files/utf_text.h"

namespace {

DibBitmap* ReadTexture(const AppSettings& s, const char16_t* fileName) {
  if (s.userDataFolder.empty()) return nullptr;
  return LoadTexture(s.userDataFolder, PathFromText(TextOf(fileName, kPathUnits)));
}

// No material named: no paper grain at all (pencils paint solid), rather than the map of zeros
// an unreadable file gives.
DibBitmap* ReadMaterial(const AppSettings& s) {
  if (s.userDataFolder.empty() || TextOf(s.MaterialFileName).empty()) return nullptr;
  return LoadMaterial(s.userDataFolder, PathFromText(TextOf(s.MaterialFileName)));
}

}  // namespace

CanvasResourceLoaders SessionResourceLoaders(const AppSettings& settings) {
  const AppSettings* s = &settings;
  return {
      [s](const PenSetting& pen) { return ReadTexture(*s, pen.TextureFileName); },
      [s] { return ReadMaterial(*s); },
      [](const PenSetting& pen) { return LoadStamp(PathFromText(TextOf(pen.StampFileName, kPathUnits))); },
  };
}

TextureLoader SessionTextureLoader(const AppSettings& settings) {
  const AppSettings* s = &settings;
  return [s](const char16_t* fileName) { return ReadTexture(*s, fileName); };
}

void UseSessionResources(AppState& state) {
  state.sessionLoaders = SessionResourceLoaders(state.settings);
  state.loaders = &state.sessionLoaders;
}

bool ChooseListedResource(AppState& state, const ListedMenus& menus, ListedMenu menu, uint64_t index) {
  const std::vector<std::u16string>* items = menu == ListedMenu::kTexture    ? &menus.textures
                                             : menu == ListedMenu::kMaterial ? &menus.materials
                                                                             : nullptr;
  if (!items || index >= items->size()) return false;
  if (!StoreListedItem(state.settings, menu, (*items)[index])) return false;
  AppContext& app = state.context;
  if (menu == ListedMenu::kTexture) {
    FreeDibBitmap(app.texture);
    app.texture = ReadTexture(state.settings, CurrentPen(app).TextureFileName);
    state.currentTexture = static_cast<int32_t>(index);
  } else {
    FreeDibBitmap(app.material);
    app.material = ReadMaterial(state.settings);
    state.currentMaterial = static_cast<int32_t>(index);
  }
  return true;
}
