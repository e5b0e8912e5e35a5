#include "app/file_commands.h"

#include "app/edit_commands.h"

#include <mutex>
#include <system_error>

#include "app/edit_commands.h"
#include "app/startup_canvas.h"
#include "canvas/canvas_lifecycle.h"
#include "canvas/masked_ops.h"
#include "canvas/undo_history.h"
#include "files/canvas_png.h"
#include "files/composed_picture.h"
#include "files/psd_export.h"
#include "files/utf_text.h"
#include "reduce/composition_hooks.h"
#include "settings/command_ids.h"
#include "view/view_operations.h"

namespace {

namespace fs = std::filesystem;

fs::path WorkingFolder(const AppState& s) { return PathFromText(TextOf(s.settings.defaultpath)); }

bool IsFolder(const fs::path& path) {
  std::error_code error;
  return !path.empty() && fs::is_directory(path, error);
}

// A folder written with or without its closing separator is the same folder.
fs::path Normalised(const fs::path& path) {
  fs::path p = path.lexically_normal();
  if (!p.has_filename() && p.has_relative_path()) p = p.parent_path();
  return p;
}

bool SamePath(const fs::path& a, const fs::path& b) {
  if (a.empty() || b.empty()) return false;
  if (Normalised(a) == Normalised(b)) return true;
  std::error_code error;
  return fs::equivalent(a, b, error) && !error;
}

// The list index of the current file, or -1 (the working canvas, or a file elsewhere).
int32_t CurrentFilePosition(const AppState& s) {
  const fs::path& current = s.settings.currentFilePath;
  if (current.empty() || !SamePath(current.parent_path(), s.fileList.folder)) return -1;
  for (size_t i = 0; i < s.fileList.names.size(); ++i)
    if (s.fileList.names[i] == current.filename()) return static_cast<int32_t>(i);
  return -1;
}

// Notes a file the program has just written in the working folder's list.
void NoteWrittenFile(AppState& s, const fs::path& path) {
  if (s.fileList.folder.empty() || !SamePath(s.fileList.folder, WorkingFolder(s))) ListWorkingFolder(s);
  if (!SamePath(path.parent_path(), s.fileList.folder)) return;
  const fs::path name = path.filename();
  if (name == kWorkingCanvasFileName || name == kDragFileName) return;
  AppendCanvasFile(s.fileList, name);
}

bool WriteCanvasTo(AppState& s, FileCommandHost& host, const fs::path& path) {
  host.Wait(true);
  const bool written = s.canvas.bitmap && WriteCanvasPng(path, *s.canvas.bitmap, &s.canvas.layers);
  host.Wait(false);
  if (!written) host.Report(FileCommandFailure::kCannotWrite, path, 0);
  return written;
}

// A time-stamped copy of the canvas in the working folder, noted in the file list.
bool Archive(AppState& s, FileCommandHost& host) {
  const fs::path folder = WorkingFolder(s);
  if (!IsFolder(folder)) {
    host.Report(FileCommandFailure::kNotAFolder, folder, 0);
    return false;
  }
  const fs::path path = TimeStampedCanvasPath(folder, host.Now());
  if (path.empty()) {
    host.Report(FileCommandFailure::kNoFreeName, folder, 0);
    return false;
  }
  if (!WriteCanvasTo(s, host, path)) return false;
  NoteWrittenFile(s, path);
  return true;
}

// Working-canvas mode's save: an archived copy, and the same canvas as the working canvas file
// (written, not copied, so the file is replaced only once it is complete).
bool ArchiveAsWorkingCanvas(AppState& s, FileCommandHost& host) {
  if (!Archive(s, host)) return false;
  return WriteCanvasTo(s, host, s.settings.workingCanvasFile);
}

bool Save(AppState& s, FileCommandHost& host) {
  const bool written = s.settings.currentFilePath.empty() ? ArchiveAsWorkingCanvas(s, host)
                                                          : WriteCanvasTo(s, host, s.settings.currentFilePath);
  if (written) s.canvas.saved = 1;
  return written;
}

fs::path TimeStampedDefault(AppState& s, FileCommandHost& host, const char* extension) {
  return WorkingFolder(s) / (MakeTimeStampName(host.Now()) + extension);
}

// False when the artist cancelled or the canvas could not be written.
bool SaveAs(AppState& s, FileCommandHost& host) {
  const fs::path previous = s.settings.currentFilePath;
  fs::path path = previous.empty() ? TimeStampedDefault(s, host, ".png") : previous;
  if (!host.ChooseFile(FileDialog::kSaveCanvasAs, path)) return false;
  if (!WriteCanvasTo(s, host, path)) return false;
  s.settings.currentFilePath = path;
  s.canvas.saved = 1;
  if (!SamePath(path, previous)) NoteWrittenFile(s, path);
  return true;
}

// Before unsaved changes of the current file go: true to go on. A Yes whose save is cancelled
// or fails stops the command too, so changes never go unsaved behind the artist's back.
bool AskToSave(AppState& s, FileCommandHost& host, bool yesSavesAs) {
  if (s.settings.currentFilePath.empty() || !HasUnsavedChanges(s.canvas)) return true;
  switch (host.AskToSave()) {
    case SaveAnswer::kYes: return yesSavesAs ? SaveAs(s, host) : Save(s, host);
    case SaveAnswer::kNo: return true;
    case SaveAnswer::kCancel: return false;
  }
  return false;
}

// Shows a canvas that replaced the previous one: the view straight at the print-size scale.
FileCommandOutcome CanvasReplaced(AppState& s) {
  std::lock_guard<std::recursive_mutex> guard(s.step.update.lock);
  ResetViewToNewCanvas(s.view);
  return {true, true, true, true};
}

// Leaving the working canvas for a file: it is written back first; false when that failed.
bool LeaveWorkingCanvas(AppState& s, FileCommandHost& host) {
  if (!s.settings.currentFilePath.empty()) return true;
  return WriteCanvasTo(s, host, s.settings.workingCanvasFile);
}

// Loads path as the new canvas in file mode. A file that does not load leaves everything as it
// was.
FileCommandOutcome OpenFile(AppState& s, FileCommandHost& host, const fs::path& path) {
  Canvas fresh{};
  const CanvasLoadFailure failure = ReadCanvasFile(path, fresh);
  if (failure != CanvasLoadFailure::kNone) {
    // detail: the loading failure, so the message can say why.
    host.Report(failure == CanvasLoadFailure::kNoMemory ? FileCommandFailure::kNoMemory : FileCommandFailure::kCannotRead,
                path, static_cast<int32_t>(failure));
    return {true};
  }
  if (!LeaveWorkingCanvas(s, host)) {
    DestroyCanvas(fresh);
    return {true};
  }
  TakeCanvas(s, fresh, s.loaders);
  s.settings.currentFilePath = path;
  return CanvasReplaced(s);
}

void ClearWholeCanvas(AppState& s) {
  Canvas& c = s.canvas;
  if (!c.bitmap) return;
  const PixelRect whole{0, 0, c.width, c.height};
  {
    std::lock_guard<std::recursive_mutex> guard(s.step.update.lock);
    ClearEditable(*c.bitmap, c.width, c.height, c.layers);
    (void)CommitCanvasRect(c, whole);
    c.saved = 0;
  }
  (void)SubmitDirty(s.step.update, s.view, s.step.updateMessages, &whole);
}

FileCommandOutcome ClearAsNew(AppState& s) {
  ClearWholeCanvas(s);
  FileCommandOutcome done = CanvasReplaced(s);
  s.canvas.saved = 1;
  return done;
}

FileCommandOutcome NewCanvasCommand(AppState& s, FileCommandHost& host) {
  if (!s.settings.currentFilePath.empty()) {
    if (!AskToSave(s, host, false)) return {true};
  } else if (s.canvas.bitmap && !ArchiveAsWorkingCanvas(s, host)) {
    return {true};  // nothing is replaced without its copy
  }
  s.settings.currentFilePath.clear();
  if (s.settings.newcanvassize == kNewCanvasKeepSize && s.canvas.bitmap) return ClearAsNew(s);
  if (StartNewCanvas(s, s.loaders) == StartCanvasSource::kNone)
    host.Report(FileCommandFailure::kNoMemory, fs::path(), 0);
  return CanvasReplaced(s);
}

FileCommandOutcome OpenCommand(AppState& s, FileCommandHost& host) {
  if (!AskToSave(s, host, true)) return {true};
  fs::path path = s.settings.currentFilePath;
  if (!host.ChooseFile(FileDialog::kOpenCanvas, path)) return {true};
  return OpenFile(s, host, path);
}

FileCommandOutcome StepFileCommand(AppState& s, FileCommandHost& host, bool forward) {
  if (s.fileList.names.empty()) return {true};
  const bool hasCurrentFile = !s.settings.currentFilePath.empty();
  const FileStep step = StepCanvasFile(static_cast<int32_t>(s.fileList.names.size()), CurrentFilePosition(s),
                                       hasCurrentFile, forward);
  if (step.kind == FileStep::kStay) return {true};
  if (!AskToSave(s, host, true)) return {true};
  if (step.kind == FileStep::kFile) return OpenFile(s, host, s.fileList.folder / s.fileList.names[step.index]);
  // Back to the working canvas after the last file.
  Canvas fresh{};
  if (ReadCanvasFile(s.settings.workingCanvasFile, fresh) == CanvasLoadFailure::kNone) {
    TakeCanvas(s, fresh, s.loaders);
  } else if (StartNewCanvas(s, s.loaders) == StartCanvasSource::kNone) {
    host.Report(FileCommandFailure::kNoMemory, s.settings.workingCanvasFile, 0);
  }
  s.settings.currentFilePath.clear();
  return CanvasReplaced(s);
}

// The refusals shared by both exports: no export may replace the canvas being edited.
bool IsOwnCanvas(const AppState& s, const fs::path& path) {
  return SamePath(path, s.settings.currentFilePath) || SamePath(path, s.settings.workingCanvasFile);
}

// The view's picture at client size, as shown; null when there is no memory for it.
DibBitmap* ClientPicture(AppState& s) {
  std::lock_guard<std::recursive_mutex> guard(s.step.update.lock);
  return RenderClientPicture(s.view);
}

FileCommandOutcome ExportPictureCommand(AppState& s, FileCommandHost& host) {
  fs::path path = TimeStampedDefault(s, host, ".png");
  if (!host.ChooseFile(FileDialog::kExportPicture, path)) return {true};
  if (IsOwnCanvas(s, path)) {
    host.Report(FileCommandFailure::kOwnCanvas, path, 0);
    return {true};
  }
  host.Wait(true);
  DibBitmap* picture = ClientPicture(s);
  const bool written = WriteComposedPicture(picture, path);
  FreeDibBitmap(picture);
  host.Wait(false);
  if (!written) host.Report(picture ? FileCommandFailure::kCannotExport : FileCommandFailure::kNoMemory, path, 0);
  return {true};
}

// An image file placed onto the canvas: read as the imported image (converted to layer values,
// the layer table left alone), it floats as a selection of every layer at the view's top-left
// corner, for the artist to move and drop.
FileCommandOutcome ImportImageCommand(AppState& s, FileCommandHost& host) {
  fs::path path;
  if (!host.ChooseFile(FileDialog::kImportImage, path) || !s.canvas.bitmap) return {true};
  host.Wait(true);
  const CanvasLoadFailure failure = LoadImportedImage(s.canvas, path);
  bool floated = false;
  if (failure == CanvasLoadFailure::kNone && s.canvas.importedImage) {
    const DibBitmap& image = *s.canvas.importedImage;
    floated = FloatWholeImage(s, image);
  }
  FreeImportedImage(s.canvas);
  host.Wait(false);
  if (failure != CanvasLoadFailure::kNone) host.Report(FileCommandFailure::kCannotRead, path, static_cast<int32_t>(failure));
  else if (!floated) host.Report(FileCommandFailure::kNoMemory, path, 0);
  return {true, false, false, floated};
}

FileCommandOutcome ExportPsdCommand(AppState& s, FileCommandHost& host) {
  fs::path path = TimeStampedDefault(s, host, ".psd");
  if (!host.ChooseFile(FileDialog::kExportPsd, path)) return {true};
  if (IsOwnCanvas(s, path)) {
    host.Report(FileCommandFailure::kOwnCanvas, path, 0);
    return {true};
  }
  if (!s.canvas.bitmap) return {true};
  host.Wait(true);
  const PsdExportFailure failure = ExportPsd(path, *s.canvas.bitmap, s.canvas.layers);
  host.Wait(false);
  if (failure != PsdExportFailure::kNone)
    host.Report(FileCommandFailure::kCannotExport, path, static_cast<int32_t>(failure));
  return {true};
}

}  // namespace

DropVerdict ClassifyDroppedFile(const AppState& s, const fs::path& path) {
  if (path.extension() != ".png") return DropVerdict::kIgnore;  // exactly: ".PNG" is not taken
  if (SamePath(path, WorkingFolder(s) / kDragFileName)) return DropVerdict::kBeep;
  return DropVerdict::kOpen;
}

FileCommandOutcome OpenCanvasAsCurrentFile(AppState& s, FileCommandHost& host, const fs::path& path) {
  if (!AskToSave(s, host, true)) return {true};
  return OpenFile(s, host, path);
}

FileCommandOutcome NewFromClipboardFile(AppState& s, FileCommandHost& host, const fs::path& path) {
  if (!s.settings.currentFilePath.empty() && HasUnsavedChanges(s.canvas) && !Save(s, host)) return {true};
  std::error_code error;
  if (fs::exists(path, error)) return OpenFile(s, host, path);
  if (!LeaveWorkingCanvas(s, host)) return {true};
  if (StartNewCanvas(s, s.loaders) == StartCanvasSource::kNone) host.Report(FileCommandFailure::kNoMemory, fs::path(), 0);
  s.settings.currentFilePath = path;
  return CanvasReplaced(s);
}

void ListWorkingFolder(AppState& s) {
  s.fileList.folder = WorkingFolder(s);
  ListCanvasFiles(s.fileList);
}

FileStep StepCanvasFile(int32_t count, int32_t position, bool hasCurrentFile, bool forward) {
  if (count < 1) return {FileStep::kStay, 0};
  if (position < 0 || position >= count) {
    // The working canvas (or a file outside the list) stands after the last file.
    if (!forward) return {FileStep::kFile, count - 1};
    return {hasCurrentFile ? FileStep::kWorkingCanvas : FileStep::kStay, 0};
  }
  if (!forward) return position == 0 ? FileStep{FileStep::kStay, 0} : FileStep{FileStep::kFile, position - 1};
  if (position + 1 < count) return {FileStep::kFile, position + 1};
  return {hasCurrentFile ? FileStep::kWorkingCanvas : FileStep::kStay, 0};
}

FileCommandOutcome RunFileCommand(AppState& s, FileCommandHost& host, int32_t command) {
  switch (command) {
    case CMD_NEW_CANVAS: return NewCanvasCommand(s, host);
    case CMD_OPEN: return OpenCommand(s, host);
    case CMD_SAVE: return {true, false, Save(s, host), false};
    case CMD_SAVE_AS: return {true, false, SaveAs(s, host), false};
    case CMD_CLEAR_CANVAS_AS_NEW: return ClearAsNew(s);
    case CMD_SAVE_SNAPSHOT:
      (void)Archive(s, host);
      return {true};
    case CMD_EXPORT_IMAGE: return ExportPictureCommand(s, host);
    case CMD_EXPORT_PSD: return ExportPsdCommand(s, host);
    case CMD_IMPORT_IMAGE: return ImportImageCommand(s, host);
    case CMD_PREVIOUS_FILE: return StepFileCommand(s, host, false);
    case CMD_NEXT_FILE: return StepFileCommand(s, host, true);
    case CMD_CLEAR:
      ClearWholeCanvas(s);
      return {true, false, true, true};
    default:
      return {};
  }
}

bool SaveBeforeClose(AppState& s, FileCommandHost& host) {
  if (!s.settings.currentFilePath.empty()) {
    if (!AskToSave(s, host, true)) return false;
  } else if (s.canvas.bitmap && !WriteCanvasTo(s, host, s.settings.workingCanvasFile)) {
    return false;  // the artist can retry, or save somewhere else first
  }
  const fs::path folder = WorkingFolder(s);
  if (!folder.empty()) {
    std::error_code error;
    fs::remove(folder / kDragFileName, error);
  }
  return true;
}

fs::path WritePictureDragFile(AppState& s) {
  const fs::path folder = WorkingFolder(s);
  if (folder.empty()) return {};
  DibBitmap* picture = ClientPicture(s);
  const fs::path path = folder / kDragFileName;
  const bool written = WriteComposedPicture(picture, path);
  FreeDibBitmap(picture);
  return written ? path : fs::path{};
}
