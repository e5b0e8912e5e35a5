// Saving and loading an A4 canvas at 600 DPI (4961 x 7016) that looks drawn: about two thirds
// bare paper, thousands of thick pen strokes on the eight layers, and halftone areas. The canvas
// file's 16-piece parallel deflate and per-chunk parallel inflate run side by side with plain
// libpng on the same image (filter None, default level, one thread). Both writers go through the
// same atomic temporary-file-and-rename, so the file handling costs the same on both sides.
//
// Counters: bytes = the file's size; paper = the share of pixels with no layer painted.
#include <benchmark/benchmark.h>
#include <png.h>
#include <zlib.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>

#include <unistd.h>

#include "canvas/dib_bitmap.h"
#include "canvas/layer_table.h"
#include "canvas/palette.h"
#include "files/atomic_file.h"
#include "files/canvas_png.h"
#include "bench/drawn_canvas.h"

namespace {

using bench::kA4Height;
using bench::kA4Width;

struct DrawnA4 {
  DibBitmap* canvas = nullptr;
  LayerTable layers = DefaultLayerTable();
  double paper = 0;  // share of 0xFF pixels

  DrawnA4() {
    canvas = CreateDibBitmap(8, nullptr, 0, kA4Width, kA4Height);
    std::memset(canvas->bits, 0xFF, static_cast<size_t>(canvas->stride) * kA4Height);
    ComputePalette(*canvas, layers);
    bench::DrawTestDrawing(*canvas, 0x9E3779B9u);
    size_t bare = 0;
    for (int y = 0; y < kA4Height; ++y) {
      const uint8_t* row = DibRow(*canvas, y);
      for (int x = 0; x < kA4Width; ++x) bare += row[x] == 0xFF;
    }
    paper = static_cast<double>(bare) / (static_cast<double>(kA4Width) * kA4Height);
  }
  ~DrawnA4() { FreeDibBitmap(canvas); }
};

DrawnA4& Shared() {
  static DrawnA4 a4;
  return a4;
}

// A memory file system where there is one: both writers end with the same flush to disk, whose
// time (seconds on a busy disk) would otherwise hide the encoders being compared.
std::filesystem::path Folder() {
  static const std::filesystem::path folder = [] {
    std::error_code error;
    const std::filesystem::path base =
        std::filesystem::is_directory("/dev/shm", error) ? std::filesystem::path("/dev/shm")
                                                         : std::filesystem::temp_directory_path();
    // One folder per run: another run of this benchmark may be going on beside this one.
    auto path = base / ("dotwright-png-benchmark-" + std::to_string(getpid()));
    std::filesystem::create_directories(path);
    return path;
  }();
  return folder;
}
std::filesystem::path ParallelFile() { return Folder() / "parallel.png"; }
std::filesystem::path LibpngFile() { return Folder() / "libpng.png"; }

double FileBytes(const std::filesystem::path& path) {
  std::error_code error;
  return static_cast<double>(std::filesystem::file_size(path, error));
}

// ---- The libpng baseline ------------------------------------------------------------------------

[[noreturn]] void OnError(png_structp png, png_const_charp) { png_longjmp(png, 1); }
void OnWarning(png_structp, png_const_charp) {}

// Plain libpng: palette, the same text chunk, filter None, default level, rows top first.
bool LibpngWrite(FILE* stream, const DibBitmap& b, const char* text) {
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, OnError, OnWarning);
  png_infop info = png_create_info_struct(png);
  if (setjmp(png_jmpbuf(png))) {
    png_destroy_write_struct(&png, &info);
    return false;
  }
  png_init_io(png, stream);
  png_set_filter(png, PNG_FILTER_TYPE_BASE, PNG_FILTER_NONE);
  png_set_compression_level(png, Z_DEFAULT_COMPRESSION);
  png_set_IHDR(png, info, kA4Width, kA4Height, 8, PNG_COLOR_TYPE_PALETTE, PNG_INTERLACE_NONE,
               PNG_COMPRESSION_TYPE_BASE, PNG_FILTER_TYPE_BASE);
  png_color palette[256];
  for (int i = 0; i < 256; ++i) palette[i] = {b.colours[i].red, b.colours[i].green, b.colours[i].blue};
  png_set_PLTE(png, info, palette, 256);
  png_text t{};
  t.compression = PNG_TEXT_COMPRESSION_NONE;
  t.key = const_cast<char*>("Description");
  t.text = const_cast<char*>(text);
  t.text_length = std::strlen(text);
  png_set_text(png, info, &t, 1);
  png_write_info(png, info);
  for (int y = 0; y < DibHeight(b); ++y) png_write_row(png, DibRow(b, y));
  png_write_end(png, info);
  png_destroy_write_struct(&png, &info);
  return true;
}

bool LibpngSave(const std::filesystem::path& path, const DibBitmap& b, const LayerTable& layers) {
  const std::string text = FormatLayerTable(layers);
  AtomicFile file;
  if (!BeginAtomicFile(file, path)) return false;
  if (!LibpngWrite(file.stream, b, text.c_str())) {
    AbandonAtomicFile(file);
    return false;
  }
  return CommitAtomicFile(file);
}

bool LibpngRead(FILE* stream, DibBitmap& b) {
  png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, OnError, OnWarning);
  png_infop info = png_create_info_struct(png);
  if (setjmp(png_jmpbuf(png))) {
    png_destroy_read_struct(&png, &info, nullptr);
    return false;
  }
  png_init_io(png, stream);
  png_read_info(png, info);
  for (int y = 0; y < DibHeight(b); ++y) png_read_row(png, DibRow(b, y), nullptr);
  png_read_end(png, nullptr);
  png_destroy_read_struct(&png, &info, nullptr);
  return true;
}

// ---- Benchmarks -------------------------------------------------------------------------------------

void BM_Save_Parallel(benchmark::State& state) {
  DrawnA4& a = Shared();
  for (auto _ : state)
    if (!WriteCanvasPng(ParallelFile(), *a.canvas, &a.layers)) state.SkipWithError("write failed");
  state.counters["bytes"] = FileBytes(ParallelFile());
  state.counters["paper"] = a.paper;
}

void BM_Save_Libpng(benchmark::State& state) {
  DrawnA4& a = Shared();
  for (auto _ : state)
    if (!LibpngSave(LibpngFile(), *a.canvas, a.layers)) state.SkipWithError("write failed");
  state.counters["bytes"] = FileBytes(LibpngFile());
}

void BM_Load_Parallel(benchmark::State& state) {
  DrawnA4& a = Shared();
  if (!WriteCanvasPng(ParallelFile(), *a.canvas, &a.layers)) state.SkipWithError("write failed");
  for (auto _ : state) {
    LayerTable layers = DefaultLayerTable();
    DibBitmap* b = ReadCanvasPng(ParallelFile(), &layers);
    if (!b || LastPngDecodePath() != PngDecodePath::kParallel) state.SkipWithError("not decoded in parallel");
    FreeDibBitmap(b);
  }
  state.counters["bytes"] = FileBytes(ParallelFile());
}

// libpng reading its own file into a bitmap allocated in the loop, as the canvas reader does.
void BM_Load_Libpng(benchmark::State& state) {
  DrawnA4& a = Shared();
  if (!LibpngSave(LibpngFile(), *a.canvas, a.layers)) state.SkipWithError("write failed");
  for (auto _ : state) {
    DibBitmap* b = CreateDibBitmap(8, a.canvas->colours, 256, kA4Width, kA4Height);
    FILE* stream = OpenBinaryFile(LibpngFile(), "rb");
    if (!stream || !LibpngRead(stream, *b)) state.SkipWithError("read failed");
    if (stream) std::fclose(stream);
    FreeDibBitmap(b);
  }
  state.counters["bytes"] = FileBytes(LibpngFile());
}

// The canvas reader on libpng's file: its sequential fallback.
void BM_Load_SequentialFallback(benchmark::State& state) {
  DrawnA4& a = Shared();
  if (!LibpngSave(LibpngFile(), *a.canvas, a.layers)) state.SkipWithError("write failed");
  for (auto _ : state) {
    DibBitmap* b = ReadCanvasPng(LibpngFile(), nullptr);
    if (!b || LastPngDecodePath() != PngDecodePath::kSequential) state.SkipWithError("read failed");
    FreeDibBitmap(b);
  }
}

}  // namespace

BENCHMARK(BM_Save_Libpng)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2.0);
BENCHMARK(BM_Save_Parallel)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2.0);
BENCHMARK(BM_Load_Libpng)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2.0);
BENCHMARK(BM_Load_Parallel)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2.0);
BENCHMARK(BM_Load_SequentialFallback)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2.0);

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  std::error_code error;
  std::filesystem::remove_all(Folder(), error);
  return 0;
}
