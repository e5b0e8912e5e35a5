// The session's pen texture and paper grain: read from the user data folder by the file names
// the settings hold, and chosen from the texture and material menus (the texture panel's
// choice, message 0x800D, is the texture menu's item of the same index).
#pragma once

#include <cstdint>

#include "app/app_state.h"
#include "app/language_menu.h"
#include "app/pen_session.h"

// Loaders for canvas set-up and pen selection that read what settings names (settings must
// outlive them): a pen's TextureFileName from the user data folder's "texture" folder,
// MaterialFileName from its "material" folder (a file that cannot be read gives a grain of
// zeros), a stamp pen's StampFileName as a full path. With no user data folder no texture or
// grain is loaded.
CanvasResourceLoaders SessionResourceLoaders(const AppSettings& settings);
TextureLoader SessionTextureLoader(const AppSettings& settings);

// Makes every new or loaded canvas of the session take its resources through the loaders above
// (state.loaders points at state.sessionLoaders).
void UseSessionResources(AppState& state);

// A texture or material item was chosen, index counted from 0 in the menu's listing: its file
// (item text + ".bmp") becomes the current pen's TextureFileName or the MaterialFileName, the
// session's texture or paper grain is replaced by that file's (null when it cannot be read),
// and the index is remembered (AppState::currentTexture, currentMaterial). Returns false,
// changing nothing, for another menu, an index past the menu's items, or a name that does not
// fit the setting.
[[nodiscard]] bool ChooseListedResource(AppState& state, const ListedMenus& menus, ListedMenu menu, uint64_t index);
