// For the GPU engine's tests: whether the machine has an OpenCL platform with a device at all.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "reduce/opencl_api.h"
#include "reduce/opencl_library.h"

// Empty when an OpenCL runtime with a platform and a device is installed; otherwise why not.
inline std::string MissingOpenClPlatform() {
  void* library = OpenRuntimeLibrary(DefaultOpenClLibraryName());
  if (!library) return std::string("no OpenCL runtime (") + DefaultOpenClLibraryName() + ") is installed";
  OpenClApi api{};
  if (!ResolveOpenClApi(library, api)) return "the OpenCL runtime lacks OpenCL 1.2 functions";
  cl_platform_id platforms[2] = {};
  cl_uint count = 0;
  if (api.GetPlatformIDs(2, platforms, &count) != CL_SUCCESS || count == 0)
    return "the OpenCL runtime has no platform (install pocl-opencl-icd)";
  cl_device_id device = nullptr;
  cl_uint devices = 0;
  if (api.GetDeviceIDs(platforms[(count < 2 ? count : 2) - 1], CL_DEVICE_TYPE_ALL, 1, &device, &devices) !=
          CL_SUCCESS ||
      devices == 0)
    return "the OpenCL platform has no device";
  return {};
}

#define GPU_TEST_REQUIRE_PLATFORM()                                                   \
  do {                                                                                \
    static const std::string missing = MissingOpenClPlatform();                       \
    if (!missing.empty()) GTEST_SKIP() << "OpenCL tests skipped: " << missing;        \
  } while (0)

// Builds `source` on the first device of the last platform and runs `kernel`(a, b, out) over
// a.size() items: out[i] from a[i] and b[i]. Returns "" on success, else what failed.
inline std::string RunFloatProbe(const std::string& source, const char* kernel, const std::vector<float>& a,
                                 const std::vector<float>& b, std::vector<float>& out) {
  void* library = OpenRuntimeLibrary(DefaultOpenClLibraryName());
  OpenClApi api{};
  if (!library || !ResolveOpenClApi(library, api)) return "no runtime";
  cl_platform_id platforms[2] = {};
  cl_uint count = 0;
  cl_device_id device = nullptr;
  if (api.GetPlatformIDs(2, platforms, &count) != CL_SUCCESS || count == 0 ||
      api.GetDeviceIDs(platforms[(count < 2 ? count : 2) - 1], CL_DEVICE_TYPE_ALL, 1, &device, nullptr) != CL_SUCCESS)
    return "no device";
  cl_int e = CL_SUCCESS;
  cl_context context = api.CreateContext(nullptr, 1, &device, nullptr, nullptr, &e);
  cl_command_queue queue = context ? api.CreateCommandQueue(context, device, 0, &e) : nullptr;
  const char* text = source.c_str();
  cl_program program = queue ? api.CreateProgramWithSource(context, 1, &text, nullptr, &e) : nullptr;
  std::string failure;
  cl_kernel k = nullptr;
  cl_mem buffers[3] = {};
  const size_t n = a.size(), bytes = n * sizeof(float);
  out.assign(n, 0.0f);
  if (!program || api.BuildProgram(program, 1, &device, nullptr, nullptr, nullptr) != CL_SUCCESS) {
    failure = "the probe does not build";
  } else if (!(k = api.CreateKernel(program, kernel, &e))) {
    failure = "no probe kernel";
  } else {
    buffers[0] = api.CreateBuffer(context, CL_MEM_READ_ONLY | CL_MEM_COPY_HOST_PTR, bytes, const_cast<float*>(a.data()), &e);
    buffers[1] = api.CreateBuffer(context, CL_MEM_READ_ONLY | CL_MEM_COPY_HOST_PTR, bytes, const_cast<float*>(b.data()), &e);
    buffers[2] = api.CreateBuffer(context, CL_MEM_WRITE_ONLY, bytes, nullptr, &e);
    for (cl_uint i = 0; i < 3; ++i) api.SetKernelArg(k, i, sizeof(cl_mem), &buffers[i]);
    if (!buffers[0] || !buffers[1] || !buffers[2] ||
        api.EnqueueNDRangeKernel(queue, k, 1, nullptr, &n, nullptr, 0, nullptr, nullptr) != CL_SUCCESS ||
        api.EnqueueReadBuffer(queue, buffers[2], CL_TRUE, 0, bytes, out.data(), 0, nullptr, nullptr) != CL_SUCCESS)
      failure = "the probe does not run";
  }
  for (cl_mem m : buffers)
    if (m) api.ReleaseMemObject(m);
  if (k) api.ReleaseKernel(k);
  if (program) api.ReleaseProgram(program);
  if (queue) api.ReleaseCommandQueue(queue);
  if (context) api.ReleaseContext(context);
  return failure;
}
