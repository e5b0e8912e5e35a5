// The OpenCL loader on Windows: "OpenCL.dll" through LoadLibrary and GetProcAddress.
#include <windows.h>

#include <string>

#include "reduce/opencl_library.h"

const char* DefaultOpenClLibraryName() { return "OpenCL.dll"; }

void* OpenRuntimeLibrary(const char* name) {
  if (!name) return nullptr;
  return reinterpret_cast<void*>(LoadLibraryA(name));
}

void* FindRuntimeSymbol(void* library, const char* name) {
  if (!library || !name) return nullptr;
  return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(library), name));
}

std::filesystem::path RunningProgramFolder() {
  // Paths are at most 32767 UTF-16 units; grow the buffer until the name fits.
  std::wstring buffer(MAX_PATH, L'\0');
  for (;;) {
    DWORD n = GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
    if (n == 0) return {};
    if (n < buffer.size()) {
      buffer.resize(n);
      return std::filesystem::path(buffer).parent_path();
    }
    if (buffer.size() >= 32768) return {};
    buffer.resize(buffer.size() * 2);
  }
}
