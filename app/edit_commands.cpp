#include "app/edit_commands.h"

#include <mutex>

#include "brush/pen_setting.h"
#include "canvas/undo_history.h"
#include "settings/command_ids.h"

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
