// The file commands: new, open, save, save as, snapshots, the previous and next file of the
// working folder, the exports, clearing the canvas as new, and what an orderly close saves.
//
// The program works in one of two modes. In working-canvas mode (no current file) the canvas
// lives in "canvas.png" of the user data folder: closing writes it back, and replacing it first
// archives it as a time-stamped copy, so no drawing is ever dropped without a copy. In file mode
// (a named PNG is open) replacing or closing asks before discarding unsaved changes.
//
// Everything a command needs from the window (questions, file dialogs, error boxes, the clock)
// comes through FileCommandHost, so the commands run natively in tests with a scripted host.
#pragma once

#include <cstdint>
#include <filesystem>

#include "app/app_state.h"
#include "files/canvas_file_list.h"
#include "files/canvas_load.h"

// The answer to "save the changes first?".
enum class SaveAnswer : int { kYes, kNo, kCancel };

// The file dialogs the commands show.
enum class FileDialog : int {
  kOpenCanvas,     // PNG, open; initial contents: the current file
  kSaveCanvasAs,   // PNG, save; the current file, or the working folder and a time-stamped name
  kExportPicture,  // PNG, save; the working folder and a time-stamped name
  kExportPsd,      // PSD, save; the working folder and a time-stamped name with ".psd"
  kImportImage,    // PNG, open; empty
};

// Why a file command stopped. The window words it; path names the file or folder concerned.
enum class FileCommandFailure : int {
  kNone = 0,
  kNotAFolder,       // the working folder (defaultpath) is not a folder
  kCannotWrite,      // the canvas could not be written to path
  kCannotRead,       // path is not a canvas this program reads (damaged, truncated, other format)
  kNoMemory,         // no memory for the canvas of path
  kCannotExport,     // the picture or PSD could not be written to path
  kOwnCanvas,        // an export was aimed at the canvas file being edited
  kNoFreeName,       // every time-stamped name for this second is taken
};

class FileCommandHost {
 public:
  // Yes/No/Cancel before unsaved changes of the current file are discarded.
  virtual SaveAnswer AskToSave() = 0;
  // Shows the dialog with path as its initial contents; on OK path receives the choice and the
  // result is true. Cancel returns false.
  virtual bool ChooseFile(FileDialog dialog, std::filesystem::path& path) = 0;
  // detail: for kCannotExport of a PSD file the PsdExportFailure, for kCannotRead the
  // CanvasLoadFailure (0 when not known), else 0.
  virtual void Report(FileCommandFailure failure, const std::filesystem::path& path, int32_t detail) = 0;
  virtual LocalTime Now() = 0;
  // The wait cursor around long work.
  virtual void Wait(bool on) = 0;

 protected:
  ~FileCommandHost() = default;
};

// What the window must refresh after a file command.
struct FileCommandOutcome {
  bool handled = false;         // the command is a file command
  bool canvasReplaced = false;  // a new canvas: the view was reset; panels re-read layers and pens
  bool title = false;           // the current file or the saved flag changed
  bool view = false;            // repaint the view
};

// Runs a file command (CMD_NEW_CANVAS .. CMD_EXIT's neighbours, CMD_CLEAR). Commands that need
// a window of their own (print, import, new from clipboard image) are not handled here.
FileCommandOutcome RunFileCommand(AppState& state, FileCommandHost& host, int32_t command);

// A file dropped onto the window: opened as the current file when its extension is exactly
// ".png"; the program's own drag file ("_DnD_.png" of the working folder) dropped back only
// beeps; anything else is ignored.
enum class DropVerdict : int { kOpen, kIgnore, kBeep };
DropVerdict ClassifyDroppedFile(const AppState& state, const std::filesystem::path& path);

// Opens path as the current file, as the open command does after its dialog: asks before
// unsaved changes of a current file go (Yes saves as), writes the working canvas back first in
// working-canvas mode, and changes nothing when the file does not load.
FileCommandOutcome OpenCanvasAsCurrentFile(AppState& state, FileCommandHost& host, const std::filesystem::path& path);

// Writes the view's picture, as shown, to the drag file "_DnD_.png" of the working folder for a
// drag out of the program. Returns its path, or an empty path when it could not be written.
std::filesystem::path WritePictureDragFile(AppState& state);

// New from the clipboard's file list, with its first path: unsaved changes of a current file
// are saved first (without asking); an existing file is opened as the current file (the
// working canvas written back first), a missing one becomes the current file of a new canvas
// made as the new-canvas command makes one.
FileCommandOutcome NewFromClipboardFile(AppState& state, FileCommandHost& host, const std::filesystem::path& path);

// The orderly close's saving: in file mode with unsaved changes, asks; Yes saves as (a cancelled
// or failed save keeps the program running), Cancel keeps it running. In working-canvas mode
// writes the working canvas file. Then removes the drag file "_DnD_.png" of the working folder.
// Returns false when the program must stay open.
[[nodiscard]] bool SaveBeforeClose(AppState& state, FileCommandHost& host);

// Where the previous/next file commands go in the list of the working folder: the files in
// order, and after the last one the working canvas.
struct FileStep {
  enum Kind : int { kStay, kFile, kWorkingCanvas } kind;
  int32_t index;  // for kFile
};
// position: the list index of the current file, or -1 when the working canvas (or a file outside
// the list) is open. Previous from the working canvas goes to the last file, from the first file
// nowhere; next from the last file returns to the working canvas (only from a file), from the
// working canvas nowhere. An empty list goes nowhere.
FileStep StepCanvasFile(int32_t count, int32_t position, bool hasCurrentFile, bool forward);

// Lists the working folder's canvas files (the previous/next file commands step through them).
void ListWorkingFolder(AppState& state);
