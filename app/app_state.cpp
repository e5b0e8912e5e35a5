#include "app/app_state.h"

#include <mutex>

#include "canvas/canvas_lifecycle.h"
#include "canvas/undo_history.h"

void BindAppState(AppState& s) {
  s.context = AppContext{&s.canvas, s.settings.pens, &s.settings.numPenSetting, &s.view, &s.input};
  s.context.floating = &s.floating;
  s.view.canvas = &s.canvas;
  s.input.correctionStrength = &s.settings.CorrectionStrength;
}

void ClearCanvas(AppState& s) {
  StopUpdateThread(s.step.update);
  FreeFloatingImage(s.floating);
  DestroyCanvas(s.canvas);
  InitCanvas(s.canvas);
}

bool StartBlankCanvas(AppState& s, int width, int height, const CanvasResourceLoaders* loaders,
                      uint32_t* unreadableStamps) {
  ClearCanvas(s);
  if (!NewCanvas(s.canvas, width, height)) return false;
  const uint32_t unreadable = StartCanvasSession(s.context, loaders);
  if (unreadableStamps) *unreadableStamps = unreadable;
  return true;
}

void CommitPendingOperation(AppState& s) {
  if (s.floating.floating != 1) return;
  PixelRect written{};
  {
    std::lock_guard<std::recursive_mutex> guard(s.step.update.lock);
    written = DropFloatingSelection(s.context);
  }
  if (!IsRectEmpty(written)) (void)SubmitDirty(s.step.update, s.view, s.step.updateMessages, &written);
}

void ReleaseAppState(AppState& s) {
  ClearCanvas(s);
  FreeClipboardImage(s.clipboard);
  ReleaseStrokeResources(s.context);
  for (PenSetting& pen : s.settings.pens) FreeDibBitmap(pen.stampBitmap);
  for (DibBitmap** b : {&s.view.composed, &s.view.outsideMask, &s.view.backBuffer, &s.view.paper, &s.view.secondPaper})
    FreeDibBitmap(*b);
}

CommandSnapshot TakeCommandSnapshot(const AppState& s, bool systemClipboardHasBitmap) {
  CommandSnapshot snap{};
  snap.canUndo = CanUndo(s.canvas.undo);
  snap.canRedo = CanRedo(s.canvas.undo);
  snap.pendingOperation = s.floating.floating == 1 || s.canvas.importedImageState == 1;
  snap.clipboardImageHeld = s.clipboard.image != nullptr;
  snap.systemClipboardHasBitmap = systemClipboardHasBitmap;
  snap.viewScale = s.view.scale;
  snap.viewRotation = s.view.rotation;
  snap.viewMirrored = s.view.mirrored != 0;
  snap.translucent = s.translucent;
  snap.currentPen = s.settings.numPenSetting;
  snap.currentLanguage = s.currentLanguage;
  TakeWindowSettings(s.settings, snap);
  return snap;
}
