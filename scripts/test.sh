#!/usr/bin/env bash
# Builds everything and runs the whole test suite. ninja shows the build's
# progress on one line.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
"$top/scripts/install-deps.sh"
build="$top/build-test"
cmake -S "$top" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
ninja -C "$build"
cd "$build"
ctest --output-on-failure -j2 --timeout 300
