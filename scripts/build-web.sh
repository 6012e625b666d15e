#!/usr/bin/env bash
# Builds the game for the browser into build-web/: index.html, index.js,
# index.wasm and the data set packed as index.data. The data set is written
# by the native vxdata: the one of build-test/ or build/ when there is one
# (VX_NATIVE_BUILD names another build), else build/ is built for it.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
"$top/scripts/install-web-deps.sh"
native=${VX_NATIVE_BUILD:-}
if [ -z "$native" ]; then
  for b in "$top/build-test" "$top/build"; do
    [ -f "$b/dataset/manifest.txt" ] && { native=$b; break; }
  done
fi
if [ -z "$native" ]; then
  native="$top/build"
  "$top/scripts/install-deps.sh"
  cmake -S "$top" -B "$native" -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
  ninja -C "$native" dataset
fi
[ -f "$native/dataset/manifest.txt" ] || { echo "no data set in $native/dataset" >&2; exit 1; }
# The page's data set: the native one without the music decoder programs
# (native programs; the page has no processes), linked, not copied.
web_set="$top/build-web/dataset"
rm -rf "$web_set"
mkdir -p "$top/build-web"
cp -al "$native/dataset" "$web_set"
rm -f "$web_set"/music/dec*.exe "$web_set/manifest.txt"
grep -v ' music/dec[0-9]*\.exe$' "$native/dataset/manifest.txt" >"$web_set/manifest.txt"
# Debian's emscripten finds its JavaScript modules here.
export NODE_PATH=${NODE_PATH:-/usr/share/nodejs}
launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache)
build="$top/build-web"
emcmake cmake -S "$top" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release "${launcher[@]}" \
  -DVX_WEB_DATASET="$web_set" >/dev/null
ninja -C "$build" vxgame musicdec
echo "build-web: $(du -ch "$build"/index.{html,js,wasm,data} | tail -n 1 | cut -f1) in index.html, .js, .wasm, .data"
