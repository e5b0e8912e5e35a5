#include "app/view_drag.h"

#include <cmath>
#include <system_error>

#include "view/view_commands.h"

ViewDragMode DragModeFor(bool panMode, bool ctrlHeld, bool shiftHeld) {
  if (!panMode) return ViewDragMode::kNone;
  if (ctrlHeld) return ViewDragMode::kRotate;
  if (shiftHeld) return ViewDragMode::kZoom;
  return ViewDragMode::kPan;
}

void BeginViewDrag(ViewDrag& drag, ViewDragMode mode, int32_t x, int32_t y) {
  drag = ViewDrag{};
  drag.mode = mode;
  drag.lastX = x;
  drag.lastY = y;
}

DragStep MoveViewDrag(ViewDrag& drag, const CanvasView& view, int32_t x, int32_t y) {
  DragStep step;
  const int32_t w = view.clientWidth, h = view.clientHeight;
  switch (drag.mode) {
    case ViewDragMode::kNone: break;
    case ViewDragMode::kPan:
      step.kind = DragStep::kScroll;
      step.dx = drag.lastX - x;
      step.dy = drag.lastY - y;
      drag.lastX = x;
      drag.lastY = y;
      if (step.dx == 0 && step.dy == 0) step.kind = DragStep::kNothing;
      break;
    case ViewDragMode::kRotate:
      drag.angle = DragAngle(x, y, w, h);
      if (!drag.measured) {
        drag.measured = true;
        drag.startAngle = drag.angle;
        break;
      }
      step.kind = DragStep::kRotatePreview;
      // The picture turns the way the view will: a larger rotation turns it clockwise on screen.
      step.rotation = {static_cast<float>(drag.angle - drag.startAngle), w / 2, h / 2, 1.0f};
      break;
    case ViewDragMode::kZoom:
      drag.radius = DragZoomRadius(x, y, w, h);
      if (!drag.measured) {
        drag.measured = true;
        drag.startRadius = DragZoomStartRadius(x, y, w, h);
        break;
      }
      step.kind = DragStep::kZoomPreview;
      step.zoom = ZoomPreviewFactor(view.scale, static_cast<float>(drag.radius), static_cast<float>(drag.startRadius));
      break;
  }
  return step;
}

bool FinishViewDrag(ViewDrag& drag, CanvasView& view) {
  const ViewDrag done = drag;
  drag = ViewDrag{};
  if (!done.measured) return false;
  if (done.mode == ViewDragMode::kRotate) {
    ApplyRotateDrag(view, done.startAngle, done.angle);
    return true;
  }
  if (done.mode == ViewDragMode::kZoom) {
    ApplyZoomDrag(view, done.radius, done.startRadius);
    return true;
  }
  return false;
}

bool PreviewWorker::Request(std::function<void()> job) {
  std::unique_lock<std::mutex> guard(lock_);
  if (!thread_.joinable()) {
    stopping_ = false;
    try {
      thread_ = std::thread([this] { Run(); });
    } catch (const std::system_error&) {
      return false;
    }
  }
  next_ = std::move(job);
  wake_.notify_one();
  return true;
}

void PreviewWorker::WaitIdle() {
  std::unique_lock<std::mutex> guard(lock_);
  idle_.wait(guard, [this] { return !next_ && !running_; });
}

bool PreviewWorker::Busy() {
  std::lock_guard<std::mutex> guard(lock_);
  return next_ || running_;
}

void PreviewWorker::Stop() {
  {
    std::lock_guard<std::mutex> guard(lock_);
    stopping_ = true;
    next_ = nullptr;
    wake_.notify_one();
  }
  if (thread_.joinable()) thread_.join();
}

void PreviewWorker::Run() {
  std::unique_lock<std::mutex> guard(lock_);
  for (;;) {
    wake_.wait(guard, [this] { return stopping_ || next_; });
    if (stopping_) break;
    std::function<void()> job = std::move(next_);
    next_ = nullptr;
    running_ = true;
    guard.unlock();
    job();
    guard.lock();
    running_ = false;
    idle_.notify_all();
  }
  running_ = false;
  idle_.notify_all();
}
