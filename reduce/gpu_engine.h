// The OpenCL reduction engine: the averaging of the reduced view computed by three OpenCL
// kernels from "crrhfdib.cl" beside the program, with a result equal byte for byte to the CPU
// engines'. The OpenCL runtime is loaded at run time (opencl_library.h); nothing links
// against it.
//
// Usage
//   The program, at start and close (settings.UseGPU asks for it; failure turns it off):
//       failure = StartGpuEngine(settings);  // GPU device; sets gpuActive, or UseGPU = 0 and
//                                            // the caller says GpuSetUpText(failure, ...)
//       ...                                // the view's engine choice asks GpuEngineReady()
//       StopGpuEngine(settings);
//   A tool that wants any OpenCL device (a GPU when there is one; RunningProgramFolder is in
//   reduce/opencl_library.h):
//       if (InitGpuEngine(ToolGpuEngineOptions(RunningProgramFolder())) != GpuSetUpFailure::kNone) {
//         fprintf(stderr, "%s\n", GpuEngineFailure());
//         return 1;
//       }
//       fprintf(stderr, "OpenCL device: %s\n", GpuDeviceName());
//       DibBitmap* picture = GpuReduce(...);               // as the CPU engines (reduce.h)
//       ReleaseGpuEngine();
//
// There is one engine per process. Every call must come from one thread at a time (the
// thread that renders the view); the engine takes no locks.
#pragma once

#include <cstdint>
#include <filesystem>

struct AppSettings;

// Which OpenCL device the set-up takes from the chosen platform.
enum class GpuDeviceKind : int {
  kGpu = 0,        // a GPU device only (the program)
  kCpu = 1,        // a CPU device only (tests: pocl)
  kAny = 2,        // the first device of any type
  kGpuElseAny = 3  // a GPU device when the platform has one, else the first of any type (tools)
};

struct GpuEngineOptions {
  GpuDeviceKind device;
  // File name of the OpenCL runtime; null: DefaultOpenClLibraryName() ("OpenCL.dll").
  const char* libraryName;
  // The kernel source is programFolder / "crrhfdib.cl".
  std::filesystem::path programFolder;
  // A failed build's log goes here, replacing the file: "openclinfo.txt" in the current folder.
  std::filesystem::path buildLogFile;
};

inline constexpr const char* kGpuKernelFileName = "crrhfdib.cl";
inline constexpr const char* kGpuBuildLogFileName = "openclinfo.txt";
inline constexpr long kGpuKernelSourceLimit = 1048576;  // bytes of the kernel file read, at most

// The program's options: a GPU device, the platform's runtime, the default log file.
GpuEngineOptions ProgramGpuEngineOptions(const std::filesystem::path& programFolder);
// A tool's options: a GPU device when there is one, else any device.
GpuEngineOptions ToolGpuEngineOptions(const std::filesystem::path& programFolder);

// Why the engine could not be set up.
enum class GpuSetUpFailure : int {
  kNone = 0,
  kRuntimeNotFound,  // the OpenCL runtime cannot be loaded; the program says so
                     // (GpuSetUpText in app/user_texts.h)
  kSetUpFailed,      // any later step; silent (a build error leaves its log, see below)
};

// The runtime file name the options stand for: libraryName, or DefaultOpenClLibraryName().
const char* GpuRuntimeName(const GpuEngineOptions& options);

// Sets the engine up: loads the runtime, takes the last of at most two platforms and one device
// of the asked kind, creates a context and a command queue, builds the kernels from the source
// file. On failure everything created so far is released; after a build error the compiler's
// log and a line feed replace buildLogFile. GpuEngineFailure() then says what failed, in
// English, for tools and logs. Calling it while the engine is set up releases the old set-up
// first.
[[nodiscard]] GpuSetUpFailure InitGpuEngine(const GpuEngineOptions& options);

// Releases the kernels, the program, the queue and the context. The library stays loaded.
// Does nothing when the engine is not set up.
void ReleaseGpuEngine();

// True while the engine is set up.
bool GpuEngineReady();

// The OpenCL name of the device in use; "" when the engine is not set up.
const char* GpuDeviceName();

// Why the last InitGpuEngine or GpuReduce failed; "" after a success.
const char* GpuEngineFailure();

// Start-up: when settings.UseGPU is 1, sets the engine up (with the given options, or the
// program's); success sets gpuActive to 1, failure sets UseGPU and gpuActive to 0 so that the
// settings file records the GPU as off, and returns why. kNone when the engine runs or was not
// asked for (gpuActive tells which).
[[nodiscard]] GpuSetUpFailure StartGpuEngine(AppSettings& settings);
[[nodiscard]] GpuSetUpFailure StartGpuEngine(AppSettings& settings, const GpuEngineOptions& options);

// Shutdown: releases the engine when gpuActive is set and clears it.
void StopGpuEngine(AppSettings& settings);

// ---- Reductions --------------------------------------------------------------------------

struct CanvasView;
struct DibBitmap;
struct PixelRect;

// The GPU engine with the CPU engines' signature and result (ReduceEngine, reduce.h): the
// average of the canvas pixels of `source` as a new 32-bit picture, equal byte for byte to
// ReducePool's. When the engine is not set up or a device step fails, the CPU engines do the
// work (GpuEngineFailure() says why); reductions above f = 10, whose sample counts do not fit
// the packed sums, go to the wide-accumulator engine. threaded applies to those CPU engines.
DibBitmap* GpuReduce(const CanvasView& view, const DibBitmap& canvas, const PixelRect& source,
                     uint32_t background, int threaded);

// The device path alone: null when the engine is not set up, the destination is empty, f is
// above 10, or an OpenCL call fails (GpuEngineFailure() says which), or a bitmap cannot be
// allocated (status code 41).
DibBitmap* GpuReduceOnDevice(const CanvasView& view, const DibBitmap& canvas, const PixelRect& source,
                             uint32_t background);
