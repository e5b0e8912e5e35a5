// What the session does with the pens: making a pen current, keeping the drawing layer valid,
// and taking a canvas into use with the current pen's resources.
#pragma once

#include <cstdint>
#include <functional>

#include "tools/app_context.h"

// Loads the texture file of the current pen (kind 4) named by its TextureFileName; returns
// null when it cannot.
using TextureLoader = std::function<DibBitmap*(const char16_t* fileName)>;

// Makes pen `index` current: makes its Palette the current layer when EnablePalette is 1 and
// replaces the session's texture with the pen's TextureFileName (through loadTexture, which
// may be empty: no texture). Returns false, changing nothing, for an index outside 0..15.
[[nodiscard]] bool SelectPen(AppContext& app, int index, const TextureLoader& loadTexture);

// Repairs before a sample is painted: a current layer outside 0..7 becomes the pen's Palette
// and a Palette outside 0..7 becomes 0. Returns true when something was repaired (the layer
// panel must then re-read the current layer).
bool RepairPenLayer(AppContext& app);

// Resources a new or loaded canvas takes from the session: the current pen's texture, the
// paper grain and every stamp-brush pen's stamp. Any loader may be empty (nothing loaded). A
// loader returns null when the file cannot be read.
struct CanvasResourceLoaders {
  std::function<DibBitmap*(const PenSetting& pen)> loadTexture;
  std::function<DibBitmap*()> loadMaterial;
  std::function<DibBitmap*(const PenSetting& pen)> loadStamp;
};

// Takes a freshly initialised canvas (InitCanvas) into the session: the current layer becomes
// the current pen's own layer when it has one, the texture and paper grain are reloaded and
// every pen with Stamp=1 gets its stamp again. Returns a bit mask of the pens (bit i for pen
// i) whose stamp could not be loaded; the caller names their StampFileName to the user.
[[nodiscard]] uint32_t StartCanvasSession(AppContext& app, const CanvasResourceLoaders* loaders);
