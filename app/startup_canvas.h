// The canvas the program starts with, and the canvases that replace it.
#pragma once

#include <filesystem>

#include "app/app_state.h"
#include "files/canvas_load.h"

// Where the start-up canvas came from.
enum class StartCanvasSource : int {
  kCommandLineFile,  // the PNG named on the command line (settings.currentFilePath)
  kWorkingCanvas,    // the working canvas file of the user data folder
  kBlank,            // a blank canvas of the configured size (newcanvassize 1005, 1006 or 1007)
  kTemplate,         // the template copied over the working canvas file and loaded (1008)
  kNone,             // nothing could be made: the record holds no canvas bitmaps
};

// Makes the start-up canvas and takes it into the session (StartCanvasSession through loaders,
// which may be null): the file named on the command line when it loads (a named file that
// does not load is forgotten: the program starts in working-canvas mode), else the working canvas
// file when it exists and loads, else by newcanvassize a blank canvas of newcanvascx x
// newcanvascy (1005, 1006) or of the size preset PresetIndex at PrintDPI (1007), or a copy of
// TemplateFileName made the working canvas (1008). A size that cannot be made (a damaged
// setting, too little memory) falls back to A4 at 600 DPI, so the artist always gets a canvas.
StartCanvasSource OpenStartUpCanvas(AppState& state, const CanvasResourceLoaders* loaders);

// The new-canvas half of OpenStartUpCanvas: by newcanvassize a copy of the template made the
// working canvas file and loaded (1008), or a blank canvas of the configured size, falling back
// to A4 at 600 DPI.
StartCanvasSource StartNewCanvas(AppState& state, const CanvasResourceLoaders* loaders);

// Loads the canvas file at path into fresh (initialised here), leaving the session alone, so a
// file that does not load costs the artist nothing. On failure fresh holds no bitmaps.
[[nodiscard]] CanvasLoadFailure ReadCanvasFile(const std::filesystem::path& path, Canvas& fresh);

// Replaces the session's canvas by fresh (stopping the update thread and dropping a floating
// image first) and takes it into the session; fresh is left empty.
void TakeCanvas(AppState& state, Canvas& fresh, const CanvasResourceLoaders* loaders);
