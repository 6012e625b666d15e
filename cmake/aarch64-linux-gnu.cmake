# Cross-building for aarch64 Linux on a Debian host with the arm64 multiarch
# packages (scripts/install-arm64-deps.sh installs them):
#   cmake -S . -B build-arm64 -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/aarch64-linux-gnu.cmake
# Programs made by the build (the data set, the test discovery, ctest) run
# under qemu-user, started explicitly: no binfmt_misc registration needed.
set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_SYSTEM_PROCESSOR aarch64)
set(VX_CROSS_TRIPLE aarch64-linux-gnu)

set(CMAKE_C_COMPILER ${VX_CROSS_TRIPLE}-gcc)
set(CMAKE_CXX_COMPILER ${VX_CROSS_TRIPLE}-g++)

# Headers and libraries of the target only; programs of the host.
set(CMAKE_FIND_ROOT_PATH /usr/${VX_CROSS_TRIPLE} /usr/lib/${VX_CROSS_TRIPLE})
set(CMAKE_LIBRARY_ARCHITECTURE ${VX_CROSS_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE BOTH)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE BOTH)

# pkg-config reads the arm64 .pc files only (sdl2 and the like).
set(ENV{PKG_CONFIG_LIBDIR} /usr/lib/${VX_CROSS_TRIPLE}/pkgconfig:/usr/share/pkgconfig)
set(ENV{PKG_CONFIG_PATH} "")

find_program(VX_QEMU_AARCH64 NAMES qemu-aarch64-static qemu-aarch64 REQUIRED)
# The programs load the arm64 multiarch libraries (libc6:arm64 and the
# rest under /lib/aarch64-linux-gnu), so the loader must be that libc's
# own: -L / takes /lib/ld-linux-aarch64.so.1. The cross toolchain's loader
# under /usr/aarch64-linux-gnu is another glibc build, and mixed with the
# multiarch libc it loops for ever in the second thread start.
set(CMAKE_CROSSCOMPILING_EMULATOR ${VX_QEMU_AARCH64} -L /)
