// export-picture: the composed picture of a whole canvas, as the view shows it, from the
// command line.
#include <cerrno>
#include <cstdint>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "canvas/canvas_lifecycle.h"
#include "files/canvas_load.h"
#include "canvas/dib_bitmap.h"
#include "app/user_texts.h"
#include "cli/commands.h"
#include "files/bmp_reader.h"
#include "files/composed_picture.h"
#include "reduce/gpu_engine.h"
#include "reduce/opencl_library.h"
#include "view/canvas_view.h"
#include "view/composition.h"
#include "reduce/composition_hooks.h"
#include "view/view_operations.h"

namespace {

constexpr const char* kUsage =
    "usage: dotwright-cli export-picture CANVAS.png OUT.png [--scale S] [--rotation DEG] [--mirror] "
    "[--paper GRAIN.bmp] [--engine cpu|opencl]";

constexpr const char* kOptionsHelp =
    "The whole canvas composed as the view shows it, written as a true-colour PNG.\n"
    "  --scale S          canvas pixels per picture pixel, 0.125 to 16 (default 1); above 1 the\n"
    "                     picture averages the canvas in linear light, below 1 it magnifies\n"
    "                     each canvas pixel to a block of round(1 / S) pixels\n"
    "  --rotation DEG     view rotation in degrees (default 0); RGB(192, 192, 192) surrounds\n"
    "                     the turned canvas\n"
    "  --mirror           show the canvas flipped left to right\n"
    "  --paper GRAIN.bmp  lay a paper texture under the picture as the view's paper switch does\n"
    "                     (tiled from the top-left corner, one texture pixel per picture pixel;\n"
    "                     reduced and one-to-one views only, as in the program)\n"
    "  --engine cpu|opencl  where the averaging runs (default cpu); opencl takes a GPU device\n"
    "                     when there is one, else any OpenCL device, and names it on standard\n"
    "                     error; views averaging more than 10 canvas pixels per picture pixel\n"
    "                     across use the processor engine, as the program does\n";

// The largest picture written: 2^28 pixels, 1 GiB of 32-bit pixels in memory.
constexpr int64_t kMaxPicturePixels = int64_t{1} << 28;

// Prints "dotwright-cli: export-picture: ", the rest of the line and, when the failure has a
// text of the program's, " (TEXT)"; returns the exit status 1.
template <typename... Args>
int FailWith(const char* programText, const char* format, Args... args) {
  std::fputs("dotwright-cli: export-picture: ", stderr);
  std::fprintf(stderr, format, args...);
  if (programText && *programText) std::fprintf(stderr, " (%s)", programText);
  std::fputc('\n', stderr);
  return 1;
}

template <typename... Args>
int Fail(const char* format, Args... args) {
  return FailWith(nullptr, format, args...);
}

int UsageError(const char* what, const char* value) {
  std::fprintf(stderr, "dotwright-cli: export-picture: %s '%s'\n%s\n", what, value, kUsage);
  return 2;
}

// A decimal number that is the whole argument and finite.
bool ParseNumber(const char* text, double& value) {
  if (!*text) return false;
  errno = 0;
  char* end = nullptr;
  value = std::strtod(text, &end);
  return end && !*end && errno != ERANGE && std::isfinite(value);
}

struct PictureOptions {
  const char* input = nullptr;
  const char* output = nullptr;
  float scale = 1.0f;
  float rotation = 0.0f;
  int mirrored = 0;
  const char* paper = nullptr;
  bool opencl = false;
};

// Returns 0 when the arguments are usable, else the exit status of the usage error.
int ParseOptions(int argc, char** argv, PictureOptions& o) {
  int positional = 0;
  for (int i = 0; i < argc; ++i) {
    const std::string a = argv[i];
    const bool hasValue = i + 1 < argc;
    double number = 0.0;
    if (a == "--scale") {
      if (!hasValue) return UsageError("missing value after", "--scale");
      if (!ParseNumber(argv[++i], number) || number < kMinViewScale || number > kMaxViewScale)
        return UsageError("scale must be 0.125 to 16, not", argv[i]);
      o.scale = static_cast<float>(number);
    } else if (a == "--rotation") {
      if (!hasValue) return UsageError("missing value after", "--rotation");
      if (!ParseNumber(argv[++i], number) || std::fabs(number) > 1e6)
        return UsageError("rotation must be a number of degrees, not", argv[i]);
      o.rotation = NormaliseRotation(static_cast<float>(number));
    } else if (a == "--mirror") {
      o.mirrored = 1;
    } else if (a == "--paper") {
      if (!hasValue) return UsageError("missing value after", "--paper");
      o.paper = argv[++i];
    } else if (a == "--engine") {
      if (!hasValue) return UsageError("missing value after", "--engine");
      const std::string engine = argv[++i];
      if (engine != "cpu" && engine != "opencl") return UsageError("engine must be cpu or opencl, not", argv[i]);
      o.opencl = engine == "opencl";
    } else if (a.size() > 1 && a[0] == '-' && a[1] == '-') {
      return UsageError("unknown option", argv[i]);
    } else if (positional == 0) {
      o.input = argv[i];
      ++positional;
    } else if (positional == 1) {
      o.output = argv[i];
      ++positional;
    } else {
      return UsageError("unexpected argument", argv[i]);
    }
  }
  if (positional != 2) {
    std::fprintf(stderr, "dotwright-cli: export-picture: %s\n", kUsage);
    return 2;
  }
  return 0;
}

// Everything the command holds, released in reverse order whatever happens.
struct PictureJob {
  Canvas canvas{};
  CanvasView view = NewCanvasView();
  DibBitmap* picture = nullptr;
  bool gpu = false;
  int32_t paperSwitch = 0;
  ~PictureJob() {
    FreeDibBitmap(picture);
    FreeDibBitmap(view.paper);
    FreeDibBitmap(view.composed);
    FreeDibBitmap(view.outsideMask);
    DestroyCanvas(canvas);
    if (gpu) ReleaseGpuEngine();
  }
};

}  // namespace

// export-picture CANVAS.png OUT.png [options]: the canvas composed as the view shows it at that
// scale, rotation and mirror, written as a true-colour PNG (atomically: a failed write leaves an
// old OUT.png as it was). Reduced views (scale above |sin| + |cos| of the rotation) are the
// linear-light averages, other views the nearest canvas pixels through the palette, magnified
// k = round(1 / scale) times; RGB(192, 192, 192) surrounds a rotated canvas. --paper lays a
// paper texture (a BMP, tiled one texture pixel per picture pixel from the top-left corner)
// under the picture as the view does with its paper switch on: reduced and one-to-one views
// only, the view's blend at strength 128. --engine opencl sets up the OpenCL engine (a GPU
// device when there is one, else any device, named on standard error) and uses it where the
// view would: reductions up to 10 canvas pixels per view pixel.
int CommandExportPicture(int argc, char** argv) {
  if (argc == 1 && (std::strcmp(argv[0], "--help") == 0 || std::strcmp(argv[0], "-h") == 0)) {
    std::printf("%s\n\n%s", kUsage, kOptionsHelp);
    return 0;
  }
  PictureOptions options;
  if (const int status = ParseOptions(argc, argv, options)) return status;
  if (IsSameFile(options.input, options.output))
    return Fail("'%s' is the canvas being exported; choose another output file", options.output);

  int status = 0;
  {
    PictureJob job;
    if (options.opencl) {
      if (InitGpuEngine(ToolGpuEngineOptions(RunningProgramFolder())) != GpuSetUpFailure::kNone) {
        const std::string failure = GpuEngineFailure();
        status = Fail("no OpenCL engine: %s", failure.empty() ? "set-up failed" : failure.c_str());
      } else {
        job.gpu = true;
        std::fprintf(stderr, "dotwright-cli: export-picture: OpenCL device: %s\n", GpuDeviceName());
      }
    }
    if (status == 0) {
      InitCanvas(job.canvas);
      if (const CanvasLoadFailure failure = LoadCanvas(job.canvas, options.input); failure != CanvasLoadFailure::kNone)
        status = FailWith(CanvasLoadText(failure), "cannot read canvas file '%s'", options.input);
    }
    DibBitmap* texture = nullptr;
    if (status == 0 && options.paper) {
      BmpFailure reason = BmpFailure::kNone;
      texture = ReadBmpFile(options.paper, &reason);
      const char* text = BmpFailureText(reason);
      if (!texture) status = Fail("cannot read paper '%s': %s", options.paper, text ? text : "unreadable");
    }
    if (status == 0) {
      CanvasView& view = job.view;
      view.canvas = &job.canvas;
      view.scale = options.scale;
      view.rotation = options.rotation;
      view.mirrored = options.mirrored;
      view.settings.paperTexture = &job.paperSwitch;
      InstallCompositionHooks(view);
      ChooseSampler(view);
      RecomposeOptions recompose{};
      recompose.threaded = 1;
      recompose.gpuEngine = job.gpu ? GpuReduce : nullptr;
      const RecomposeFailure recomposed = RecomposeView(view, recompose, nullptr);
      if (recomposed != RecomposeFailure::kNone || !view.composed) {
        status = FailWith(RecomposeText(recomposed), "not enough memory to compose the picture");
      } else if (texture) {
        view.paper = PreparePaperImage(*texture, DibWidth(*view.composed), DibHeight(*view.composed));
        if (!view.paper) status = Fail("not enough memory for the paper");
        job.paperSwitch = 1;
      }
    }
    FreeDibBitmap(texture);
    if (status == 0) {
      // The picture is held whole in memory before it is written: refuse sizes that would
      // exhaust it (8 x magnification of a large canvas) instead of failing half-way.
      const int64_t k = ViewIsMagnified(job.view) ? MagnifiedPixelSide(job.view.scale) : 1;
      const int64_t width = DibWidth(*job.view.composed) * k, height = DibHeight(*job.view.composed) * k;
      if (width * height > kMaxPicturePixels)
        status = Fail("a picture of %lld x %lld pixels is too large (at most %lld pixels)",
                      static_cast<long long>(width), static_cast<long long>(height),
                      static_cast<long long>(kMaxPicturePixels));
    }
    if (status == 0) {
      job.picture = RenderWholePicture(job.view);
      if (!job.picture) {
        status = Fail("not enough memory for the picture");
      } else if (!WriteComposedPicture(job.picture, options.output)) {
        status = Fail("cannot write '%s'", options.output);
      }
    }
  }
  return status;
}
