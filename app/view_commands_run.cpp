#include "app/view_commands_run.h"

#include <mutex>

#include "app/texture_choice.h"
#include "canvas/undo_history.h"
#include "settings/command_ids.h"
#include "view/view_commands.h"
#include "view/view_operations.h"

namespace {

// Undo or redo one step and hand its rectangle to the update thread.
bool StepHistory(AppState& s, bool undo) {
  PixelRect changed{};
  {
    std::lock_guard<std::recursive_mutex> guard(s.step.update.lock);
    if (!(undo ? Undo(s.canvas, changed) : Redo(s.canvas, changed))) return false;
    s.canvas.saved = 0;
  }
  (void)SubmitDirty(s.step.update, s.view, s.step.updateMessages, &changed);
  return true;
}

// Runs a view operation under the view lock.
template <class Operation>
CommandOutcome OnView(AppState& s, Operation operation) {
  std::lock_guard<std::recursive_mutex> guard(s.step.update.lock);
  operation(s.view);
  return {true, true, true, false};
}

}  // namespace

int32_t DigitKeyPenSlot(int32_t command) {
  if (command >= CMD_DIGIT_301 && command <= CMD_DIGIT_303) return command - CMD_DIGIT_301;
  if (command >= CMD_DIGIT_305 && command <= CMD_DIGIT_309) return command - CMD_DIGIT_305 + 3;
  return -1;
}

CommandOutcome RunSessionCommand(AppState& s, int32_t command) {
  // The digit keys' ids were bound without a command; they pick the pen of their digit.
  if (const int32_t slot = DigitKeyPenSlot(command); slot >= 0) command = CMD_SELECT_PEN_0 + slot;
  if (command >= CMD_SELECT_PEN_0 && command <= CMD_SELECT_PEN_15) {
    if (!SelectPen(s.context, command - CMD_SELECT_PEN_0, SessionTextureLoader(s.settings))) return {true};
    return {true, false, false, true};
  }
  if (command >= CMD_ZOOM_PRESET_1 && command <= CMD_ZOOM_PRESET_8)
    return OnView(s, [&](CanvasView& v) { ZoomPreset(v, command - CMD_ZOOM_PRESET_1 + 1); });
  if (command >= CMD_ROTATE_PRESET_0 && command <= CMD_ROTATE_PRESET_270)
    return OnView(s, [&](CanvasView& v) { RotationPreset(v, command - CMD_ROTATE_PRESET_0 + 1); });
  switch (command) {
    case CMD_UNDO:
    case CMD_REDO:
      return {true, StepHistory(s, command == CMD_UNDO), false, false};
    case CMD_ZOOM_IN: return OnView(s, [](CanvasView& v) { ZoomIn(v); });
    case CMD_ZOOM_OUT: return OnView(s, [](CanvasView& v) { ZoomOut(v); });
    case CMD_ZOOM_FIT: return OnView(s, FitViewToWindow);
    case CMD_ZOOM_PRINT_SIZE: return OnView(s, ShowPrintSize);
    case CMD_VIEW_RESET: return OnView(s, ResetView);
    case CMD_MIRROR_VIEW: return OnView(s, ToggleViewMirror);
    case CMD_ROTATE_RIGHT: return OnView(s, RotateToNextQuarter);
    case CMD_ROTATE_LEFT: return OnView(s, RotateToPreviousQuarter);
    case CMD_ROTATE_PLUS_15: return OnView(s, [](CanvasView& v) { RotateBy(v, 15.0f); });
    case CMD_ROTATE_MINUS_15: return OnView(s, [](CanvasView& v) { RotateBy(v, -15.0f); });
    case CMD_SIZE_DOWN:
    case CMD_SIZE_UP: {
      PenSetting& pen = CurrentPen(s.context);
      pen.Size = command == CMD_SIZE_UP ? BrushSizeStepUp(pen.Size) : BrushSizeStepDown(pen.Size);
      return {true, false, false, true};
    }
    default:
      return {};
  }
}
