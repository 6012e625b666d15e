#!/usr/bin/env bash
# Installs what the Windows cross build and its checks need on Debian 12:
# the MinGW-w64 cross compiler (posix threads, for std::thread), Wine to run
# what it builds, the header-only stb (PNG writing without libpng), the
# GoogleTest sources (built for Windows with the tests), zip for the
# players' archive, and Xvfb for the windowed run.
set -euo pipefail
exec "$(dirname "$0")/install-deps.sh" g++-mingw-w64-x86-64-posix wine64 wine libstb-dev googletest zip xvfb xauth xdotool pulseaudio pulseaudio-utils
