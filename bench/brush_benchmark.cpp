// The brush engine on an A4 canvas at 600 DPI (4961 x 7016, 8-bit, paper everywhere, default
// layers): spans, round dabs along a stroke and at scattered positions, and whole pen segments
// through the stroke handlers. Where libmypaint is available its hard round dab on its fixed
// tiled surface runs beside ours on the same positions, and a summary after the table gives
// our dabs per second over libmypaint's for each pair.
//
// libmypaint renders its queued dabs in end_atomic with OpenMP across tiles; set
// OMP_NUM_THREADS=1 to compare one thread with one thread (our primitives use one).
//
//   brush_benchmark --benchmark_min_time=0.2
//   brush_benchmark --benchmark_filter='Path/50$'      (one pair)
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "tools/pen_kind_table.h"
#include "brush/pen_setting.h"
#include "brush/primitives.h"
#include "canvas/canvas.h"
#include "canvas/dib_bitmap.h"
#include "canvas/layer_table.h"
#include "tools/app_context.h"
#include "view/canvas_view.h"
#include "view/input_state.h"
#include "view/pen_sample.h"

#ifdef DOTWRIGHT_HAVE_MYPAINT
#include <mypaint-fixed-tiled-surface.h>
#include <mypaint-surface.h>
#endif

namespace {

constexpr int kA4Width = 4961;
constexpr int kA4Height = 7016;
constexpr int kDiameters[] = {6, 50, 200, 1000};
constexpr uint32_t kRandomSeed = 20240611;

// Pen segments: samples this far apart along the stroke, in canvas pixels.
constexpr float kSampleSpacing = 30.0f;

// The application as a stroke handler sees it: the A4 canvas shown at scale 1, straight, with
// canvas, client and screen origins together, so a sample at canvas (x, y) is stored as
// (16 x, 16 y); pressures out of 1024.
struct Desk {
  DibBitmap* bitmap = CreateDibBitmap(8, nullptr, 0, kA4Width, kA4Height);
  DibBitmap* grain = nullptr;
  Canvas canvas{};
  PenSetting pens[kPenCount]{};
  int32_t currentPen = 0;
  CanvasView view = NewCanvasView();
  InputState input = NewInputState();
  AppContext app{};

  Desk() {
    std::memset(bitmap->bits, 0xFF, static_cast<size_t>(bitmap->stride) * kA4Height);
    canvas.width = kA4Width;
    canvas.height = kA4Height;
    canvas.bitmap = bitmap;
    canvas.layers = DefaultLayerTable();
    view.canvas = &canvas;
    view.scale = 1.0f;
    view.clientWidth = kA4Width;
    view.clientHeight = kA4Height;
    input.maxPressure = 1024;
    app = AppContext{&canvas, pens, &currentPen, &view, &input};
    Pen().Hardness = 50;
  }
  ~Desk() {
    FreeDibBitmap(bitmap);
    FreeDibBitmap(grain);
  }
  Desk(const Desk&) = delete;
  Desk& operator=(const Desk&) = delete;

  PenSetting& Pen() { return pens[currentPen]; }

  void UsePen(int kind, int size) {
    Pen().KindOfPen = kind;
    Pen().Size = size;
  }

  // A 512 x 512 paper grain of uniformly random values, or none.
  void SetRandomGrain(bool on) {
    if (on && !grain) {
      grain = CreateDibBitmap(8, nullptr, 0, 512, 512);
      std::mt19937 random(kRandomSeed);
      for (size_t i = 0; i < size_t{512} * 512; ++i) grain->bits[i] = static_cast<uint8_t>(random());
    }
    app.material = on ? grain : nullptr;
  }

  static PenSample Sample(PointF at, float pressure, int altitude, int azimuth) {
    PenSample s{};
    s.x = static_cast<int32_t>(std::lround(at.x * 16.0f));
    s.y = static_cast<int32_t>(std::lround(at.y * 16.0f));
    s.pressure = static_cast<uint32_t>(std::lround(pressure * 1024.0f));
    s.azimuth = azimuth;
    s.altitude = altitude;
    return s;
  }

  // The current pen's handler for the piece of stroke from `from` to `to`.
  int Segment(PointF from, PointF to, float pressure, int altitude, int azimuth) {
    input.smoothedPrevious = Sample(from, pressure, altitude, azimuth);
    input.smoothedCurrent = Sample(to, pressure, altitude, azimuth);
    PixelRect dirty{};
    return PenKindTable(Pen().KindOfPen)(app, dirty);
  }

  PaintTarget Target(PaintMode mode) { return {&canvas, &Pen(), nullptr, mode}; }
};

Desk& SharedDesk() {
  static Desk desk;
  return desk;
}

// The stroke: a long smooth curve from near the top-left corner to near the bottom-right one,
// swinging across the diagonal, about 10500 pixels long.
PointF StrokeCurve(double t) {
  constexpr double kPi = 3.14159265358979323846;
  const double x = 400.0 + (kA4Width - 800.0) * t + 700.0 * std::sin(2.0 * kPi * 2.5 * t);
  const double y = 400.0 + (kA4Height - 800.0) * t - 500.0 * std::sin(2.0 * kPi * 1.5 * t);
  return {static_cast<float>(x), static_cast<float>(y)};
}

// Points along the stroke, `spacing` pixels of arc length apart, starting at its first point.
std::vector<PointF> PointsAlongStroke(float spacing) {
  constexpr int kSteps = 1 << 18;
  std::vector<PointF> points{StrokeCurve(0.0)};
  PointF last = points.front();
  double travelled = 0.0;  // arc length since the last point kept
  for (int i = 1; i <= kSteps; ++i) {
    const PointF next = StrokeCurve(static_cast<double>(i) / kSteps);
    const double step = std::hypot(next.x - last.x, next.y - last.y);
    double into = 0.0;  // how far along this fine step the last point lies
    while (travelled + (step - into) >= spacing) {
      into += spacing - travelled;
      const double f = into / step;
      points.push_back({static_cast<float>(last.x + f * (next.x - last.x)),
                        static_cast<float>(last.y + f * (next.y - last.y))});
      travelled = 0.0;
    }
    travelled += step - into;
    last = next;
  }
  return points;
}

// Dab centres every quarter diameter along the stroke.
std::vector<PointF> PathDabs(int diameter) { return PointsAlongStroke(static_cast<float>(diameter) / 4.0f); }

// Dab centres spread uniformly over the canvas (fixed seed). The count keeps the painted area
// of one pass near 3 x 10^7 pixels, between 32 and 4096 dabs.
std::vector<PointF> RandomDabs(int diameter) {
  const double area = 3.14159265358979323846 * diameter * diameter / 4.0;
  const int count = std::clamp(static_cast<int>(3.0e7 / area), 32, 4096);
  std::mt19937 random(kRandomSeed + static_cast<uint32_t>(diameter));
  std::uniform_real_distribution<float> x(0.0f, static_cast<float>(kA4Width));
  std::uniform_real_distribution<float> y(0.0f, static_cast<float>(kA4Height));
  std::vector<PointF> dabs(count);
  for (PointF& p : dabs) p = {x(random), y(random)};
  return dabs;
}

// ---- Spans ------------------------------------------------------------------------------
// Arg 0: the same row every time (cache-resident); 1: successive rows down the canvas.
void FillSpanRows(benchmark::State& state, PaintMode mode) {
  Desk& desk = SharedDesk();
  const PaintTarget target = desk.Target(mode);
  const bool sweep = state.range(0) != 0;
  int y = kA4Height / 2;
  for (auto _ : state) {
    FillSpan(target, 0, kA4Width - 1, y);
    if (sweep && ++y == kA4Height) y = 0;
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(state.iterations() * int64_t{kA4Width});
}

void BM_FillSpan_Paint(benchmark::State& state) { FillSpanRows(state, kPaintLayer); }
void BM_FillSpan_Erase(benchmark::State& state) { FillSpanRows(state, kEraseLayer); }

// ---- Round dabs -------------------------------------------------------------------------
void FillDiscs(benchmark::State& state, const std::vector<PointF>& dabs) {
  Desk& desk = SharedDesk();
  const PaintTarget target = desk.Target(kPaintLayer);
  const float r = static_cast<float>(state.range(0)) / 2.0f;
  for (auto _ : state) {
    for (const PointF& p : dabs) FillDisc(target, p.x, p.y, r);
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(dabs.size()));
  state.counters["dabs"] = static_cast<double>(dabs.size());
}

void BM_FillDisc_Path(benchmark::State& state) { FillDiscs(state, PathDabs(static_cast<int>(state.range(0)))); }
void BM_FillDisc_Random(benchmark::State& state) {
  FillDiscs(state, RandomDabs(static_cast<int>(state.range(0))));
}

#ifdef DOTWRIGHT_HAVE_MYPAINT
// libmypaint's fixed tiled surface of the canvas's size, transparent at first (RGBA, 16 bits a
// channel, in 64 x 64 tiles: about 280 MB), made once on first use.
MyPaintSurface* SharedMyPaintSurface() {
  static MyPaintFixedTiledSurface* surface = mypaint_fixed_tiled_surface_new(kA4Width, kA4Height);
  return mypaint_fixed_tiled_surface_interface(surface);
}

// One pass is one atomic batch: draw_dab only queues the dab on the tiles it touches, and
// end_atomic renders the queues. A whole pass in one batch is the cheapest way to use the
// surface, so the baseline is not handicapped.
void MyPaintDabs(benchmark::State& state, const std::vector<PointF>& dabs) {
  MyPaintSurface* surface = SharedMyPaintSurface();
  const float r = static_cast<float>(state.range(0)) / 2.0f;
  for (auto _ : state) {
    mypaint_surface_begin_atomic(surface);
    for (const PointF& p : dabs)
      mypaint_surface_draw_dab(surface, p.x, p.y, r, 0.0f, 0.0f, 0.0f, /*opaque*/ 1.0f, /*hardness*/ 1.0f,
                               /*alpha_eraser*/ 1.0f, /*aspect_ratio*/ 1.0f, /*angle*/ 0.0f, /*lock_alpha*/ 0.0f,
                               /*colorize*/ 0.0f);
    MyPaintRectangle changed{};
    mypaint_surface_end_atomic(surface, &changed);
    benchmark::DoNotOptimize(changed);
  }
  state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(dabs.size()));
  state.counters["dabs"] = static_cast<double>(dabs.size());
}

void BM_MyPaintDab_Path(benchmark::State& state) { MyPaintDabs(state, PathDabs(static_cast<int>(state.range(0)))); }
void BM_MyPaintDab_Random(benchmark::State& state) {
  MyPaintDabs(state, RandomDabs(static_cast<int>(state.range(0))));
}
#endif

// ---- Pen segments through the stroke handlers --------------------------------------------
// One pass strokes the whole curve with samples kSampleSpacing apart at full pressure; an item
// is one segment (one handler call).
void StrokeSegments(benchmark::State& state, int altitude, int azimuth) {
  Desk& desk = SharedDesk();
  const std::vector<PointF> samples = PointsAlongStroke(kSampleSpacing);
  int64_t handled = 0;  // segments the handler accepted
  for (auto _ : state) {
    for (size_t i = 1; i < samples.size(); ++i)
      handled += desk.Segment(samples[i - 1], samples[i], 1.0f, altitude, azimuth);
    benchmark::ClobberMemory();
  }
  const int64_t segments = state.iterations() * static_cast<int64_t>(samples.size() - 1);
  if (handled != segments) state.SkipWithError("the pen's handler refused a segment");
  state.SetItemsProcessed(segments);
}

void BM_PressurePen_Segment(benchmark::State& state) {
  Desk& desk = SharedDesk();
  desk.UsePen(kKindPressurePen, static_cast<int>(state.range(0)));
  desk.SetRandomGrain(false);
  StrokeSegments(state, 550, 1300);
}

// Arg 1: with a paper grain of random values, 0: without one.
void BM_TiltPencil_Segment(benchmark::State& state) {
  Desk& desk = SharedDesk();
  desk.UsePen(kKindTiltPencil, 50);
  desk.SetRandomGrain(state.range(0) != 0);
  StrokeSegments(state, 450, 900);
  desk.SetRandomGrain(false);
}

// ---- Summary ----------------------------------------------------------------------------
// The console table, then for every BM_FillDisc_<case>/<d> that has a BM_MyPaintDab_<case>/<d>
// beside it, the ratio of their dabs per second.
class SummaryReporter : public benchmark::ConsoleReporter {
 public:
  using ConsoleReporter::ConsoleReporter;

  void ReportRuns(const std::vector<Run>& runs) override {
    ConsoleReporter::ReportRuns(runs);
    for (const Run& run : runs) {
      if (run.error_occurred) continue;
      // With repetitions the median stands for the case; a single run stands for itself.
      const bool median = run.run_type == Run::RT_Aggregate && run.aggregate_name == "median";
      if (run.run_type != Run::RT_Iteration && !median) continue;
      auto rate = run.counters.find("items_per_second");
      if (rate == run.counters.end()) continue;
      const std::string name = run.run_name.str();
      if (!rates_.count(name)) order_.push_back(name);
      if (median || !medians_.count(name)) rates_[name] = rate->second.value;
      if (median) medians_[name] = true;
    }
  }

  void Finalize() override {
    ConsoleReporter::Finalize();
    const std::string ours = "BM_FillDisc_", theirs = "BM_MyPaintDab_";
    bool header = false;
    for (const std::string& name : order_) {
      if (name.rfind(ours, 0) != 0) continue;
      const double rate = rates_[name];
      auto other = rates_.find(theirs + name.substr(ours.size()));
      if (other == rates_.end() || other->second <= 0.0) continue;
      if (!header) {
        std::fprintf(stdout, "\n%-24s %16s %16s %9s\n", "dabs/s", "ours", "libmypaint", "ratio");
        header = true;
      }
      std::fprintf(stdout, "%-24s %16.0f %16.0f %8.1fx\n", name.substr(ours.size()).c_str(), rate, other->second,
                   rate / other->second);
    }
    std::fflush(stdout);
  }

 private:
  std::vector<std::string> order_;  // names in the order they ran
  std::map<std::string, double> rates_;
  std::map<std::string, bool> medians_;
};

void RegisterAll() {
  benchmark::RegisterBenchmark("BM_FillSpan_Paint", BM_FillSpan_Paint)->ArgName("sweep")->Arg(0)->Arg(1);
  benchmark::RegisterBenchmark("BM_FillSpan_Erase", BM_FillSpan_Erase)->ArgName("sweep")->Arg(0)->Arg(1);
  // Pairs one after the other, so that each of ours sits above its baseline.
  for (int d : kDiameters) {
    benchmark::RegisterBenchmark("BM_FillDisc_Path", BM_FillDisc_Path)->Arg(d)->Unit(benchmark::kMicrosecond);
#ifdef DOTWRIGHT_HAVE_MYPAINT
    benchmark::RegisterBenchmark("BM_MyPaintDab_Path", BM_MyPaintDab_Path)->Arg(d)->Unit(benchmark::kMicrosecond);
#endif
  }
  for (int d : kDiameters) {
    benchmark::RegisterBenchmark("BM_FillDisc_Random", BM_FillDisc_Random)->Arg(d)->Unit(benchmark::kMicrosecond);
#ifdef DOTWRIGHT_HAVE_MYPAINT
    benchmark::RegisterBenchmark("BM_MyPaintDab_Random", BM_MyPaintDab_Random)
        ->Arg(d)
        ->Unit(benchmark::kMicrosecond);
#endif
  }
  benchmark::RegisterBenchmark("BM_PressurePen_Segment", BM_PressurePen_Segment)
      ->Arg(200)
      ->Unit(benchmark::kMicrosecond);
  benchmark::RegisterBenchmark("BM_TiltPencil_Segment", BM_TiltPencil_Segment)
      ->ArgName("grain")
      ->Arg(0)
      ->Arg(1)
      ->Unit(benchmark::kMicrosecond);
}

// True when the command line asks for a format other than the console table.
bool OtherFormatRequested(int argc, char** argv) {
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg.rfind("--benchmark_format=", 0) == 0 && arg != "--benchmark_format=console") return true;
  }
  return false;
}

}  // namespace

int main(int argc, char** argv) {
  const bool plain = OtherFormatRequested(argc, argv);
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  RegisterAll();
  if (plain) {
    benchmark::RunSpecifiedBenchmarks();
  } else {
    SummaryReporter reporter(isatty(fileno(stdout)) ? benchmark::ConsoleReporter::OO_Color
                                                    : benchmark::ConsoleReporter::OO_None);
    benchmark::RunSpecifiedBenchmarks(&reporter);
  }
  benchmark::Shutdown();
  return 0;
}
