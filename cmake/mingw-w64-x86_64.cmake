# CMake toolchain for cross-building the Windows programs with Debian's MinGW-w64 (x86-64, the
# posix thread model, so std::thread and std::mutex work). FW_WINDOWS_DEPS names the prefix that
# tools/windows.sh filled with static SDL2 and libpng.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(CMAKE_C_COMPILER x86_64-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER x86_64-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER x86_64-w64-mingw32-windres)
set(CMAKE_FIND_ROOT_PATH /usr/x86_64-w64-mingw32)
if(DEFINED ENV{FW_WINDOWS_DEPS})
  set(FW_WINDOWS_DEPS "$ENV{FW_WINDOWS_DEPS}" CACHE PATH "static SDL2 and libpng for Windows")
endif()
if(FW_WINDOWS_DEPS)
  list(PREPEND CMAKE_FIND_ROOT_PATH "${FW_WINDOWS_DEPS}")
endif()
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
# Wine runs the cross-built programs wherever the build runs one (tests, data generators).
find_program(FW_WINE NAMES wine wine64 PATHS /usr/lib/wine NO_CMAKE_FIND_ROOT_PATH)
if(FW_WINE)
  set(CMAKE_CROSSCOMPILING_EMULATOR "${FW_WINE}")
endif()
# The programs carry their C and C++ runtimes (and winpthread): no DLL beyond Windows' own.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")
# zlib as a static library too (libz-mingw-w64-dev has both; the import library would need a DLL).
set(ZLIB_USE_STATIC_LIBS ON)
