// Moving the view with the mouse: while the pan key (Space) is held, or another program has
// switched pan mode on, a left-button drag pans; with Ctrl as well it turns the view about the
// client centre, with Shift it zooms. Turning and zooming show a live preview while the button
// is down and apply the result on release.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <thread>

#include "view/canvas_view.h"
#include "view/composition_preview.h"

enum class ViewDragMode : int { kNone, kPan, kRotate, kZoom };

// The drag a left-button drag makes: none outside pan mode; Ctrl turns, else Shift zooms, else
// it pans.
ViewDragMode DragModeFor(bool panMode, bool ctrlHeld, bool shiftHeld);

struct ViewDrag {
  ViewDragMode mode = ViewDragMode::kNone;
  bool measured = false;      // the first move has taken the start angle or distance
  int32_t lastX = 0, lastY = 0;
  double startAngle = 0, angle = 0;     // radians (turning)
  int32_t startRadius = 0, radius = 0;  // client pixels (zooming)
};

// What one move of a drag asks of the window.
struct DragStep {
  enum Kind : int { kNothing, kScroll, kRotatePreview, kZoomPreview } kind = kNothing;
  int32_t dx = 0, dy = 0;              // kScroll: ScrollViewBy(dx, dy)
  RotationPreviewRequest rotation{};  // kRotatePreview
  float zoom = 1.0f;                  // kZoomPreview: RenderZoomPreview's factor
};

// The button went down at client (x, y) in mode.
void BeginViewDrag(ViewDrag& drag, ViewDragMode mode, int32_t x, int32_t y);
// A move with the button down: panning scrolls by the previous position minus this one; the
// first move of a turn or zoom takes the start angle or distance, later moves ask for previews.
DragStep MoveViewDrag(ViewDrag& drag, const CanvasView& view, int32_t x, int32_t y);
// The button went up: a turn or zoom that got past its first move is applied to the view (the
// caller holds the view lock and has waited for the preview). Returns true when the view
// changed scale or rotation (the title follows the scale).
bool FinishViewDrag(ViewDrag& drag, CanvasView& view);

// One worker thread that renders previews: a new request replaces one not yet started, so a
// fast drag never queues stale frames. Jobs run one at a time in request order of what is left.
class PreviewWorker {
 public:
  PreviewWorker() = default;
  PreviewWorker(const PreviewWorker&) = delete;
  PreviewWorker& operator=(const PreviewWorker&) = delete;
  ~PreviewWorker() { Stop(); }

  // Starts the thread on the first request. False when no thread could be started: the caller
  // then runs the job itself.
  [[nodiscard]] bool Request(std::function<void()> job);
  // Returns once no job is waiting or running.
  void WaitIdle();
  // A job is waiting or running.
  bool Busy();
  // Drops a waiting job, finishes the running one and ends the thread.
  void Stop();

 private:
  void Run();
  std::mutex lock_;
  std::condition_variable wake_, idle_;
  std::function<void()> next_;
  bool running_ = false;
  bool stopping_ = false;
  std::thread thread_;
};
