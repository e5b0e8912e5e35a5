#include "app/input_step.h"

#include <cmath>

#include "app/pen_session.h"
#include "tools/pen_kind_table.h"
#include "brush/xorshift.h"
#include "canvas/masked_ops.h"
#include "canvas/undo_history.h"
#include "view/sample_to_canvas.h"
#include "view/view_mapping.h"

namespace {

bool IsToolPen(const AppContext& app) {
  const PenSetting& pen = app.pens[*app.currentPen];
  return IsToolKind(pen.KindOfPen);
}

void Notify(void (*fn)(void*), void* context) {
  if (fn) fn(context);
}

void Unite(PixelRect& into, const PixelRect& add) { into = UnionRect(into, add); }

void HandOver(AppContext& app, InputStep& step) {
  if (SubmitDirty(step.update, *app.view, step.updateMessages, &step.pending) != DirtyHandOver::kNothing)
    ++step.handOvers;
  step.pending = PixelRect{};
  step.stepCount = 0;
}

// Calls the current pen's handler; a kind outside the table consumes the sample.
bool CallHandler(AppContext& app, InputStep& step) {
  const StrokeHandler handler = PenKindTable(app.pens[*app.currentPen].KindOfPen);
  if (!handler) return false;
  PixelRect rect{};
  ++step.handlerCalls;
  if (!handler(app, rect)) return false;
  Unite(app.canvas->dirty, rect);
  Unite(step.pending, rect);
  ++step.stepCount;
  return true;
}

// Commits the finished stroke: an undo record of the dirty rectangle, then the changed pixels
// copied into the previous canvas with every bit as it is, under the view lock so the update
// thread never composes a half-copied canvas.
void CommitStroke(AppContext& app, InputStep& step) {
  Canvas& canvas = *app.canvas;
  const PixelRect changed = IntersectRect(canvas.dirty, PixelRect{0, 0, canvas.width, canvas.height});
  step.strokeActive = false;
  if (!IsRectEmpty(changed)) {
    std::lock_guard<std::recursive_mutex> guard(step.update.lock);
    CommitCanvasRect(canvas, changed, CommitBits::kAll);
    if (canvas.saved == 1) {
      canvas.saved = 0;
      Notify(step.messages.refreshTitle, step.messages.context);
    }
  }
  canvas.dirty = PixelRect{};
}

// The brush outline follows the raw pointer: its client rectangle is invalidated where it was
// and where it now is.
void MoveBrushOutline(AppContext& app, InputStep& step) {
  if (step.panMode) return;
  const CanvasView& view = *app.view;
  const PenSetting& pen = app.pens[*app.currentPen];
  const int32_t size = static_cast<int32_t>(static_cast<float>(pen.Size) / view.scale);
  const CanvasSample at = SampleToCanvas(*app.input, view, true, false);
  const ViewPoint client = CanvasToClient(view, std::trunc(at.x), std::trunc(at.y));
  const float half = 0.5f / view.scale;
  const int32_t cx = static_cast<int32_t>(static_cast<float>(client.x) + half);
  const int32_t cy = static_cast<int32_t>(static_cast<float>(client.y) + half);
  if (cx == step.lastCursorX && cy == step.lastCursorY) return;
  const PixelRect rect{cx - size / 2, cy - size / 2, cx - size / 2 + size, cy - size / 2 + size};
  {
    std::lock_guard<std::recursive_mutex> guard(step.update.lock);
    if (step.messages.invalidateCursor) step.messages.invalidateCursor(step.messages.context, step.lastCursorRect, rect);
  }
  step.lastCursorRect = rect;
  step.lastCursorX = cx;
  step.lastCursorY = cy;
}

}  // namespace

bool StrokeEnded(const AppContext& app) {
  const InputState& in = *app.input;
  if (IsToolPen(app)) return in.previous.pressure > 0 && in.current.pressure == 0;
  return in.smoothedPrevious.pressure > 0 && in.smoothedCurrent.pressure == 0;
}

int64_t HandOverThreshold(int32_t w, int32_t h, float scale, int32_t renderCost) {
  const float reducedArea = (static_cast<float>(w) / scale) * (static_cast<float>(h) / scale);
  const double t = (static_cast<double>(reducedArea) * 2.0 + static_cast<double>(w) * h * 2.0 + 10000.0) * 5e-6 *
                   (renderCost * 4e-6);
  return static_cast<int64_t>(t);
}

bool SampleShowsChange(const PenSample& a, const PenSample& b) {
  return a.x != b.x || a.y != b.y || a.pressure != b.pressure || a.azimuth != b.azimuth || a.altitude != b.altitude;
}

// The input step proper, for a sample the conditions let through.
static void RunInputStep(AppContext& app, InputStep& step, const PenSample& sample, const SampleConditions& c) {
  InputState& in = *app.input;
  StoreRawSample(in, sample);
  if (step.pcbm10 && *step.pcbm10) in.current.pressure = RemapPressurePcbm10(in.current.pressure);
  if (step.panMode || c.rotateDragRunning) return;

  PenSetting& pen = app.pens[*app.currentPen];
  ClampPenSetting(pen);  // a damaged settings file or pen XML can hold any number
  const bool tool = IsToolKind(pen.KindOfPen);

  // Pen-down.
  if (in.previous.pressure == 0 && in.current.pressure > 0) {
    if (c.overCanvasWindow) {
      app.canvas->dirty = PixelRect{};
      step.strokeActive = true;
      StartSmoothing(in);
    } else {
      step.strokeActive = false;
    }
    if (PenKindFactsOf(pen.KindOfPen).screenPerStroke) {
      // Screen and grain are placed afresh for each stroke of this kind.
      pen.TextureOffsetX = static_cast<int32_t>(NextXorShift(app.tools.sharedRandom) & 0xFF);
      pen.TextureOffsetY = static_cast<int32_t>(NextXorShift(app.tools.sharedRandom) & 0xFF);
    }
  }

  if (step.strokeActive) {
    if (RepairPenLayer(app)) Notify(step.messages.layerChanged, step.messages.context);
    PushSmoothing(in);
    if (in.current.pressure > 0 || StrokeEnded(app)) {
      if (CallHandler(app, step)) {
        if (tool) {
          HandOver(app, step);
        } else {
          const int32_t w = step.pending.right - step.pending.left;
          const int32_t h = step.pending.bottom - step.pending.top;
          if (step.stepCount > HandOverThreshold(w, h, app.view->scale, app.view->renderCost)) HandOver(app, step);
        }
      }
    } else {
      // The pen is up but the smoothed stroke still has pressure: drain the smoothing ring.
      Unite(app.canvas->dirty, step.pending);
      HandOver(app, step);
      const int32_t drains = 2 * SmoothingStrength(in) + 1;
      for (int32_t i = 0; i < drains && !StrokeEnded(app); ++i) {
        CallHandler(app, step);
        PushSmoothing(in);
      }
      HandOver(app, step);
    }
  }

  MoveBrushOutline(app, step);

  if (step.strokeActive && StrokeEnded(app)) {
    if (!IsRectEmpty(step.pending)) HandOver(app, step);
    CommitStroke(app, step);
  }
}

void FeedPenSample(AppContext& app, InputStep& step, const PenSample& sample, const SampleConditions& c) {
  if (!c.mainWindowActive || c.floatingPaletteShown || c.shiftHeld) return;
  RunInputStep(app, step, sample, c);
  const InputState& in = *app.input;
  if (SampleShowsChange(in.previous, in.current)) Notify(step.messages.sampleChanged, step.messages.context);
}
