// The GPU engine's process-wide state, shared by its set-up (gpu_engine.cpp) and its
// reductions (gpu_reduce.cpp). Not for other modules: use gpu_engine.h.
#pragma once

#include <string>

#include "reduce/opencl_api.h"

struct GpuEngineState {
  void* library;  // the runtime; never closed
  OpenClApi api;
  cl_device_id device;
  cl_context context;
  cl_command_queue queue;
  cl_program program;
  cl_kernel initKernel;    // "CRRHFDIBInit8"
  cl_kernel countKernel;   // "CRRHFDIBCount8"
  cl_kernel divideKernel;  // "CRRHFDIBDiv8"
  // Read-only tables of the divide, created on the first reduction and kept until release
  // (see gpu_reduce.cpp for the layout).
  cl_mem divideTables;
  int ready;
  std::string deviceName;
  std::string failure;
};

GpuEngineState& GpuState();
