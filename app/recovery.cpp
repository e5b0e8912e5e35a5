#include "app/recovery.h"

#include <algorithm>
#include <cstring>
#include <mutex>
#include <system_error>

#include "app/app_state.h"
#include "app/startup_canvas.h"
#include "canvas/undo_history.h"
#include "files/canvas_png.h"

namespace fs = std::filesystem;

RecoveryCopier::~RecoveryCopier() {
  FinishRecoveryCopy(*this);
  FreeDibBitmap(snapshot);
}

fs::path RecoveryFile(const AppSettings& settings) {
  if (settings.settingsFile.empty()) return {};
  return settings.settingsFile.parent_path() / kRecoveryFileName;
}

uint32_t RecoveryIntervalMs(const AppSettings& settings) {
  const int32_t seconds = std::clamp(settings.RecoveryInterval, kMinRecoveryInterval, kMaxRecoveryInterval);
  return static_cast<uint32_t>(seconds) * 1000u;
}

uint64_t EditSignature(const AppState& s) {
  const UndoHistory& h = s.canvas.undo;
  // Stroke steps count every painted sample; the history indices change with undo and redo.
  uint64_t signature = static_cast<uint64_t>(s.step.handlerCalls) * 0x9E3779B97F4A7C15ull;
  signature ^= static_cast<uint64_t>(static_cast<uint32_t>(h.current)) << 32 ^ static_cast<uint32_t>(h.newest);
  signature ^= static_cast<uint64_t>(static_cast<uint32_t>(h.oldest)) << 16;
  return signature;
}

bool StartRecoveryCopy(AppState& s, RecoveryCopier& copier) {
  const fs::path file = RecoveryFile(s.settings);
  if (file.empty() || !s.canvas.bitmap || copier.busy) return false;
  const uint64_t signature = EditSignature(s);
  if (s.canvas.saved == 1) {
    // A file holds every change: an older copy would only offer less than the file.
    FinishRecoveryCopy(copier);
    std::error_code error;
    fs::remove(file, error);
    copier.copiedSignature = signature;
    return false;
  }
  if (signature == copier.copiedSignature) return false;
  FinishRecoveryCopy(copier);  // the previous writer has ended; join it
  LayerTable layers{};
  {
    std::lock_guard<std::recursive_mutex> guard(s.step.update.lock);
    const DibBitmap& canvas = *s.canvas.bitmap;
    DibBitmap*& snapshot = copier.snapshot;
    if (snapshot && (DibWidth(*snapshot) != DibWidth(canvas) || DibHeight(*snapshot) != DibHeight(canvas)))
      FreeDibBitmap(snapshot);
    if (!snapshot) snapshot = CreateDibBitmap(8, canvas.colours, 256, DibWidth(canvas), DibHeight(canvas));
    if (!snapshot) return false;
    // Same size, depth and row layout: the indices copy as one block.
    std::memcpy(snapshot->bits, canvas.bits, static_cast<size_t>(canvas.stride) * DibHeight(canvas));
    std::memcpy(snapshot->colours, canvas.colours, sizeof canvas.colours);
    layers = s.canvas.layers;
  }
  copier.copiedSignature = signature;
  copier.busy = true;
  try {
    copier.writer = std::thread([&copier, layers, file] {
      std::error_code error;
      fs::create_directories(file.parent_path(), error);
      copier.failed = !WriteCanvasPng(file, *copier.snapshot, &layers);
      copier.busy = false;
    });
  } catch (const std::system_error&) {
    copier.busy = false;
    copier.copiedSignature = ~uint64_t{0};
    return false;
  }
  return true;
}

void FinishRecoveryCopy(RecoveryCopier& copier) {
  if (copier.writer.joinable()) copier.writer.join();
}

void DiscardRecoveryCopy(const AppSettings& settings, RecoveryCopier& copier) {
  FinishRecoveryCopy(copier);
  const fs::path file = RecoveryFile(settings);
  std::error_code error;
  if (!file.empty()) fs::remove(file, error);
}

bool HasRecoveryCopy(const AppSettings& settings) {
  const fs::path file = RecoveryFile(settings);
  std::error_code error;
  return !file.empty() && fs::is_regular_file(file, error);
}

bool RestoreRecoveryCopy(AppState& s) {
  Canvas fresh{};
  if (ReadCanvasFile(RecoveryFile(s.settings), fresh) != CanvasLoadFailure::kNone) return false;
  TakeCanvas(s, fresh, s.loaders);
  s.settings.currentFilePath.clear();
  s.canvas.saved = 0;
  return true;
}

bool CopyAfterLongStroke(AppState& s, RecoveryCopier& copier) {
  const InputStep& step = s.step;
  if (step.strokeActive && !copier.strokeActive) copier.strokeStartCalls = step.handlerCalls;
  const bool ended = copier.strokeActive && !step.strokeActive;
  copier.strokeActive = step.strokeActive;
  if (!ended || step.handlerCalls - copier.strokeStartCalls < kLongStrokeSteps) return false;
  return StartRecoveryCopy(s, copier);
}
