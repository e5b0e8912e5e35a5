#include "app/command_state.h"

#include "view/view_commands.h"

static_assert(kZoomPresetCommandCount == kZoomPresetCount, "one command per zoom preset");
static_assert(kRotationPresetCommandCount == kRotationPresetCount, "one command per rotation preset");

namespace {

constexpr CommandAvailability Enabled(bool enabled) { return {enabled, false}; }
constexpr CommandAvailability Checked(bool checked) { return {true, checked}; }

constexpr bool AscendingSteps() {
  for (int i = 1; i < kBrushSizeStepCount; ++i)
    if (kBrushSizeSteps[i - 1] >= kBrushSizeSteps[i]) return false;
  return true;
}
static_assert(AscendingSteps(), "BrushSizeStepDown and BrushSizeStepUp scan an ascending table");

}  // namespace

CommandAvailability QueryCommand(CommandId id, const CommandSnapshot& s) {
  // Save stays enabled without a current file: it then archives the working canvas (Ctrl+S does
  // the same), so the menu offers what the key does.
  // The picture export and the two selection commands are offered only at one canvas pixel
  // per screen pixel or zoomed further out.
  const bool wholePixels = s.viewScale >= 1.0f;
  switch (id) {
    case CMD_EXPORT_IMAGE: return Enabled(wholePixels);
    case CMD_UNDO: return Enabled(s.canUndo);
    case CMD_REDO: return Enabled(s.canRedo);
    case CMD_CUT:
    case CMD_COPY: return Enabled(s.pendingOperation);
    case CMD_PASTE: return Enabled(s.clipboardImageHeld || s.systemClipboardHasBitmap);
    case CMD_PASTE_IMPORTED: return Enabled(s.systemClipboardHasBitmap);
    case CMD_SELECT_ALL:
    case CMD_SELECT_LAYER: return Enabled(wholePixels);
    case CMD_MIRROR_VIEW: return Checked(s.viewMirrored);
    case CMD_TOGGLE_TRANSLUCENT: return Checked(s.translucent);
    default: break;
  }
  if (int32_t k = CommandRunIndex(id, CMD_SELECT_PEN_0, kPenSlotCommandCount); k >= 0)
    return Checked(k == s.currentPen);
  if (int32_t k = CommandRunIndex(id, CMD_TOGGLE_WINDOW_EASY_PANEL, kWindowToggleCount); k >= 0)
    return Checked(s.windowSettings[k]);
  if (int32_t k = CommandRunIndex(id, CMD_ZOOM_PRESET_1, kZoomPresetCount); k >= 0)
    return Checked(kZoomPresetScales[k] == s.viewScale);
  if (int32_t k = CommandRunIndex(id, CMD_ROTATE_PRESET_0, kRotationPresetCount); k >= 0)
    return Checked(kRotationPresetDegrees[k] == s.viewRotation);
  if (int32_t k = CommandRunIndex(id, CMD_TEXTURE_ITEM, CMD_MATERIAL_ITEM - CMD_TEXTURE_ITEM); k >= 0)
    return Checked(k == s.checkedTexture);
  if (int32_t k = CommandRunIndex(id, CMD_MATERIAL_ITEM, CMD_TOGGLE_WINDOW_EASY_PANEL - CMD_MATERIAL_ITEM); k >= 0)
    return Checked(k == s.checkedMaterial);
  // The language items run up to the first command without a menu item.
  if (int32_t k = CommandRunIndex(id, CMD_LANGUAGE_ITEM, CMD_VIEW_RESET - CMD_LANGUAGE_ITEM); k >= 0)
    return Checked(k == s.currentLanguage);
  return {true, false};
}

void TakeWindowSettings(const AppSettings& settings, CommandSnapshot& s) {
  for (int k = 0; k < kWindowToggleCount; ++k) s.windowSettings[k] = settings.*kWindowToggleSettings[k] != 0;
}

bool CommandKeepsPendingOperation(int32_t command) {
  return command == CMD_CUT || command == CMD_COPY || command == CMD_PASTE ||
         CommandRunIndex(static_cast<CommandId>(command), CMD_SELECT_PEN_0, kPenSlotCommandCount) >= 0;
}

int32_t BrushSizeStepDown(int32_t size) {
  int32_t result = kBrushSizeSteps[0];
  for (int32_t step : kBrushSizeSteps)
    if (step < size) result = step;
  return result;
}

int32_t BrushSizeStepUp(int32_t size) {
  for (int32_t step : kBrushSizeSteps)
    if (step > size) return step;
  return kBrushSizeSteps[kBrushSizeStepCount - 1];
}
