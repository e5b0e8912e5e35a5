// What the main window owns, in one record: the settings with the sixteen pen presets and the
// key bindings, the canvas document, the view, the pointer input and the input step, the
// floating selection, and the stroke handlers' context over all of them. The main window
// makes one when it is created and binds it to its handle; nothing of it lives in globals, so
// tests build as many as they like.
#pragma once

#include <cstdint>

#include "app/command_state.h"
#include "app/input_step.h"
#include "app/pen_session.h"
#include "app/recovery.h"
#include "canvas/canvas.h"
#include "files/canvas_file_list.h"
#include "settings/app_settings.h"
#include "tools/app_context.h"
#include "tools/floating_selection.h"
#include "view/canvas_view.h"
#include "view/input_state.h"

struct AppState {
  AppSettings settings{};
  Canvas canvas{};
  CanvasView view = NewCanvasView();
  InputState input = NewInputState();
  InputStep step;
  FloatingSelection floating{};
  // Handed to every stroke handler; points at the fields above (BindAppState). The current pen
  // is settings.numPenSetting, the presets settings.pens.
  AppContext context{};
  int32_t currentLanguage = -1;     // language menu item of the loaded library; -1: none
  int32_t currentTexture = -1;      // texture menu item chosen last; -1: none yet
  int32_t currentMaterial = -1;     // material menu item chosen last; -1: none yet
  bool translucent = false;         // the main window is drawn translucent
  ClipboardImage clipboard{};       // what cut or copy left, pasted as a new floating selection
  // The canvas files of the working folder that the previous/next file commands step through.
  CanvasFileList fileList;
  // The background copy of unsaved changes, offered back after an abnormal end.
  RecoveryCopier recovery;
  // How a new or loaded canvas takes the pens' textures, paper grain and stamps; null loads none.
  const CanvasResourceLoaders* loaders = nullptr;
  // Loaders reading the user data folder, for loaders to point at (UseSessionResources).
  CanvasResourceLoaders sessionLoaders;

  AppState() = default;
  AppState(const AppState&) = delete;
  AppState& operator=(const AppState&) = delete;
};

// Points the context, the view and the input at the record's own fields. Call once, where the
// record will stay (it holds pointers into itself).
void BindAppState(AppState& state);

// Empties the canvas for a new or loaded one: stops the update thread (it composes from the
// canvas, so no bitmap may go while it could be reading), drops a floating image, destroys and
// re-initialises the record.
void ClearCanvas(AppState& state);

// Replaces the canvas with a blank one of width x height with default layers and takes it
// into the session (StartCanvasSession: the current pen's layer, texture, paper grain and
// stamps through loaders, which may be null). Returns false when the canvas cannot be
// allocated; the record then holds no canvas bitmaps. unreadableStamps (may be null) receives
// the mask of pens whose stamp could not be loaded.
[[nodiscard]] bool StartBlankCanvas(AppState& state, int width, int height, const CanvasResourceLoaders* loaders,
                                    uint32_t* unreadableStamps);

// Drops a floating selection back onto the canvas (one undo step) and hands the written
// rectangle to the update thread. Nothing when nothing floats.
void CommitPendingOperation(AppState& state);

// Stops the update thread and frees everything the record holds: the floating image, the
// clipboard image, the canvas, the session's texture, grain and stamp cache, and the pens' stamps.
void ReleaseAppState(AppState& state);

// The state menus and accelerators are greyed and checked from. What the record cannot know
// (the system clipboard) is given.
CommandSnapshot TakeCommandSnapshot(const AppState& state, bool systemClipboardHasBitmap);
