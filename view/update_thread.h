// The update thread: recomposes dirty canvas rectangles of the view's composed image in the
// background at the lowest priority, and tells the window thread which client rectangle is
// ready to be painted.
//
// Everything in UpdateThread below the lock is read and written only with the view lock held.
// The lock is the view's: every view operation and the commit copy take it too, so the thread
// never composes from a canvas that is being changed.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <thread>

#include "canvas/pixel_rect.h"
#include "view/canvas_view.h"

// What the update thread and the submitter tell the window thread. The Windows shell posts or
// sends the "finished rectangle ready" message (0x800B); tests call their own functions.
struct UpdateMessages {
  void* context;
  void (*postFinished)(void* context);  // asynchronous: the window thread will call PaintFinished
  void (*sendFinished)(void* context);  // synchronous: returns after PaintFinished has run
  void (*lowerThreadPriority)();        // called on the new thread; may be null
};

struct UpdateThread {
  std::recursive_mutex lock;  // the view lock
  // ---- guarded by lock ----
  bool exists = false;    // the thread has been started
  bool running = false;   // busy (not waiting)
  bool posted = false;    // a finished rectangle waits for the window thread
  bool wake = false;      // the wake event (auto-reset)
  bool stopping = false;  // shutdown only: the thread leaves its loop
  PixelRect finished{};   // client rectangle recomposed and not yet painted
  PixelRect job{};        // canvas rectangle being recomposed
  PixelRect queued{};     // union of canvas rectangles submitted while busy
  bool samplerFailed = false;  // a job's sampler returned false since TakeSamplerFailure
  CanvasView* view = nullptr;
  UpdateMessages messages{};
  // ---- the thread itself ----
  std::condition_variable_any wakeSignal;
  std::thread thread;
};

// What SubmitDirty did with a rectangle.
enum class DirtyHandOver : int {
  kNothing,  // the rectangle was missing or all four coordinates 0
  kStarted,  // the thread was started for it
  kWoken,    // an idle thread was woken
  kQueued,   // queued for a busy thread
};

// Hands a changed canvas rectangle to the update thread. A finished rectangle still waiting is
// painted first (sendFinished), so the screen never lags more than one batch behind.
DirtyHandOver SubmitDirty(UpdateThread& update, CanvasView& view, const UpdateMessages& messages, const PixelRect* rect);

// On the window thread, for the "finished rectangle ready" message: redraws the finished client
// rectangle into the back buffer (the view's renderViewRect hook) and returns it for the caller
// to invalidate; an empty rectangle when nothing was posted.
PixelRect PaintFinished(UpdateThread& update);

// On the window thread: true once after a job's sampler failed (the composed image was not the
// picture the sampler works on), so the window can tell the user (kSamplerFailedText in
// app/user_texts.h); false otherwise. Clears what it reports.
[[nodiscard]] bool TakeSamplerFailure(UpdateThread& update);

// Ends the thread and waits for it (program shutdown and tests). The thread otherwise lives as
// long as the process.
void StopUpdateThread(UpdateThread& update);
