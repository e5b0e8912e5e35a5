// Recovery copies: while the canvas has changes no file holds yet, a copy of it is written in the
// background every little while, so that a crash, a kill or a power cut loses at most those
// minutes. An orderly close removes the copy; after an abnormal end the next start offers it back.
//
// The copy lives in the settings folder ("setting/recovery.png"), apart from the artist's files
// and from the canvases the previous/next file commands step through.
#pragma once

#include <atomic>
#include <cstdint>
#include <filesystem>
#include <thread>

#include "canvas/dib_bitmap.h"
#include "settings/app_settings.h"

struct AppState;

inline constexpr char kRecoveryFileName[] = "recovery.png";

struct RecoveryCopier {
  std::thread writer;            // the copy being written, if any
  std::atomic<bool> busy{false};
  std::atomic<bool> failed{false};  // the last copy could not be written
  uint64_t copiedSignature = ~uint64_t{0};  // the edits the last copy holds; none yet
  // The canvas as the last copy took it, kept for the next copy of the same size: memory already
  // mapped copies several times faster than fresh pages, and the pen waits for this copy.
  DibBitmap* snapshot = nullptr;
  // The stroke under way, followed by CopyAfterLongStroke.
  bool strokeActive = false;
  int64_t strokeStartCalls = 0;  // the input step's handler calls when it began
  RecoveryCopier() = default;
  RecoveryCopier(const RecoveryCopier&) = delete;
  RecoveryCopier& operator=(const RecoveryCopier&) = delete;
  ~RecoveryCopier();
};

// "<user data>/setting/recovery.png"; empty without a user data folder.
std::filesystem::path RecoveryFile(const AppSettings& settings);

// The interval between copies in milliseconds: RecoveryInterval seconds clamped to 5 s .. 1 h.
uint32_t RecoveryIntervalMs(const AppSettings& settings);

// What the edits so far amount to: changes with every stroke step, undo and redo.
uint64_t EditSignature(const AppState& state);

// When the canvas holds changes the last copy lacks (and no file holds them: after a save the
// copy is not needed), takes a copy of the canvas and its layers under the view lock (a memory
// copy: the pen does not wait for the file) and writes it on a thread of its own through a
// temporary file. Returns true when a copy was started; false when there was nothing to copy,
// a copy is still being written, or there was no memory for the snapshot.
bool StartRecoveryCopy(AppState& state, RecoveryCopier& copier);

// A stroke of at least this many stroke steps (two seconds of a 200 Hz pen) is copied as soon as
// it ends, whatever the timer says: a long stroke is the work most worth keeping.
inline constexpr int64_t kLongStrokeSteps = 400;

// Follows the strokes of the input step; call after every sample. When a stroke of at least
// kLongStrokeSteps steps has just ended, starts a copy (StartRecoveryCopy). Returns whether one
// started.
bool CopyAfterLongStroke(AppState& state, RecoveryCopier& copier);

// Waits for a copy being written.
void FinishRecoveryCopy(RecoveryCopier& copier);

// The orderly close: waits for a copy being written, then removes the copy.
void DiscardRecoveryCopy(const AppSettings& settings, RecoveryCopier& copier);

// A copy left by a run that did not close in order.
bool HasRecoveryCopy(const AppSettings& settings);

// Takes the copy as the canvas, in working-canvas mode and marked unsaved (the artist decides
// where it goes). False, changing nothing, when it does not load.
[[nodiscard]] bool RestoreRecoveryCopy(AppState& state);
