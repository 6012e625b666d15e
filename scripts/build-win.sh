#!/usr/bin/env bash
# Cross-builds the game for 64-bit Windows into build-win/: vxgame.exe, the
# music decoder, the data set beside them (dataset/, written by this
# machine's own vxdata with the Windows decoder in it: every other byte is
# the same on every system) and the players' archive
# build-win/vxgame-windows.zip. Extra arguments go to the cross build's
# cmake (e.g. -DVX_TESTS=ON for the test program run by check-windows.sh).
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
"$top/scripts/install-deps.sh"
"$top/scripts/install-win-deps.sh"
build="$top/build-win"
host="$top/build-test"

# The data set generator of this machine (the test build's, made if needed).
if [ ! -f "$host/build.ninja" ]; then
  cmake -S "$top" -B "$host" -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
fi
ninja -C "$host" vxdata

cmake -S "$top" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DVX_BENCH=OFF -DVX_TESTS=OFF \
  -DCMAKE_TOOLCHAIN_FILE="$top/cmake/x86_64-w64-mingw32.cmake" "$@" >/dev/null
ninja -C "$build"

"$host/tools/datagen/vxdata" --force --musicdec "$build/tools/musicdec/musicdec.exe" "$build/dataset" >/dev/null

# The archive: one folder with the program and its data set beside it.
stage=$(mktemp -d)
mkdir "$stage/vxgame"
cp "$build/vxgame.exe" "$stage/vxgame/"
cp -r "$build/dataset" "$stage/vxgame/dataset"
# Files a game run would leave in the folder are never part of it.
rm -rf "$stage/vxgame/dataset/screenshots" "$stage/vxgame/dataset/en1_log.txt"
find "$stage/vxgame/dataset" \( -name 'gamesave.sav*' -o -name 'floor*.wav' -o -name 'fin*.txt' \) -delete
cp "$top/dist/windows-readme.txt" "$stage/vxgame/README.txt"
rm -f "$build/vxgame-windows.zip"
(cd "$stage" && zip -qr -X "$build/vxgame-windows.zip" vxgame)
rm -rf "$stage"
echo "build-win: vxgame.exe, dataset/ and vxgame-windows.zip ($(du -h "$build/vxgame-windows.zip" | cut -f1))"
