// The OpenCL entry points the GPU engine uses, resolved by name from the runtime library
// (opencl_library.h). Only OpenCL 1.2 functions: that is what Wine's OpenCL.dll forwards.
#pragma once

#ifndef CL_TARGET_OPENCL_VERSION
#define CL_TARGET_OPENCL_VERSION 120
#endif
#include <CL/cl.h>

struct OpenClApi {
  // Set-up.
  decltype(&::clGetPlatformIDs) GetPlatformIDs;
  decltype(&::clGetDeviceIDs) GetDeviceIDs;
  decltype(&::clCreateContext) CreateContext;
  decltype(&::clCreateCommandQueue) CreateCommandQueue;
  decltype(&::clCreateProgramWithSource) CreateProgramWithSource;
  decltype(&::clBuildProgram) BuildProgram;
  decltype(&::clCreateKernel) CreateKernel;
  decltype(&::clGetProgramBuildInfo) GetProgramBuildInfo;
  decltype(&::clGetDeviceInfo) GetDeviceInfo;
  // Reductions.
  decltype(&::clCreateBuffer) CreateBuffer;
  decltype(&::clEnqueueWriteBuffer) EnqueueWriteBuffer;
  decltype(&::clEnqueueReadBuffer) EnqueueReadBuffer;
  decltype(&::clSetKernelArg) SetKernelArg;
  decltype(&::clEnqueueNDRangeKernel) EnqueueNDRangeKernel;
  decltype(&::clWaitForEvents) WaitForEvents;
  decltype(&::clReleaseEvent) ReleaseEvent;
  decltype(&::clReleaseMemObject) ReleaseMemObject;
  // Shutdown.
  decltype(&::clReleaseKernel) ReleaseKernel;
  decltype(&::clReleaseProgram) ReleaseProgram;
  decltype(&::clReleaseCommandQueue) ReleaseCommandQueue;
  decltype(&::clReleaseContext) ReleaseContext;
};

// Resolves every entry point of api from an opened runtime library. false (api then partly
// filled and unusable) when any of them is missing.
bool ResolveOpenClApi(void* library, OpenClApi& api);
