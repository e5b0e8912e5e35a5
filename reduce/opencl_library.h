// Loading the OpenCL runtime at run time. The program never links against an OpenCL library:
// it opens the platform's loader by name ("OpenCL.dll" on Windows, "libOpenCL.so.1"
// elsewhere) only when the GPU engine is wanted, and resolves every entry point by name.
//
// Two implementations: opencl_library_posix.cpp (dlopen, native tree only) and
// opencl_library_win32.cpp (LoadLibrary, Windows tree only).
#pragma once

#include <filesystem>

// The name of the platform's OpenCL loader: "OpenCL.dll" or "libOpenCL.so.1".
const char* DefaultOpenClLibraryName();

// Opens a shared library by file name; null when it cannot be loaded. The library is never
// closed: the program keeps it until the process ends.
void* OpenRuntimeLibrary(const char* name);

// The address of an exported function, or null.
void* FindRuntimeSymbol(void* library, const char* name);

// Folder of the running executable (the kernel source lies beside it); empty when unknown.
std::filesystem::path RunningProgramFolder();
