#include "reduce/gpu_engine.h"

#include <cstdio>
#include <string>
#include <vector>

#include "files/atomic_file.h"
#include "reduce/gpu_state.h"
#include "reduce/opencl_library.h"
#include "settings/app_settings.h"

namespace {

// The OpenCL runtime, context, queue and compiled kernels: one per process, like the loaded
// runtime library they come from, shared by every view that reduces on the device. Set up and
// released only on the window thread (start-up and close); the reduction reads it.
GpuEngineState gState{};

constexpr int kMaxPlatforms = 2;  // at most two platforms are asked for; the last is used

GpuSetUpFailure Fail(GpuEngineState& st, std::string reason) {
  st.failure = std::move(reason);
  ReleaseGpuEngine();
  return GpuSetUpFailure::kSetUpFailed;
}

std::string ClError(const char* call, cl_int error) {
  return std::string(call) + " failed (OpenCL error " + std::to_string(error) + ")";
}

// The kernel source: at most kGpuKernelSourceLimit bytes of the file. false when it cannot be
// opened or read.
bool ReadKernelSource(const std::filesystem::path& path, std::string& source) {
  FILE* f = OpenBinaryFile(path, "rb");
  if (!f) return false;
  source.assign(static_cast<size_t>(kGpuKernelSourceLimit), '\0');
  size_t n = std::fread(source.data(), 1, source.size(), f);
  bool ok = !std::ferror(f);
  std::fclose(f);
  source.resize(n);
  return ok;
}

// Replaces the log file with the build log followed by a line feed.
void WriteBuildLog(const std::filesystem::path& file, const std::string& log) {
  if (file.empty()) return;
  AtomicFile out{};
  if (!BeginAtomicFile(out, file)) return;
  std::fwrite(log.data(), 1, log.size(), out.stream);
  std::fputc('\n', out.stream);
  (void)CommitAtomicFile(out);  // a log that cannot be written is not worth a message
}

std::string BuildLog(const OpenClApi& api, cl_program program, cl_device_id device) {
  size_t size = 0;
  if (api.GetProgramBuildInfo(program, device, CL_PROGRAM_BUILD_LOG, 0, nullptr, &size) != CL_SUCCESS)
    return {};
  std::string log(size, '\0');
  if (size && api.GetProgramBuildInfo(program, device, CL_PROGRAM_BUILD_LOG, size, log.data(), nullptr) !=
                  CL_SUCCESS)
    return {};
  while (!log.empty() && log.back() == '\0') log.pop_back();  // the size counts the terminator
  return log;
}

std::string DeviceName(const OpenClApi& api, cl_device_id device) {
  size_t size = 0;
  if (api.GetDeviceInfo(device, CL_DEVICE_NAME, 0, nullptr, &size) != CL_SUCCESS || size == 0) return "?";
  std::string name(size, '\0');
  if (api.GetDeviceInfo(device, CL_DEVICE_NAME, size, name.data(), nullptr) != CL_SUCCESS) return "?";
  while (!name.empty() && name.back() == '\0') name.pop_back();
  return name;
}

// One device of the asked kind from the platform; false when it has none.
bool TakeDevice(const OpenClApi& api, cl_platform_id platform, GpuDeviceKind kind, cl_device_id& device) {
  auto take = [&](cl_device_type type) {
    cl_uint count = 0;
    return api.GetDeviceIDs(platform, type, 1, &device, &count) == CL_SUCCESS && count > 0;
  };
  switch (kind) {
    case GpuDeviceKind::kGpu: return take(CL_DEVICE_TYPE_GPU);
    case GpuDeviceKind::kCpu: return take(CL_DEVICE_TYPE_CPU);
    case GpuDeviceKind::kAny: return take(CL_DEVICE_TYPE_ALL);
    case GpuDeviceKind::kGpuElseAny: return take(CL_DEVICE_TYPE_GPU) || take(CL_DEVICE_TYPE_ALL);
  }
  return false;
}

const char* DeviceKindName(GpuDeviceKind kind) {
  switch (kind) {
    case GpuDeviceKind::kGpu: return "GPU";
    case GpuDeviceKind::kCpu: return "CPU";
    default: return "";
  }
}

}  // namespace

GpuEngineState& GpuState() { return gState; }

GpuEngineOptions ProgramGpuEngineOptions(const std::filesystem::path& programFolder) {
  return {GpuDeviceKind::kGpu, nullptr, programFolder, kGpuBuildLogFileName};
}

GpuEngineOptions ToolGpuEngineOptions(const std::filesystem::path& programFolder) {
  return {GpuDeviceKind::kGpuElseAny, nullptr, programFolder, kGpuBuildLogFileName};
}

const char* GpuRuntimeName(const GpuEngineOptions& options) {
  return options.libraryName ? options.libraryName : DefaultOpenClLibraryName();
}

GpuSetUpFailure InitGpuEngine(const GpuEngineOptions& options) {
  GpuEngineState& st = gState;
  ReleaseGpuEngine();
  st.failure.clear();

  // 1. The runtime. It stays loaded once opened, whatever happens next.
  const char* libraryName = GpuRuntimeName(options);
  void* library = OpenRuntimeLibrary(libraryName);
  if (!library) {
    Fail(st, "the OpenCL runtime " + std::string(libraryName) + " is not found");
    return GpuSetUpFailure::kRuntimeNotFound;
  }
  st.library = library;

  // 2. The entry points.
  if (!ResolveOpenClApi(library, st.api)) return Fail(st, "the OpenCL runtime lacks an OpenCL 1.2 function");
  const OpenClApi& api = st.api;

  // 3. The last of at most two platforms, one device, a context and a queue.
  cl_platform_id platforms[kMaxPlatforms] = {};
  cl_uint platformCount = 0;
  cl_int error = api.GetPlatformIDs(kMaxPlatforms, platforms, &platformCount);
  if (error != CL_SUCCESS || platformCount == 0) return Fail(st, "no OpenCL platform is installed");
  cl_platform_id platform = platforms[(platformCount < kMaxPlatforms ? platformCount : kMaxPlatforms) - 1];
  cl_device_id device = nullptr;
  if (!TakeDevice(api, platform, options.device, device))
    return Fail(st, std::string("the OpenCL platform has no ") + DeviceKindName(options.device) + " device");
  st.device = device;
  st.context = api.CreateContext(nullptr, 1, &device, nullptr, nullptr, &error);
  if (!st.context) return Fail(st, ClError("clCreateContext", error));
  st.queue = api.CreateCommandQueue(st.context, device, 0, &error);
  if (!st.queue) return Fail(st, ClError("clCreateCommandQueue", error));

  // 4. The kernel source beside the program.
  std::filesystem::path sourcePath = options.programFolder / kGpuKernelFileName;
  std::string source;
  if (!ReadKernelSource(sourcePath, source))
    return Fail(st, "the kernel source " + sourcePath.string() + " cannot be read");

  // 5. Build for the device, with no options; a failed build leaves its log in the log file.
  const char* text = source.c_str();
  size_t length = source.size();
  st.program = api.CreateProgramWithSource(st.context, 1, &text, &length, &error);
  if (!st.program) return Fail(st, ClError("clCreateProgramWithSource", error));
  error = api.BuildProgram(st.program, 1, &device, nullptr, nullptr, nullptr);
  if (error != CL_SUCCESS) {
    WriteBuildLog(options.buildLogFile, BuildLog(api, st.program, device));
    return Fail(st, "the kernels of " + sourcePath.string() + " failed to build (the log is in " +
                        options.buildLogFile.string() + ")");
  }

  // 6. The three kernels. A missing kernel fails the set-up: reductions need all three.
  st.initKernel = api.CreateKernel(st.program, "CRRHFDIBInit8", &error);
  if (!st.initKernel) return Fail(st, ClError("clCreateKernel CRRHFDIBInit8", error));
  st.countKernel = api.CreateKernel(st.program, "CRRHFDIBCount8", &error);
  if (!st.countKernel) return Fail(st, ClError("clCreateKernel CRRHFDIBCount8", error));
  st.divideKernel = api.CreateKernel(st.program, "CRRHFDIBDiv8", &error);
  if (!st.divideKernel) return Fail(st, ClError("clCreateKernel CRRHFDIBDiv8", error));

  st.deviceName = DeviceName(api, device);
  st.ready = 1;
  return GpuSetUpFailure::kNone;
}

void ReleaseGpuEngine() {
  GpuEngineState& st = gState;
  const OpenClApi& api = st.api;
  if (st.divideTables) api.ReleaseMemObject(st.divideTables);
  if (st.initKernel) api.ReleaseKernel(st.initKernel);
  if (st.countKernel) api.ReleaseKernel(st.countKernel);
  if (st.divideKernel) api.ReleaseKernel(st.divideKernel);
  if (st.program) api.ReleaseProgram(st.program);
  if (st.queue) api.ReleaseCommandQueue(st.queue);
  if (st.context) api.ReleaseContext(st.context);
  st.divideTables = nullptr;
  st.initKernel = st.countKernel = st.divideKernel = nullptr;
  st.program = nullptr;
  st.queue = nullptr;
  st.context = nullptr;
  st.device = nullptr;
  st.ready = 0;
  st.deviceName.clear();
}

bool GpuEngineReady() { return gState.ready != 0; }

const char* GpuDeviceName() { return gState.deviceName.c_str(); }

const char* GpuEngineFailure() { return gState.failure.c_str(); }

GpuSetUpFailure StartGpuEngine(AppSettings& settings) {
  return StartGpuEngine(settings, ProgramGpuEngineOptions(settings.programFolder));
}

GpuSetUpFailure StartGpuEngine(AppSettings& settings, const GpuEngineOptions& options) {
  settings.gpuActive = 0;
  if (settings.UseGPU != 1) return GpuSetUpFailure::kNone;
  const GpuSetUpFailure failure = InitGpuEngine(options);
  if (failure == GpuSetUpFailure::kNone)
    settings.gpuActive = 1;
  else
    settings.UseGPU = 0;
  return failure;
}

void StopGpuEngine(AppSettings& settings) {
  if (settings.gpuActive) ReleaseGpuEngine();
  settings.gpuActive = 0;
}
