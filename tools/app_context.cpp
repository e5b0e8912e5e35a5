#include "tools/app_context.h"

#include "tools/stamp_cache.h"

void ReleaseStrokeResources(AppContext& app) {
  FreeDibBitmap(app.texture);
  FreeDibBitmap(app.material);
  FreeStampCache(app.stampCache);
}
