#!/usr/bin/env bash
# The Windows checks of CI, after ./scripts/test.sh has built build-test/:
# the cross build (scripts/build-win.sh) with its test program, then under
# Wine the tests that need no Linux, the recorded game played headless to
# its ending with the same trace as on Linux frame by frame and the same
# pixels at chosen frames, and one short run in a window under Xvfb.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
cd "$top"
start=$SECONDS
./scripts/build-win.sh -DVX_TESTS=ON
ninja -C build-test vxgame vxpic >/dev/null
work=$(mktemp -d)
# The prefix goes once Wine's server has let go of it.
trap 'wineserver -k >/dev/null 2>&1 || true; wineserver -w >/dev/null 2>&1 || true; rm -rf "$work"' EXIT
# A prefix of its own, made by the first start; no debugging chatter.
export WINEPREFIX="$work/prefix" WINEDEBUG=-all
wine cmd /c exit >/dev/null 2>&1 || true
echo "windows: cross build and Wine prefix after $((SECONDS - start)) s"

# The tests run beside the recorded games (two processors). The run-time
# library of MinGW (msvcrt) prints a long double as a double, so the
# comparison of our hex text with the library's does not apply there.
(cd build-win && wine tests/vxtests.exe --gtest_brief=1 --gtest_filter=-SoftExtendedVsX87.HexTextOfIostreams \
  >"$work/tests.log" 2>&1) &
tests=$!

# The game folder of the recording: the data set's pictures, and the
# settings it was made with (windowed, sound on, music off, English).
folder() {
  mkdir -p "$1/ini"
  ln -s "$top/build-win/dataset/data" "$1/data"
  printf '5,,,1\n6,,,0\n13,,,1\n15,,,0\n17,,,0\n19,,,0\n20,,,1\n13131313,,,\n' >"$1/ini/main.ini"
}
folder "$work/native"
folder "$work/wine"
shots=(700 2440 5283)
native_args=() wine_args=()
for f in "${shots[@]}"; do
  native_args+=(--screenshot "$f:$work/native-$f.png")
  wine_args+=(--screenshot "$f:$work/wine-$f.png")
done
script=tests/e2e/playthrough.txt
build-test/vxgame --headless --root "$work/native" --input "$script" --trace "$work/native.txt" \
  "${native_args[@]}" >/dev/null &
native=$!
wine build-win/vxgame.exe --headless --root "$work/wine" --input "$script" --trace "$work/wine.txt" \
  "${wine_args[@]}" >/dev/null
wait "$native"
if ! wait "$tests"; then
  cat "$work/tests.log"
  echo "windows: the tests failed under Wine"
  exit 1
fi
echo "windows: $(grep -o '[0-9]* tests from' "$work/tests.log" | head -n 1 | cut -d' ' -f1) tests passed under Wine"
if ! cmp -s "$work/native.txt" "$work/wine.txt"; then
  echo "the recorded game goes differently under Wine; the first differing frames:"
  diff "$work/native.txt" "$work/wine.txt" | head -n 20
  exit 1
fi
tail -n 1 "$work/wine.txt" | grep -q ' menu 37 ' || { echo "windows: the recorded game did not reach its ending"; exit 1; }
# The encoders differ (libpng here, stb_image_write there), the pixels not:
# both files are turned into bitmaps, which must be the same bytes.
for f in "${shots[@]}"; do
  build-test/tools/vxpic/vxpic from-png "$work/native-$f.png" "$work/native-$f.bmp" >/dev/null
  build-test/tools/vxpic/vxpic from-png "$work/wine-$f.png" "$work/wine-$f.bmp" >/dev/null
  cmp -s "$work/native-$f.bmp" "$work/wine-$f.bmp" || { echo "windows: frame $f looks different under Wine"; exit 1; }
done
echo "windows: the recorded game's trace is Linux's, $(wc -l <"$work/wine.txt") frames; frames ${shots[*]} the same pixels"

# The players' archive as a player uses it: unpacked anywhere, the game's
# own folder under %APPDATA% lies over the data set beside the program; a
# saved game there is continued to the ending and saved again, with the
# save before it kept.
mkdir "$work/player"
(cd "$work/player" && unzip -q "$top/build-win/vxgame-windows.zip")
appdata=$(ls -d "$WINEPREFIX"/drive_c/users/*/AppData/Roaming | grep -v /Public/ | head -n 1)
mkdir -p "$appdata/vxgame/ini"
cp "$work/native/ini/main.ini" "$appdata/vxgame/ini/"
cp tests/e2e/playthrough_midrun.sav "$appdata/vxgame/gamesave.sav"
(cd "$work/player" && wine vxgame/vxgame.exe --headless --input "$top/tests/e2e/playthrough_resume.txt" \
  --trace "$work/resume.txt" >/dev/null)
levels=$(awk '$4 == 1 { print $8 }' "$work/resume.txt" | uniq | tr '\n' ' ')
[ "$levels" = "2 19 24 " ] || { echo "windows: the saved game was not continued (levels played: $levels)"; exit 1; }
tail -n 1 "$work/resume.txt" | grep -q ' menu 37 ' || { echo "windows: the continued game did not end"; exit 1; }
[ -f "$appdata/vxgame/gamesave.sav.bak" ] || { echo "windows: the game did not save into %APPDATA%"; exit 1; }
echo "windows: the archive's game continued a save in %APPDATA% to the ending and saved there"

# A window: the title and first screens under Xvfb, with a screenshot of
# the window's frame 60 (its animation follows the real clock, so it is
# compared for its size, not its pixels), and the sound device: waveOut
# through Wine into ALSA's null device (a machine without sound has no
# other), opened as the log tells.
folder "$work/window"
# Wine's desktop process, which owns every window of the prefix, is the one
# its first program started, without a display; Wine is stopped so that the
# windowed run starts a new one on Xvfb's display.
wineserver -k >/dev/null 2>&1 || true
wineserver -w >/dev/null 2>&1 || true
sed -i 's/^6,,,0$/6,,,1/' "$work/window/ini/main.ini"
printf 'pcm.!default { type null }\n' >"$work/null-sound.conf"
ALSA_CONFIG_PATH="$work/null-sound.conf" xvfb-run -a -s "-screen 0 1024x768x24" \
  wine build-win/vxgame.exe --root "$work/window" --frames 60 --screenshot "60:$work/window-60.png" \
  >"$work/window.log" 2>&1 || { tail "$work/window.log"; exit 1; }
build-test/tools/vxpic/vxpic info "$work/window-60.png" | grep -q '^size: 800 x 600$' \
  || { echo "windows: the windowed run wrote no 800 x 600 screenshot"; exit 1; }
grep -q '^vxInitDirectSound finished. error status: 0' "$work/window/en1_log.txt" \
  || { echo "windows: the windowed run had no sound device"; exit 1; }
echo "windows: a windowed run under Xvfb showed 60 frames with sound; stage took $((SECONDS - start)) s"
