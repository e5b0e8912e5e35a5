// The OpenCL loader on POSIX systems (native tree only; the Windows tree uses
// opencl_library_win32.cpp).
#include <dlfcn.h>

#include <atomic>
#include <system_error>

#include "reduce/opencl_library.h"

const char* DefaultOpenClLibraryName() { return "libOpenCL.so.1"; }

namespace {
// Set once the runtime library has been opened in this process: a loaded library belongs to the
// process, not to a session, and is never closed again.
std::atomic<bool> gRuntimeOpened{false};
}  // namespace

// LeakSanitizer's check at exit stops every thread to scan its stack; with the OpenCL runtime's
// worker threads still alive (the runtime stays loaded until the process ends) its tracer has
// crashed ("Tracer caught signal 11") and failed a process whose work had succeeded. A process
// that loaded the runtime skips the leak check; every other process keeps it. Outside
// sanitizer builds nothing calls this.
extern "C" int __lsan_is_turned_off() { return gRuntimeOpened.load() ? 1 : 0; }

void* OpenRuntimeLibrary(const char* name) {
  void* library = name ? dlopen(name, RTLD_NOW | RTLD_LOCAL) : nullptr;
  if (library) gRuntimeOpened.store(true);
  return library;
}

void* FindRuntimeSymbol(void* library, const char* name) {
  return library && name ? dlsym(library, name) : nullptr;
}

std::filesystem::path RunningProgramFolder() {
  std::error_code error;
  std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", error);
  if (error) return {};
  return exe.parent_path();
}
