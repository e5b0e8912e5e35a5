// The reduced view on an A4 canvas at 600 DPI (4961 x 7016) that looks drawn: mostly bare
// paper, thousands of pen strokes on the eight layers, halftone patches.
//
//   Recompose/S/R     whole recomposition at scale S, rotation R (the engine the view picks:
//                     pool up to f = 10, wide above), threaded; its CPU column is the
//                     processor time of all threads together (the work done, which other
//                     load on the machine does not hide)
//   RecomposeOneThread/S/R   the same on the calling thread alone
//   RecomposeFresh/S/R       Recompose/S/R without a composed picture to reuse: the picture is
//                     freed first, so every recomposition allocates and faults a new one (what
//                     a change of size costs, and what every recomposition cost before reuse)
//   Partial256        the reducing sampler on a 256 x 256 canvas rectangle at scale 4
//   Straightforward/S the plain way on one thread: per pixel and channel a float pow to linear
//                     light, float sums, a float pow back
//   Libvips/S         libvips' linear-light box shrink of the same picture, already expanded to
//                     RGB in memory: sRGB -> scRGB, shrink S x S, -> sRGB, written to memory
//                     (only where libvips was found at configure time)
//   SumBytes          summing the canvas bytes on every processor: the memory limit
//
// A summary after the table sets, per scale, the turned view (30 degrees) beside the straight
// one, threaded and on one thread, against libvips and the memory limit, and the saving of
// reusing the composed picture. Timings are real (wall) time, with the turned-to-straight
// ratio of processor times beside them (all threads' when threaded, the calling thread's on
// one thread): on a machine shared with other work the wall times wander, the processor times
// much less. With --benchmark_repetitions the summary takes the medians.
//
//   reduce_benchmark --benchmark_min_time=0.5
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "bench/drawn_canvas.h"
#include "canvas/canvas.h"
#include "canvas/dib_bitmap.h"
#include "canvas/layer_table.h"
#include "canvas/palette.h"
#include "reduce/linear_light.h"
#include "reduce/reduce.h"
#include "reduce/thread_pool.h"
#include "reduce/view_samplers.h"
#include "view/canvas_view.h"

#ifdef DOTWRIGHT_HAVE_VIPS
#include <vips/vips.h>
#endif

namespace {

using bench::kA4Height;
using bench::kA4Width;

// The drawn canvas and a view of it, built once.
struct DrawnA4 {
  DibBitmap* bitmap = nullptr;
  Canvas canvas{};
  CanvasView view = NewCanvasView();
  std::vector<uint8_t> rgb;  // the picture expanded through the palette, top-down RGB (libvips)

  DrawnA4() {
    bitmap = CreateDibBitmap(8, nullptr, 0, kA4Width, kA4Height);
    std::memset(bitmap->bits, 0xFF, static_cast<size_t>(bitmap->stride) * kA4Height);
    LayerTable layers = DefaultLayerTable();
    ComputePalette(*bitmap, layers);
    bench::DrawTestDrawing(*bitmap, 0x2545F491u);
    canvas.width = kA4Width;
    canvas.height = kA4Height;
    canvas.bitmap = bitmap;
    canvas.layers = layers;
    view.canvas = &canvas;
    InstallViewSamplers(view);
    rgb.resize(static_cast<size_t>(kA4Width) * kA4Height * 3);
    for (int y = 0; y < kA4Height; ++y) {
      const uint8_t* row = DibRow(*bitmap, y);
      uint8_t* out = rgb.data() + static_cast<size_t>(y) * kA4Width * 3;
      for (int x = 0; x < kA4Width; ++x) {
        const DibColour& c = bitmap->colours[row[x]];
        out[3 * x] = c.red;
        out[3 * x + 1] = c.green;
        out[3 * x + 2] = c.blue;
      }
    }
    InitReduceTables();
  }
  void Set(float scale, float rotation) {
    view.scale = scale;
    view.rotation = rotation;
    ChooseSampler(view);
  }
};

DrawnA4& Shared() {
  static DrawnA4 a4;
  return a4;
}

void BM_Recompose(benchmark::State& state) {
  DrawnA4& a4 = Shared();
  a4.Set(static_cast<float>(state.range(0)), static_cast<float>(state.range(1)));
  ReduceEngineKind used = ReduceEngineKind::kNearest;
  for (auto _ : state) {
    if (RecomposeViewImage(a4.view, {1, nullptr}, &used) != RecomposeFailure::kNone) state.SkipWithError("recomposition failed");
    benchmark::DoNotOptimize(a4.view.composed->bits);
  }
  state.SetLabel(used == ReduceEngineKind::kWide ? "wide" : "pool");
  FreeDibBitmap(a4.view.composed);
}

// Without a picture to reuse: freed before each recomposition.
void BM_RecomposeFresh(benchmark::State& state) {
  DrawnA4& a4 = Shared();
  a4.Set(static_cast<float>(state.range(0)), static_cast<float>(state.range(1)));
  for (auto _ : state) {
    FreeDibBitmap(a4.view.composed);
    if (RecomposeViewImage(a4.view, {1, nullptr}) != RecomposeFailure::kNone) state.SkipWithError("recomposition failed");
    benchmark::DoNotOptimize(a4.view.composed->bits);
  }
  FreeDibBitmap(a4.view.composed);
}

// The same on the calling thread alone.
void BM_RecomposeOneThread(benchmark::State& state) {
  DrawnA4& a4 = Shared();
  a4.Set(static_cast<float>(state.range(0)), static_cast<float>(state.range(1)));
  for (auto _ : state) {
    if (RecomposeViewImage(a4.view, {0, nullptr}) != RecomposeFailure::kNone) state.SkipWithError("recomposition failed");
    benchmark::DoNotOptimize(a4.view.composed->bits);
  }
  FreeDibBitmap(a4.view.composed);
}

void BM_Partial256(benchmark::State& state) {
  DrawnA4& a4 = Shared();
  a4.Set(4.0f, 0.0f);
  if (RecomposeViewImage(a4.view, {1, nullptr}) != RecomposeFailure::kNone) {
    state.SkipWithError("recomposition failed");
    return;
  }
  const PixelRect rects[4] = {{1000, 1000, 1256, 1256}, {2301, 3407, 2557, 3663}, {4000, 6000, 4256, 6256},
                              {17, 5001, 273, 5257}};
  int i = 0;
  for (auto _ : state) {
    a4.view.sampler(a4.view, a4.canvas, rects[i++ & 3], 1);
    benchmark::DoNotOptimize(a4.view.composed->bits);
  }
  FreeDibBitmap(a4.view.composed);
}

// The plain way: float pow per pixel and channel, float sums, float pow back; one thread.
void BM_Straightforward(benchmark::State& state) {
  DrawnA4& a4 = Shared();
  const float scale = static_cast<float>(state.range(0));
  const int w = static_cast<int>(std::ceil(kA4Width / scale)), h = static_cast<int>(std::ceil(kA4Height / scale));
  for (auto _ : state) {
    std::vector<float> sums(static_cast<size_t>(w) * h * 4, 0.0f);
    for (int y = 0; y < kA4Height; ++y) {
      const uint8_t* row = DibRow(*a4.bitmap, y);
      const int dy = static_cast<int>((static_cast<float>(y) + 0.5f) / scale);
      for (int x = 0; x < kA4Width; ++x) {
        const DibColour& c = a4.bitmap->colours[row[x]];
        const int dx = static_cast<int>((static_cast<float>(x) + 0.5f) / scale);
        float* s = &sums[(static_cast<size_t>(dy) * w + dx) * 4];
        s[0] += std::pow(c.red / 255.0f, 2.2f);
        s[1] += std::pow(c.green / 255.0f, 2.2f);
        s[2] += std::pow(c.blue / 255.0f, 2.2f);
        s[3] += 1.0f;
      }
    }
    std::unique_ptr<uint32_t[]> out(new uint32_t[static_cast<size_t>(w) * h]);
    for (size_t i = 0; i < static_cast<size_t>(w) * h; ++i) {
      const float* s = &sums[i * 4];
      auto byte = [&](float v) { return static_cast<uint32_t>(std::pow(v / s[3], 1.0f / 2.2f) * 255.0f + 0.5f); };
      out[i] = s[3] > 0 ? (byte(s[0]) << 16) | (byte(s[1]) << 8) | byte(s[2]) : 0xC0C0C0u;
    }
    benchmark::DoNotOptimize(out.get());
  }
}

#ifdef DOTWRIGHT_HAVE_VIPS
void BM_Libvips(benchmark::State& state) {
  DrawnA4& a4 = Shared();
  const double scale = static_cast<double>(state.range(0));
  for (auto _ : state) {
    VipsImage* in = vips_image_new_from_memory(a4.rgb.data(), a4.rgb.size(), kA4Width, kA4Height, 3,
                                               VIPS_FORMAT_UCHAR);
    VipsImage *linear = nullptr, *small = nullptr, *back = nullptr;
    bool ok = in && vips_colourspace(in, &linear, VIPS_INTERPRETATION_scRGB, nullptr) == 0 &&
              vips_shrink(linear, &small, scale, scale, nullptr) == 0 &&
              vips_colourspace(small, &back, VIPS_INTERPRETATION_sRGB, nullptr) == 0;
    size_t size = 0;
    void* pixels = ok ? vips_image_write_to_memory(back, &size) : nullptr;
    if (!pixels) state.SkipWithError(vips_error_buffer());
    benchmark::DoNotOptimize(pixels);
    g_free(pixels);
    for (VipsImage* image : {back, small, linear, in})
      if (image) g_object_unref(image);
  }
}
#endif

struct SumWork {
  const DibBitmap* bitmap;
  int bands;
  uint64_t sums[64];
};

void SumBand(void* context, int index) {
  SumWork& w = *static_cast<SumWork*>(context);
  const size_t bytes = static_cast<size_t>(w.bitmap->stride) * DibHeight(*w.bitmap);
  const size_t words = bytes / 8;
  const size_t begin = words * static_cast<size_t>(index) / static_cast<size_t>(w.bands);
  const size_t end = words * static_cast<size_t>(index + 1) / static_cast<size_t>(w.bands);
  uint64_t sum = 0;
  for (size_t i = begin; i < end; ++i) {
    uint64_t v;
    std::memcpy(&v, w.bitmap->bits + i * 8, 8);
    sum += (v & 0x00FF00FF00FF00FFull) + ((v >> 8) & 0x00FF00FF00FF00FFull);
  }
  w.sums[index] = sum;
}

void BM_SumBytes(benchmark::State& state) {
  DrawnA4& a4 = Shared();
  SumWork work{a4.bitmap, std::min(64, PoolThreadCount() * 4), {}};
  for (auto _ : state) {
    RunPoolBatch(work.bands, SumBand, &work);
    uint64_t total = 0;
    for (int i = 0; i < work.bands; ++i) total += work.sums[i];
    benchmark::DoNotOptimize(total);
  }
}

// ---- Summary ----------------------------------------------------------------------------

class SummaryReporter : public benchmark::ConsoleReporter {
 public:
  using ConsoleReporter::ConsoleReporter;

  void ReportRuns(const std::vector<Run>& runs) override {
    ConsoleReporter::ReportRuns(runs);
    for (const Run& run : runs) {
      if (run.error_occurred) continue;
      // Single runs, or the median of repetitions when there are some.
      const bool repeated = run.repetitions > 1;
      if (repeated ? run.aggregate_name != "median" : run.run_type != Run::RT_Iteration) continue;
      // The name without "/iterations:N", "/real_time" and "_median".
      std::string name = run.run_name.function_name;
      if (!run.run_name.args.empty()) name += "/" + run.run_name.args;
      times_[name] = run.GetAdjustedRealTime();  // in the benchmark's unit (ms)
      cpu_[name] = run.GetAdjustedCPUTime();
    }
  }

  void Finalize() override {
    ConsoleReporter::Finalize();
    std::fprintf(stdout,
                 "\nSummary (wall time, ms; turned = 30 degrees; ratio = turned / straight; cpu = the same ratio"
                 " of processor times, which other load on the machine disturbs less)\n"
                 "scale  threaded: straight   turned  ratio    cpu  one thread: straight   turned  ratio    cpu"
                 "  libvips (x ours straight)  sum of bytes (ours straight x)\n");
    const double sum = Time("BM_SumBytes");
    for (const char* scale : {"2", "4", "8", "16"}) {
      const std::string s(scale);
      const double straight = Time("BM_Recompose/" + s + "/0"), turned = Time("BM_Recompose/" + s + "/30");
      const double oneStraight = Time("BM_RecomposeOneThread/" + s + "/0");
      const double oneTurned = Time("BM_RecomposeOneThread/" + s + "/30");
      if (straight <= 0) continue;
      const std::string cpuRatio =
          Ratio(Cpu("BM_Recompose/" + s + "/30"), Cpu("BM_Recompose/" + s + "/0"));
      const std::string oneCpuRatio =
          Ratio(Cpu("BM_RecomposeOneThread/" + s + "/30"), Cpu("BM_RecomposeOneThread/" + s + "/0"));
      std::fprintf(stdout, "1/%-4s %18.2f %8.2f %6s %6s %20.2f %8.2f %6s %6s", scale, straight, turned,
                   Ratio(turned, straight).c_str(), cpuRatio.c_str(), oneStraight, oneTurned,
                   Ratio(oneTurned, oneStraight).c_str(), oneCpuRatio.c_str());
      const double vips = Time("BM_Libvips/" + s);
      if (vips > 0) {
        std::fprintf(stdout, "  %9.1f (%5.1fx)         ", vips, vips / straight);
      } else {
        std::fprintf(stdout, "  %9s %8s         ", "-", "");
      }
      if (sum > 0) std::fprintf(stdout, "  %6.2f (%.1fx)", sum, straight / sum);
      std::fprintf(stdout, "\n");
    }
    const double plain = Time("BM_Straightforward/8"), ours8 = Time("BM_Recompose/8/0");
    if (plain > 0 && ours8 > 0)
      std::fprintf(stdout, "straightforward 1/8 on one thread %.1f (%.1fx ours threaded)\n", plain, plain / ours8);
    for (const char* rotation : {"0", "30"}) {
      const std::string r(rotation);
      const double fresh = Time("BM_RecomposeFresh/2/" + r), reused = Time("BM_Recompose/2/" + r);
      if (fresh > 0 && reused > 0)
        std::fprintf(stdout, "1/2 at %2s degrees: a new picture %.2f, the composed picture reused %.2f: saves %.2f\n",
                     rotation, fresh, reused, fresh - reused);
    }
    std::fflush(stdout);
  }

 private:
  static std::string Ratio(double a, double b) {
    if (a <= 0 || b <= 0) return "-";
    char text[16];
    std::snprintf(text, sizeof text, "%.2fx", a / b);
    return text;
  }
  double Time(const std::string& name) const {
    auto it = times_.find(name);
    return it == times_.end() ? 0.0 : it->second;
  }
  double Cpu(const std::string& name) const {
    auto it = cpu_.find(name);
    return it == cpu_.end() ? 0.0 : it->second;
  }
  std::map<std::string, double> times_, cpu_;
};

}  // namespace

BENCHMARK(BM_SumBytes)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_Recompose)
    ->ArgsProduct({{2, 4, 8, 16}, {0, 30}})
    ->Unit(benchmark::kMillisecond)
    ->MeasureProcessCPUTime()
    ->UseRealTime();
BENCHMARK(BM_RecomposeFresh)->ArgsProduct({{2}, {0, 30}})->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_RecomposeOneThread)
    ->ArgsProduct({{2, 4, 8, 16}, {0, 30}})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK(BM_Partial256)->Unit(benchmark::kMicrosecond)->UseRealTime();
BENCHMARK(BM_Straightforward)->Arg(8)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(2);
#ifdef DOTWRIGHT_HAVE_VIPS
BENCHMARK(BM_Libvips)->Arg(2)->Arg(4)->Arg(8)->Arg(16)->Unit(benchmark::kMillisecond)->UseRealTime();
#endif

int main(int argc, char** argv) {
#ifdef DOTWRIGHT_HAVE_VIPS
  if (VIPS_INIT(argv[0])) return 1;
  vips_cache_set_max(0);  // every iteration computes afresh
#endif
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  SummaryReporter reporter(benchmark::ConsoleReporter::OO_None);
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();
  return 0;
}
