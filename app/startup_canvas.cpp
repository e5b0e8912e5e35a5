#include "app/startup_canvas.h"

#include <system_error>

#include "canvas/canvas_lifecycle.h"
#include "files/canvas_load.h"
#include "files/utf_text.h"
#include "settings/canvas_presets.h"
#include "view/view_operations.h"

namespace {

CanvasSize ConfiguredSize(const AppSettings& settings) {
  if (settings.newcanvassize == kNewCanvasKeepSize || settings.newcanvassize == kNewCanvasGivenSize)
    return {settings.newcanvascx, settings.newcanvascy};
  return CanvasPresetSize(settings.PresetIndex, settings.PrintDPI);
}

// The start-up canvas from a file: false, with the session's canvas untouched, when it does not
// load.
bool OpenCanvasFile(AppState& s, const std::filesystem::path& path, const CanvasResourceLoaders* loaders) {
  Canvas fresh{};
  if (ReadCanvasFile(path, fresh) != CanvasLoadFailure::kNone) return false;
  TakeCanvas(s, fresh, loaders);
  return true;
}

}  // namespace

CanvasLoadFailure ReadCanvasFile(const std::filesystem::path& path, Canvas& fresh) {
  InitCanvas(fresh);
  std::error_code error;
  if (path.empty() || !std::filesystem::is_regular_file(path, error)) return CanvasLoadFailure::kCannotOpen;
  const CanvasLoadFailure failure = LoadCanvas(fresh, path);
  if (failure != CanvasLoadFailure::kNone) DestroyCanvas(fresh);
  return failure;
}

void TakeCanvas(AppState& s, Canvas& fresh, const CanvasResourceLoaders* loaders) {
  ClearCanvas(s);
  s.canvas = fresh;  // the record owns the bitmaps now
  InitCanvas(fresh);
  (void)StartCanvasSession(s.context, loaders);
}

StartCanvasSource StartNewCanvas(AppState& s, const CanvasResourceLoaders* loaders) {
  const AppSettings& settings = s.settings;
  if (settings.newcanvassize == kNewCanvasTemplate && !settings.workingCanvasFile.empty()) {
    std::error_code error;
    const std::filesystem::path templateFile = PathFromText(TextOf(settings.TemplateFileName));
    std::filesystem::copy_file(templateFile, settings.workingCanvasFile,
                               std::filesystem::copy_options::overwrite_existing, error);
    if (!error && OpenCanvasFile(s, settings.workingCanvasFile, loaders)) return StartCanvasSource::kTemplate;
  }
  const CanvasSize size = ConfiguredSize(settings);
  if (size.width >= 1 && size.height >= 1 && StartBlankCanvas(s, size.width, size.height, loaders, nullptr))
    return StartCanvasSource::kBlank;
  const CanvasSize preset = CanvasPreset600(kDefaultCanvasPreset);
  if (StartBlankCanvas(s, preset.width, preset.height, loaders, nullptr)) return StartCanvasSource::kBlank;
  return StartCanvasSource::kNone;
}

StartCanvasSource OpenStartUpCanvas(AppState& s, const CanvasResourceLoaders* loaders) {
  AppSettings& settings = s.settings;
  if (OpenCanvasFile(s, settings.currentFilePath, loaders)) return StartCanvasSource::kCommandLineFile;
  // A named file that does not load is not the file being edited: a save must never write the
  // working canvas over it.
  s.settings.currentFilePath.clear();
  if (OpenCanvasFile(s, settings.workingCanvasFile, loaders)) return StartCanvasSource::kWorkingCanvas;
  return StartNewCanvas(s, loaders);
}
