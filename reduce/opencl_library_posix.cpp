// The OpenCL loader on POSIX systems (native tree only; the Windows tree uses
// opencl_library_win32.cpp).
#include <dlfcn.h>

#include <system_error>

#include "reduce/opencl_library.h"

const char* DefaultOpenClLibraryName() { return "libOpenCL.so.1"; }

void* OpenRuntimeLibrary(const char* name) { return name ? dlopen(name, RTLD_NOW | RTLD_LOCAL) : nullptr; }

void* FindRuntimeSymbol(void* library, const char* name) {
  return library && name ? dlsym(library, name) : nullptr;
}

std::filesystem::path RunningProgramFolder() {
  std::error_code error;
  std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", error);
  if (error) return {};
  return exe.parent_path();
}
