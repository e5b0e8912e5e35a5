#include "tools/fill_tool.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "brush/pen_setting.h"
#include "canvas/layer_table.h"
#include "canvas/masked_ops.h"
#include "tools/mask_fill.h"
#include "tools/stroke_phase.h"
#include "view/canvas_view.h"
#include "view/sample_to_canvas.h"

namespace {

// Frees its bitmap when it goes out of scope.
struct MaskHolder {
  DibBitmap* bitmap = nullptr;
  ~MaskHolder() { FreeDibBitmap(bitmap); }
};

// Shows the wait cursor through the view's hook for as long as it lives.
struct WaitCursor {
  CanvasView& view;
  explicit WaitCursor(CanvasView& v) : view(v) {
    if (view.hooks.waitCursor) view.hooks.waitCursor(view, 1);
  }
  ~WaitCursor() {
    if (view.hooks.waitCursor) view.hooks.waitCursor(view, 0);
  }
};

bool InsideFloat(float v, int limit) { return v >= 0.0f && v < static_cast<float>(limit); }

}  // namespace

DibBitmap* SameColourMask(const DibBitmap& canvas, DibColour colour) {
  if (!canvas.bits || DibDepth(canvas) != 8) return nullptr;
  const int width = DibWidth(canvas), height = DibHeight(canvas);
  static const DibColour kBlackWhite[2] = {{0, 0, 0, 0}, {255, 255, 255, 0}};
  DibBitmap* mask = CreateDibBitmap(1, kBlackWhite, 2, width, height);
  if (!mask) return nullptr;
  uint8_t same[kDibColourCount];
  for (int i = 0; i < kDibColourCount; ++i) {
    const DibColour& c = canvas.colours[i];
    same[i] = c.red == colour.red && c.green == colour.green && c.blue == colour.blue;
  }
  for (int y = 0; y < height; ++y) {
    const uint8_t* src = DibRow(canvas, y);
    uint8_t* dst = DibRow(*mask, y);
    // Invariant: byte x / 8 of dst collects pixels 8 (x / 8) .. x, most significant bit first.
    int x = 0;
    for (; x + 8 <= width; x += 8) {
      dst[x >> 3] = static_cast<uint8_t>(same[src[x]] << 7 | same[src[x + 1]] << 6 | same[src[x + 2]] << 5 |
                                         same[src[x + 3]] << 4 | same[src[x + 4]] << 3 | same[src[x + 5]] << 2 |
                                         same[src[x + 6]] << 1 | same[src[x + 7]]);
    }
    if (x < width) {
      uint8_t last = 0;
      for (int k = 0; x + k < width; ++k) last |= static_cast<uint8_t>(same[src[x + k]] << (7 - k));
      dst[x >> 3] = last;
    }
  }
  return mask;
}

int FillHandler(AppContext& app, PixelRect& dirty) {
  Canvas& canvas = *app.canvas;
  const int layer = canvas.currentLayer;
  if (!canvas.bitmap || !IsLayerEditable(canvas.layers, layer)) return 0;
  if (PhaseOf(app) != StrokePhase::kPress) return 0;
  const CanvasSample current = SampleToCanvas(*app.input, *app.view, true, false);
  DibBitmap& bitmap = *canvas.bitmap;
  const int width = DibWidth(bitmap), height = DibHeight(bitmap);
  if (!InsideFloat(current.x, width) || !InsideFloat(current.y, height)) return 0;
  const int fx = static_cast<int>(current.x), fy = static_cast<int>(current.y);
  const int size = CurrentPen(app).Size;

  WaitCursor wait(*app.view);
  // The area: the same-colour mask with its gaps closed, flooded from the fill point.
  const DibColour colour = bitmap.colours[DibRow(bitmap, fy)[fx]];
  MaskHolder mask{SameColourMask(bitmap, colour)};
  if (!mask.bitmap || !GrowClosed(*mask.bitmap, size)) return 0;
  {
    MaskHolder before{CreateDibBitmap(1, mask.bitmap->colours, 2, width, height)};
    if (!before.bitmap) return 0;
    std::memcpy(before.bitmap->bits, mask.bitmap->bits, static_cast<size_t>(mask.bitmap->stride) * height);
    if (!FloodFillMask(*mask.bitmap, fx, fy)) return 0;
    XorMask(*mask.bitmap, *before.bitmap);  // the flooded area is now 1, everything else 0
  }
  // Grow the area by the same stages: shrink its complement.
  InvertMask(*mask.bitmap);
  if (!GrowClosed(*mask.bitmap, size)) return 0;
  InvertMask(*mask.bitmap);

  // The box of the pixels that will change: in the area and not yet painted on the layer.
  const uint8_t bit = static_cast<uint8_t>(1u << layer);
  int minX = width, maxX = -1, minY = height, maxY = -1;
  for (int y = 0; y < height; ++y) {
    const uint8_t* m = DibRow(*mask.bitmap, y);
    const uint8_t* pixels = DibRow(bitmap, y);
    bool rowChanged = false;
    // Invariant: byte i of the mask row covers pixels 8 i .. 8 i + 7; bytes without area bits
    // (most of the canvas for a small fill) are skipped whole.
    for (int i = 0; 8 * i < width; ++i) {
      if (m[i] == 0) continue;
      const int end = std::min(8, width - 8 * i);
      for (int k = 0; k < end; ++k) {
        if ((m[i] & (0x80u >> k)) && (pixels[8 * i + k] & bit)) {
          minX = std::min(minX, 8 * i + k);
          maxX = std::max(maxX, 8 * i + k);
          rowChanged = true;
        }
      }
    }
    if (rowChanged) {
      minY = std::min(minY, y);
      maxY = y;
    }
  }
  SetLayerInRegion(bitmap, BlitArea{0, 0, width, height, 0, 0}, *mask.bitmap, *mask.bitmap, canvas.layers, layer);
  dirty = maxX < 0 ? PixelRect{fx, fy, fx + 1, fy + 1} : PixelRect{minX - 1, minY - 1, maxX + 2, maxY + 2};
  return 1;
}
