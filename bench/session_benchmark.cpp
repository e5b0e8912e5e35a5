// Thirty seconds of drawing, replayed: 6000 pen samples at 200 Hz (30 strokes of one second,
// pressure swelling and fading, hand-like curves from a fixed seed) through the real input step,
// the update thread and the view's partial recomposition, on an A4 canvas at 600 DPI shown at
// 1/4 in a 1280 x 1024 view, straight and turned 30 degrees.
//
// The view keeps up when a sample costs less than the 5 ms between samples; the target is ten
// times the real rate, 0.5 ms per sample ("per_sample" against "budget", both in seconds). The baseline in
// the same run is the same session with no view at all (painting and undo only), so the
// difference is what showing the strokes costs. Also the recovery copy of the drawing: the
// snapshot the pen may wait for, and the write that runs beside it.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstring>
#include <filesystem>
#include <memory>
#include <vector>

#include "app/app_state.h"
#include "app/input_step.h"
#include "app/recovery.h"
#include "bench/drawn_canvas.h"
#include "files/canvas_png.h"
#include "reduce/composition_hooks.h"
#include "view/back_buffer.h"
#include "view/view_operations.h"

namespace {

constexpr int kSamplesPerStroke = 200;  // one second at 200 Hz
constexpr int kStrokes = 30;
constexpr double kBudgetMicroseconds = 5000.0 / 10.0;

// The session: positions in screen pixels of the 1280 x 1024 view (16ths, as pens report them).
std::vector<PenSample> RecordedSession() {
  bench::Random random{0x5e5510u};
  std::vector<PenSample> samples;
  samples.reserve(kStrokes * (kSamplesPerStroke + 1));
  for (int s = 0; s < kStrokes; ++s) {
    float x = 200.0f + random.Unit() * 880.0f, y = 150.0f + random.Unit() * 700.0f;
    float heading = random.Unit() * 6.2831853f;
    for (int i = 0; i < kSamplesPerStroke; ++i) {
      heading += (random.Unit() - 0.5f) * 0.3f;
      x += std::cos(heading) * 1.5f;
      y += std::sin(heading) * 1.5f;
      const float t = static_cast<float>(i) / (kSamplesPerStroke - 1);
      PenSample p{};
      p.x = static_cast<int32_t>(x * 16.0f);
      p.y = static_cast<int32_t>(y * 16.0f);
      p.pressure = static_cast<uint32_t>(1024.0f * std::sin(t * 3.1415927f));
      p.azimuth = 1300;
      p.altitude = 550;
      samples.push_back(p);
    }
    PenSample up = samples.back();
    up.pressure = 0;
    samples.push_back(up);
  }
  return samples;
}

struct Session {
  std::unique_ptr<AppState> state = std::make_unique<AppState>();

  Session(bool withView, float rotation) {
    AppState& s = *state;
    BindAppState(s);
    PenSetting& pen = s.settings.pens[0];
    pen.KindOfPen = 0;
    pen.Size = 24;
    pen.Hardness = 50;
    pen.Interval = 100;
    pen.Roundness = 100;
    s.input.maxPressure = 1024;
    if (!StartBlankCanvas(s, bench::kA4Width, bench::kA4Height, nullptr, nullptr)) std::abort();
    bench::DrawTestDrawing(*s.canvas.bitmap, 1);
    s.view.scale = 4.0f;
    ChooseSampler(s.view);
    if (!withView) return;
    InstallCompositionHooks(s.view);
    InstallBackBufferHooks(s.view);
    // The window thread paints a finished rectangle when the next one is handed over.
    s.step.updateMessages = {&s.step.update, [](void*) {},
                             [](void* update) { (void)PaintFinished(*static_cast<UpdateThread*>(update)); }, nullptr};
    if (!ResizeView(s.view, 1280, 1024)) std::abort();
    ResetViewToNewCanvas(s.view);
    SetViewScale(s.view, 4.0f);
    if (rotation != 0.0f) SetViewRotation(s.view, rotation);
  }
  ~Session() { ReleaseAppState(*state); }
};

void Replay(benchmark::State& state, bool withView, float rotation) {
  const std::vector<PenSample> samples = RecordedSession();
  Session session(withView, rotation);
  AppState& s = *session.state;
  for (auto _ : state) {
    for (const PenSample& p : samples) FeedPenSample(s.context, s.step, p, SampleConditions{});
    StopUpdateThread(s.step.update);  // the last rectangle composed too
  }
  // Seconds per sample, beside the budget in seconds.
  state.counters["per_sample"] = benchmark::Counter(static_cast<double>(samples.size()),
                                                    benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
  state.counters["budget"] = kBudgetMicroseconds * 1e-6;
}

void BM_SessionPaintOnly(benchmark::State& state) { Replay(state, false, 0.0f); }
void BM_SessionQuarterStraight(benchmark::State& state) { Replay(state, true, 0.0f); }
void BM_SessionQuarterTurned30(benchmark::State& state) { Replay(state, true, 30.0f); }

// The recovery copy of an A4 drawing: the snapshot taken under the view lock (the only pause the
// pen can feel) and the file written on its own thread afterwards.
void BM_RecoverySnapshot(benchmark::State& state) {
  Session session(false, 0.0f);
  AppState& s = *session.state;
  s.settings.settingsFile = std::filesystem::temp_directory_path() / "dotwright-bench" / "setting" / "Dotwright.ini";
  int64_t column = 0;
  for (auto _ : state) {
    state.PauseTiming();
    FinishRecoveryCopy(s.recovery);  // the file is written beside the pen, not measured here
    DibRow(*s.canvas.bitmap, 0)[column++ % 4961] ^= 1;  // a change the last copy lacks
    ++s.step.handlerCalls;
    s.canvas.saved = 0;
    state.ResumeTiming();
    if (!StartRecoveryCopy(s, s.recovery)) state.SkipWithError("no copy started");
  }
  FinishRecoveryCopy(s.recovery);
  std::error_code error;
  std::filesystem::remove(RecoveryFile(s.settings), error);
}

void BM_RecoveryWrite(benchmark::State& state) {
  Session session(false, 0.0f);
  const std::filesystem::path file = std::filesystem::temp_directory_path() / "dotwright-recovery-bench.png";
  for (auto _ : state)
    if (!WriteCanvasPng(file, *session.state->canvas.bitmap, &session.state->canvas.layers)) state.SkipWithError("write");
  std::error_code error;
  std::filesystem::remove(file, error);
}

}  // namespace

BENCHMARK(BM_RecoverySnapshot)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_RecoveryWrite)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);
BENCHMARK(BM_SessionPaintOnly)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(2);
BENCHMARK(BM_SessionQuarterStraight)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(2);
BENCHMARK(BM_SessionQuarterTurned30)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(2);
BENCHMARK_MAIN();
