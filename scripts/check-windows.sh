#!/usr/bin/env bash
# The Windows checks of CI, after ./scripts/test.sh has built build-test/:
# the cross build (scripts/build-win.sh) with its test program, then under
# Wine the tests that need no Linux, the recorded game played headless to
# its ending with the same trace as on Linux frame by frame and the same
# pixels at chosen frames, a demo recorded on Linux played in step, and a
# short run in a window under Xvfb, then the demo watched there, fast.
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

# A demo recorded in a real window on x86-64 Linux plays in step here.
mkdir -p "$work/demo"
ln -s "$top/build-win/dataset/data" "$work/demo/data"
wine build-win/vxgame.exe --headless --root "$work/demo" --play tests/e2e/window_demo.dem >"$work/demo.txt" 2>&1 \
  || { cat "$work/demo.txt"; echo "windows: the Linux demo does not play under Wine"; exit 1; }
grep -q '^vxgame: in step: 601 frames' "$work/demo.txt" || { cat "$work/demo.txt"; echo "windows: the Linux demo went out of step"; exit 1; }
echo "windows: the demo recorded on Linux plays in step (601 frames)"

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

# A window under Xvfb, played as a player would: the title, then Return
# pressed on the keyboard (xdotool) until the menus slide in with their
# sound. Wine plays through PulseAudio into a null sink whose monitor is
# recorded, so the check hears whether samples really came out. The
# window's frame 60 is kept as a screenshot (its animation follows the real
# clock, so it is compared for its size, not its pixels).
folder "$work/window"
# Wine's desktop process, which owns every window of the prefix, is the one
# its first program started, without a display; Wine is stopped so that the
# windowed run starts a new one on Xvfb's display.
wineserver -k >/dev/null 2>&1 || true
wineserver -w >/dev/null 2>&1 || true
sed -i 's/^6,,,0$/6,,,1/' "$work/window/ini/main.ini"
mkdir -p "$work/pulse"
XDG_RUNTIME_DIR="$work/pulse" HOME="$work/pulse" pulseaudio --daemonize=no -n --exit-idle-time=-1 \
  --use-pid-file=no --disable-shm=yes --load="module-null-sink sink_name=vxsink" \
  --load="module-native-protocol-unix socket=$work/pulse/native auth-anonymous=1" >"$work/pulse.log" 2>&1 &
pulse=$!
export PULSE_SERVER="unix:$work/pulse/native"
for _ in $(seq 50); do pactl info >/dev/null 2>&1 && break; sleep 0.1; done
parec -d vxsink.monitor --raw --format=s16le --rate=44100 --channels=2 >"$work/heard.raw" &
recorder=$!
cat >"$work/player.sh" <<PLAYER
#!/usr/bin/env bash
# The game and, beside it, a player who waits for its window and presses Return.
wine build-win/vxgame.exe --root "$work/window" --frames 240 --screenshot "60:$work/window-60.png" \
  >"$work/window.log" 2>&1 &
game=\$!
for _ in \$(seq 100); do xdotool search --name . >/dev/null 2>&1 && break; sleep 0.1; done
sleep 1
for _ in 1 2 3 4; do xdotool key Return; sleep 0.4; done
wait \$game
# The Linux demo watched in the window, run fast by the viewer's key from
# its start; the times of the key and of the end are kept.
wine build-win/vxgame.exe --root "$work/demo" --play tests/e2e/window_demo.dem >"$work/watch.log" 2>&1 &
game=\$!
for _ in \$(seq 100); do xdotool search --name vx_engine >/dev/null 2>&1 && break; sleep 0.1; done
xdotool key f
date +%s.%N >"$work/watch.times"
wait \$game
echo "\$?" >"$work/watch.status"
date +%s.%N >>"$work/watch.times"
PLAYER
chmod +x "$work/player.sh"
xvfb-run -a -s "-screen 0 1024x768x24" "$work/player.sh" || { tail "$work/window.log"; exit 1; }
kill "$recorder" "$pulse" 2>/dev/null || true
wait "$recorder" "$pulse" 2>/dev/null || true
build-test/tools/vxpic/vxpic info "$work/window-60.png" | grep -q '^size: 800 x 600$' \
  || { echo "windows: the windowed run wrote no 800 x 600 screenshot"; exit 1; }
grep -q '^vxInitDirectSound finished. error status: 0' "$work/window/en1_log.txt" \
  || { echo "windows: the windowed run had no sound device"; exit 1; }
# Heard: samples away from silence (the null sink's monitor is all zeros
# while nothing plays).
loud=$(od -An -v -td2 -w2 "$work/heard.raw" | awk '$1 > 300 || $1 < -300 { n++ } END { print n + 0 }')
[ "$loud" -gt 1000 ] || { echo "windows: the windowed run made no sound ($loud loud samples)"; exit 1; }
echo "windows: a windowed run under Xvfb answered the keyboard and was heard ($loud loud samples)"
# Fast means as fast as the machine goes: with the window's timer alone
# (two frames per 50 ms tick) the frames after the key would take
# (601 - F) / 40 s; fast must take well under half of that.
[ "$(cat "$work/watch.status")" = 0 ] && grep -q '^vxgame: in step: 601 frames' "$work/watch.log" \
  || { cat "$work/watch.log"; echo "windows: the demo watched in a window did not play in step"; exit 1; }
fast_at=$(sed -n 's/^vxgame: fast at frame \([0-9]*\).*/\1/p' "$work/watch.log")  # lines end in CR LF
[ -n "$fast_at" ] || { cat "$work/watch.log"; echo "windows: the window's F key did not run the demo fast"; exit 1; }
read -r verdict fast_ms < <(awk -v f="$fast_at" 'NR == 1 { a = $1 } NR == 2 { b = $1 }
  END { ms = (b - a) * 1000; timer = (601 - f) * 25; print (ms < timer / 2 ? "fast" : "slow"), int(ms) }' "$work/watch.times")
[ "$verdict" = fast ] || {
  echo "windows: the demo watched fast took $fast_ms ms for $((601 - fast_at)) frames, the timer's pace or near it"; exit 1; }
echo "windows: the Linux demo watched in a window in step, fast from frame $fast_at: $((601 - fast_at)) frames in $fast_ms ms"
echo "windows: stage took $((SECONDS - start)) s"
