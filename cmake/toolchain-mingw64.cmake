# Cross-compiling toolchain for the Windows tree: MinGW-w64, x86-64, posix thread model
# (the win32 model has no std::thread in GCC 12), everything linked statically so the
# .exe files need no DLL beyond Windows' own.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(DOTWRIGHT_MINGW_TRIPLE x86_64-w64-mingw32)
set(CMAKE_C_COMPILER   ${DOTWRIGHT_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${DOTWRIGHT_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER  ${DOTWRIGHT_MINGW_TRIPLE}-windres)

# Cross-built libraries (libpng, GoogleTest) live in a private prefix the set-up script fills.
get_filename_component(_dotwright_root "${CMAKE_CURRENT_LIST_DIR}/.." ABSOLUTE)
if(NOT DEFINED DOTWRIGHT_MINGW_PREFIX)
  set(DOTWRIGHT_MINGW_PREFIX "${_dotwright_root}/.deps/${DOTWRIGHT_MINGW_TRIPLE}")
endif()
set(CMAKE_FIND_ROOT_PATH /usr/${DOTWRIGHT_MINGW_TRIPLE} ${DOTWRIGHT_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")

# The MinGW sysroot holds both libz.a and libz.dll.a; only this keeps zlib static
# (the Windows-GNU platform file resets the library suffixes after this file runs).
set(ZLIB_USE_STATIC_LIBS ON)

# ctest runs .exe files through Wine; the wrapper supplies the prefix and the display.
set(CMAKE_CROSSCOMPILING_EMULATOR "${_dotwright_root}/scripts/wine/wine-run.sh")
