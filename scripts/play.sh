#!/usr/bin/env bash
# Builds the game and its data set and starts it. The game runs in the
# player's own game folder ($XDG_DATA_HOME/vxgame, usually
# ~/.local/share/vxgame), which lies over the data set in build/dataset:
# settings, the saved game and the player's own files live there, so
# rebuilding or deleting build/ loses none of them. Extra arguments go to
# vxgame.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
"$top/scripts/install-deps.sh"
build="$top/build"
cmake -S "$top" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DVX_BENCH=OFF -DVX_TESTS=OFF >/dev/null
# ninja shows its progress on one line.
ninja -C "$build" vxgame dataset

# A file missing from the built data set (deleted by hand) is written again.
dataset="$build/dataset"
while read -r size sum path; do
  case "$size" in '#'* | '') continue ;; esac
  if [ ! -f "$dataset/$path" ]; then
    echo "play.sh: $path is missing from the data set; writing it again"
    "$build/tools/datagen/vxdata" --icon "$build/org.vxengine.vxgame.png" "$dataset" >/dev/null
    break
  fi
done <"$dataset/manifest.txt"

# Earlier versions kept the settings and the saved game in build/game; they
# are copied to the player's folder the first time.
data_home=${XDG_DATA_HOME:-}
case "$data_home" in /*) ;; *) data_home="$HOME/.local/share" ;; esac
mine="$data_home/vxgame"
if [ -d "$build/game" ] && [ ! -e "$mine" ]; then
  mkdir -p "$mine/ini"
  for f in ini/main.ini gamesave.sav gamesave.sav.bak; do
    if [ -f "$build/game/$f" ]; then cp -p "$build/game/$f" "$mine/$f"; fi
  done
  echo "play.sh: your settings and saved game copied from build/game to $mine"
fi
exec "$build/vxgame" "$@"
