#!/usr/bin/env bash
# Builds the game, writes the default game folder if it is missing or older
# than the build, and starts the game in it. Extra arguments go to vxgame.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
"$top/scripts/install-deps.sh"
build="$top/build"
cmake -S "$top" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DVX_BENCH=OFF -DVX_TESTS=OFF >/dev/null
ninja -C "$build" vxgame $(ninja -C "$build" -t targets all 2>/dev/null | grep -o '^vxdata:' | tr -d ':') >/dev/null
game="$build/game"
if [ -x "$build/tools/datagen/vxdata" ]; then
  if [ ! -f "$game/ini/main.ini" ] || [ "$build/tools/datagen/vxdata" -nt "$game/ini/main.ini" ]; then
    "$build/tools/datagen/vxdata" "$game"
  fi
elif [ ! -f "$game/ini/main.ini" ]; then
  # No data generator yet: a game folder with just the configuration.
  mkdir -p "$game/ini"
  cat > "$game/ini/main.ini" <<'INI'
0,display size (width and height; 0 = desktop),,0,0,
5,windowed (1 = window; 0 = full screen),,1,
6,log file en1_log.txt (1 = on),,0,
13,sound (1 = on),,1,
15,low detail (1 = on),,0,
17,music (1 = on),,1,
19,controls (0 = arrows and space; 1 = space jumps and ctrl attacks),,0,
20,texts (1 = English; 0 = Russian),,1,
13131313,end,,
INI
fi
exec "$build/vxgame" --root "$game" "$@"
