#include "view/update_thread.h"

#include <chrono>

#include "view/view_mapping.h"

namespace {

bool IsAllZero(const PixelRect& r) { return r.left == 0 && r.top == 0 && r.right == 0 && r.bottom == 0; }

// An empty rectangle in `into` is replaced by `add`.
void Accumulate(PixelRect& into, const PixelRect& add) {
  into = IsRectEmpty(into) ? add : UnionRect(into, add);
}

void ThreadLoop(UpdateThread* u) {
  if (u->messages.lowerThreadPriority) u->messages.lowerThreadPriority();
  for (;;) {
    {
      std::lock_guard<std::recursive_mutex> guard(u->lock);
      if (u->stopping) return;
      CanvasView& view = *u->view;
      const PixelRect job = u->job;
      if (view.sampler && view.canvas && !view.sampler(view, *view.canvas, job, 1)) u->samplerFailed = true;
      const PixelRect client = CanvasRectToClient(view, job);
      u->posted = true;
      Accumulate(u->finished, client);
      if (u->messages.postFinished) u->messages.postFinished(u->messages.context);
      u->job = PixelRect{};
    }
    std::unique_lock<std::recursive_mutex> guard(u->lock);
    if (!IsRectEmpty(u->queued)) {
      u->job = u->queued;
      u->queued = PixelRect{};
      continue;
    }
    u->running = false;
    while (IsRectEmpty(u->queued) && !u->stopping) {
      // Let the window thread paint before looking for more work.
      guard.unlock();
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
      guard.lock();
      u->wakeSignal.wait(guard, [u] { return u->wake || u->stopping; });
      u->wake = false;  // auto-reset
    }
    if (u->stopping) return;
    u->job = u->queued;
    u->queued = PixelRect{};
    u->running = true;
  }
}

}  // namespace

DirtyHandOver SubmitDirty(UpdateThread& u, CanvasView& view, const UpdateMessages& messages, const PixelRect* rect) {
  if (!rect || IsAllZero(*rect)) return DirtyHandOver::kNothing;
  std::unique_lock<std::recursive_mutex> guard(u.lock);
  if (u.exists) {
    if (u.posted && messages.sendFinished) {
      // The window thread paints under the same (re-entrant) lock.
      messages.sendFinished(messages.context);
    }
    Accumulate(u.queued, *rect);
    if (u.running) return DirtyHandOver::kQueued;
    u.wake = true;
    u.wakeSignal.notify_one();
    return DirtyHandOver::kWoken;
  }
  u.exists = true;
  u.running = true;
  u.posted = false;
  u.finished = PixelRect{};
  u.view = &view;
  u.messages = messages;
  u.job = *rect;
  u.queued = PixelRect{};
  u.wake = true;  // created signalled
  u.thread = std::thread(ThreadLoop, &u);
  return DirtyHandOver::kStarted;
}

PixelRect PaintFinished(UpdateThread& u) {
  std::lock_guard<std::recursive_mutex> guard(u.lock);
  if (!u.posted) return PixelRect{};
  const PixelRect done = u.finished;
  if (u.view && u.view->hooks.renderViewRect) u.view->hooks.renderViewRect(*u.view, done);
  u.finished = PixelRect{};
  u.posted = false;
  return done;
}

bool TakeSamplerFailure(UpdateThread& u) {
  std::lock_guard<std::recursive_mutex> guard(u.lock);
  const bool failed = u.samplerFailed;
  u.samplerFailed = false;
  return failed;
}

void StopUpdateThread(UpdateThread& u) {
  {
    std::lock_guard<std::recursive_mutex> guard(u.lock);
    if (!u.exists) return;
    u.stopping = true;
    u.wakeSignal.notify_all();
  }
  if (u.thread.joinable()) u.thread.join();
  std::lock_guard<std::recursive_mutex> guard(u.lock);
  u.exists = false;
  u.running = false;
  u.stopping = false;
}
