#include "app/edit_commands.h"

#include <algorithm>
#include <mutex>

#include "brush/pen_setting.h"
#include "canvas/undo_history.h"
#include "files/canvas_load.h"
#include "settings/command_ids.h"
#include "tools/bit_mask.h"
#include "view/view_mapping.h"

namespace {

// The whole canvas lifted as a floating selection: every editable layer, or the drawing layer
// alone. The lift's erasure is committed at once (the drop commits the rest), as after a
// selection pen's stroke.
CommandOutcome LiftWholeCanvas(AppState& s, bool allLayers) {
  Canvas& c = s.canvas;
  if (!c.bitmap) return {true};
  const IntPoint corners[4] = {{0, 0}, {c.width - 1, 0}, {c.width - 1, c.height - 1}, {0, c.height - 1}};
  PixelRect lifted{};
  {
    std::lock_guard<std::recursive_mutex> guard(s.step.update.lock);
    lifted = LiftSelection(s.context, corners, 4, allLayers);
    if (!IsRectEmpty(lifted)) {
      (void)CommitCanvasRect(c, lifted);
      c.saved = 0;
    }
  }
  if (IsRectEmpty(lifted)) return {true};
  (void)SubmitDirty(s.step.update, s.view, s.step.updateMessages, &lifted);
  return {true, true, true, false};
}

// Paints the pen's layer over the whole canvas, unless that layer is locked.
CommandOutcome FillLayer(AppState& s) {
  Canvas& c = s.canvas;
  if (!c.bitmap) return {true};
  const int layer = DrawingLayer(s.settings.pens[s.settings.numPenSetting], c.currentLayer);
  if (layer < 0 || layer >= kLayerCount || c.layers.rows[layer].locked) return {true};
  const PixelRect whole{0, 0, c.width, c.height};
  const uint8_t keep = static_cast<uint8_t>(~(1u << layer));  // a clear bit is a painted pixel
  {
    std::lock_guard<std::recursive_mutex> guard(s.step.update.lock);
    for (int y = 0; y < c.height; ++y) {
      uint8_t* row = DibRow(*c.bitmap, y);
      for (int x = 0; x < c.width; ++x) row[x] &= keep;
    }
    // Every bit: a hidden layer that is not locked is filled as well.
    (void)CommitCanvasRect(c, whole, CommitBits::kAll);
    c.saved = 0;
  }
  (void)SubmitDirty(s.step.update, s.view, s.step.updateMessages, &whole);
  return {true, true, true, false};
}

}  // namespace

CommandOutcome RunEditCommand(AppState& s, int32_t command) {
  switch (command) {
    case CMD_SELECT_ALL: return LiftWholeCanvas(s, true);
    case CMD_SELECT_LAYER: return LiftWholeCanvas(s, false);
    case CMD_FILL_LAYER: return FillLayer(s);
    case CMD_COPY:
    case CMD_CUT: {
      if (!CopyFloatingToClipboard(s.floating, s.clipboard)) return {true};
      // Cutting throws the floating pixels away: the lift already took them off the canvas.
      if (command == CMD_CUT) {
        std::lock_guard<std::recursive_mutex> guard(s.step.update.lock);
        FreeFloatingImage(s.floating);
      }
      return {true, false, true, false};
    }
    case CMD_PASTE: {
      std::lock_guard<std::recursive_mutex> guard(s.step.update.lock);
      const PixelRect floated = FloatClipboardImage(s.context, s.clipboard);
      return {true, !IsRectEmpty(floated), !IsRectEmpty(floated), false};
    }
    default:
      return {};
  }
}

bool FloatWholeImage(AppState& s, const DibBitmap& source) {
  Canvas& c = s.canvas;
  const int depth = DibDepth(source);
  if (!c.bitmap || (depth != 1 && depth != 8)) return false;
  const int32_t w = std::min(DibWidth(source), c.width), h = std::min(DibHeight(source), c.height);
  const DibColour twoColours[2] = {{0, 0, 0, 0}, {255, 255, 255, 0}};
  ClipboardImage picture{CreateDibBitmap(depth, source.colours, depth == 1 ? 2 : 256, w, h),
                         CreateDibBitmap(1, twoColours, 2, w, h), {}};
  if (!picture.image || !picture.shapeMask) {
    FreeClipboardImage(picture);
    return false;
  }
  const size_t stride = static_cast<size_t>(DibStride(depth, w)), maskStride = static_cast<size_t>(DibStride(1, w));
  for (int32_t y = 0; y < h; ++y) {
    std::copy_n(DibRow(source, y), stride, DibRow(*picture.image, y));
    std::fill_n(DibRow(*picture.shapeMask, y), maskStride, uint8_t{0xFF});
  }
  const ViewPointF corner = ClientToCanvasF(s.view, 0.0f, 0.0f);
  const auto at = [](float v, int32_t size, int32_t limit) {
    return static_cast<int32_t>(std::clamp(v, 0.0f, static_cast<float>(std::max(0, limit - size))));
  };
  const int32_t left = at(corner.x, w, c.width), top = at(corner.y, h, c.height);
  picture.canvasRect = {left, top, left + w, top + h};
  PixelRect floated{};
  {
    std::lock_guard<std::recursive_mutex> guard(s.step.update.lock);
    floated = FloatClipboardImage(s.context, picture);
  }
  FreeClipboardImage(picture);
  return !IsRectEmpty(floated);
}

bool FloatForeignPicture(AppState& s, const uint32_t* pixels, int32_t width, int32_t height) {
  if (!s.canvas.bitmap || !pixels || width < 1 || height < 1) return false;
  const int32_t w = std::min(width, s.canvas.width), h = std::min(height, s.canvas.height);
  DibBitmap* ink = CreateDibBitmap(1, nullptr, 0, w, h);
  if (!ink) return false;
  const size_t stride = static_cast<size_t>(DibStride(1, w));
  for (int32_t y = 0; y < h; ++y) {
    uint8_t* out = DibRow(*ink, y);
    std::fill_n(out, stride, uint8_t{0});
    const uint32_t* row = pixels + static_cast<size_t>(y) * static_cast<size_t>(width);
    for (int32_t x = 0; x < w; ++x) {
      const uint32_t p = row[x];
      const uint32_t r = (p >> 16) & 0xFF, g = (p >> 8) & 0xFF, b = p & 0xFF, a = p >> 24;
      // Rec. 601 luminance in integers: dark and mostly opaque is ink.
      if (a >= 128 && 299 * r + 587 * g + 114 * b < 128 * 1000) SetMaskBit(out, x);
    }
  }
  const bool floated = FloatWholeImage(s, *ink);
  FreeDibBitmap(ink);
  return floated;
}

bool FloatImportedPicture(AppState& s, const uint32_t* pixels, int32_t width, int32_t height) {
  if (!s.canvas.bitmap || !pixels || width < 1 || height < 1) return false;
  const int32_t w = std::min(width, s.canvas.width), h = std::min(height, s.canvas.height);
  DibBitmap* colour = CreateDibBitmap(32, nullptr, 0, w, h);
  if (!colour) return false;
  for (int32_t y = 0; y < h; ++y) {
    const uint32_t* row = pixels + static_cast<size_t>(y) * static_cast<size_t>(width);
    uint8_t* out = DibRow(*colour, y);
    for (int32_t x = 0; x < w; ++x) StorePixel(out + 4 * static_cast<size_t>(x), row[x] & 0xFFFFFFu);
  }
  DibBitmap* image = DitherTrueColour(*colour);
  FreeDibBitmap(colour);
  const bool floated = image && FloatWholeImage(s, *image);
  FreeDibBitmap(image);
  return floated;
}
