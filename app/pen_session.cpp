#include "app/pen_session.h"

#include "canvas/layer_table.h"
#include "tools/stamp_cache.h"

bool SelectPen(AppContext& app, int index, const TextureLoader& loadTexture) {
  if (index < 0 || index >= kPenCount) return false;
  *app.currentPen = index;
  const PenSetting& pen = app.pens[index];
  if (pen.EnablePalette == 1) app.canvas->currentLayer = pen.Palette;
  FreeDibBitmap(app.texture);
  if (loadTexture) app.texture = loadTexture(pen.TextureFileName);
  return true;
}

bool RepairPenLayer(AppContext& app) {
  Canvas& canvas = *app.canvas;
  PenSetting& pen = CurrentPen(app);
  bool repaired = false;
  // The Palette is repaired first so that a broken current layer never takes a broken Palette.
  if (pen.Palette < 0 || pen.Palette >= kLayerCount) {
    pen.Palette = 0;
    repaired = true;
  }
  if (canvas.currentLayer < 0 || canvas.currentLayer >= kLayerCount) {
    canvas.currentLayer = pen.Palette;
    repaired = true;
  }
  return repaired;
}

uint32_t StartCanvasSession(AppContext& app, const CanvasResourceLoaders* loaders) {
  ReleaseStrokeResources(app);
  const PenSetting& current = CurrentPen(app);
  if (current.EnablePalette == 1) app.canvas->currentLayer = current.Palette;
  if (loaders && loaders->loadTexture) app.texture = loaders->loadTexture(current);
  if (loaders && loaders->loadMaterial) app.material = loaders->loadMaterial();
  uint32_t unreadableStamps = 0;
  if (loaders && loaders->loadStamp) {
    for (int i = 0; i < kPenCount; ++i) {
      PenSetting& pen = app.pens[i];
      if (pen.Stamp != 1) continue;
      FreeDibBitmap(pen.stampBitmap);
      pen.stampBitmap = loaders->loadStamp(pen);
      if (!pen.stampBitmap) unreadableStamps |= 1u << i;
    }
  }
  return unreadableStamps;
}
