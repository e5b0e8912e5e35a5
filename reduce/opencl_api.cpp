#include "reduce/opencl_api.h"

#include "reduce/opencl_library.h"

namespace {

template <typename F>
bool Resolve(void* library, const char* name, F& slot) {
  slot = reinterpret_cast<F>(FindRuntimeSymbol(library, name));
  return slot != nullptr;
}

}  // namespace

bool ResolveOpenClApi(void* library, OpenClApi& api) {
  api = OpenClApi{};
  bool ok = true;
  ok &= Resolve(library, "clGetPlatformIDs", api.GetPlatformIDs);
  ok &= Resolve(library, "clGetDeviceIDs", api.GetDeviceIDs);
  ok &= Resolve(library, "clCreateContext", api.CreateContext);
  ok &= Resolve(library, "clCreateCommandQueue", api.CreateCommandQueue);
  ok &= Resolve(library, "clCreateProgramWithSource", api.CreateProgramWithSource);
  ok &= Resolve(library, "clBuildProgram", api.BuildProgram);
  ok &= Resolve(library, "clCreateKernel", api.CreateKernel);
  ok &= Resolve(library, "clGetProgramBuildInfo", api.GetProgramBuildInfo);
  ok &= Resolve(library, "clGetDeviceInfo", api.GetDeviceInfo);
  ok &= Resolve(library, "clCreateBuffer", api.CreateBuffer);
  ok &= Resolve(library, "clEnqueueWriteBuffer", api.EnqueueWriteBuffer);
  ok &= Resolve(library, "clEnqueueReadBuffer", api.EnqueueReadBuffer);
  ok &= Resolve(library, "clSetKernelArg", api.SetKernelArg);
  ok &= Resolve(library, "clEnqueueNDRangeKernel", api.EnqueueNDRangeKernel);
  ok &= Resolve(library, "clWaitForEvents", api.WaitForEvents);
  ok &= Resolve(library, "clReleaseEvent", api.ReleaseEvent);
  ok &= Resolve(library, "clReleaseMemObject", api.ReleaseMemObject);
  ok &= Resolve(library, "clReleaseKernel", api.ReleaseKernel);
  ok &= Resolve(library, "clReleaseProgram", api.ReleaseProgram);
  ok &= Resolve(library, "clReleaseCommandQueue", api.ReleaseCommandQueue);
  ok &= Resolve(library, "clReleaseContext", api.ReleaseContext);
  return ok;
}
