# Cross-building for 64-bit Windows with Debian's MinGW-w64 (the posix
# threads variant, for std::thread):
#   cmake -S . -B build-win -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/x86_64-w64-mingw32.cmake
# scripts/build-win.sh does that and writes the data set beside the game.
# Programs made by the build run under Wine, started explicitly.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(VX_CROSS_TRIPLE x86_64-w64-mingw32)

set(CMAKE_C_COMPILER ${VX_CROSS_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${VX_CROSS_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${VX_CROSS_TRIPLE}-windres)

# Headers and libraries of the target only; programs of the host. The
# header-only libraries Debian ships for every target (stb) are found under
# /usr/include through the extra root.
set(CMAKE_FIND_ROOT_PATH /usr/${VX_CROSS_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# A program that runs from a bare folder: the compiler's run-time libraries
# (libgcc, libstdc++, winpthread) are linked in.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")

find_program(VX_WINE NAMES wine wine64 REQUIRED)
set(CMAKE_CROSSCOMPILING_EMULATOR ${VX_WINE})
