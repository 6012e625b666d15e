#!/usr/bin/env bash
# Cross-builds everything for aarch64 Linux into build-arm64/ (the data set
# included, written by the aarch64 vxdata under qemu-user). With --test it
# then runs the test suite under qemu-user; arguments after --test go to
# ctest (e.g. --test -R '^RandomSource\.'). No binfmt_misc registration is
# needed: the build starts every aarch64 program through qemu itself.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
"$top/scripts/install-deps.sh"
"$top/scripts/install-arm64-deps.sh"
build="$top/build-arm64"
# The benchmark programs are left out (no arm64 Google Benchmark needed).
# VX_ARM64_TESTS, a ;-list of regular expressions over the test files below
# tests/, builds only those tests (empty or unset: all of them).
cmake -S "$top" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DVX_BENCH=OFF \
  -DCMAKE_TOOLCHAIN_FILE="$top/cmake/aarch64-linux-gnu.cmake" "-DVX_TEST_ONLY=${VX_ARM64_TESTS:-}" >/dev/null
ninja -C "$build"
if [ "${1:-}" = "--test" ]; then
  shift
  cd "$build"
  ctest --output-on-failure -j2 --timeout 900 "$@"
fi
