# Cross build of the Windows program with MinGW-w64 for 64-bit Windows, from a Debian-like host.
# The posix thread model gives std::thread and std::mutex without extra work; the static link below
# keeps its winpthread out of the way.

set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(_corvane_triple x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${_corvane_triple}-gcc-posix)
set(CMAKE_CXX_COMPILER ${_corvane_triple}-g++-posix)
set(CMAKE_RC_COMPILER ${_corvane_triple}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${_corvane_triple})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# One self-contained .exe: a user copies corvane.exe anywhere and it runs, with no libgcc, libstdc++
# or winpthread DLL beside it.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++ -Wl,--gc-sections")
# With the static runtime most of the program is library code it never calls: each function in a
# section of its own lets the linker leave those out.
set(CMAKE_CXX_FLAGS_INIT "-ffunction-sections -fdata-sections")

# Test programs run under Wine, in a prefix of the build folder's own. Without Wine the tests can still
# be built, just not run.
find_program(CORVANE_WINE NAMES wine wine64)
if(CORVANE_WINE)
  get_filename_component(_corvane_wine_run ${CMAKE_CURRENT_LIST_DIR}/../tests/windows/wine-run ABSOLUTE)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${_corvane_wine_run} ${CMAKE_BINARY_DIR}/wine)
endif()
