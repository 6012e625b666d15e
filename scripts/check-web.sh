#!/usr/bin/env bash
# The browser checks of CI, after ./scripts/test.sh has built build-test/:
# the browser build, then the recorded game played in the page in headless
# Chromium (through the page's test parameter), whose trace must be the
# native program's frame for frame and whose pictures at chosen frames must
# be the native screenshots pixel for pixel; a demo recorded on Linux
# watched in the page in step; the player's folder kept across a reload.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
cd "$top"
web_start=$SECONDS
"$top/scripts/install-web-deps.sh"
./scripts/build-web.sh
echo "web: built in $((SECONDS - web_start)) s"

native_build=${VX_NATIVE_BUILD:-$top/build-test}
work=$(mktemp -d)
chrome_pid=
cleanup() {
  [ -n "$chrome_pid" ] && kill "$chrome_pid" 2>/dev/null || true
  [ -n "${VX_WEB_KEEP:-}" ] && echo "kept $work" || rm -rf "$work"
}
trap cleanup EXIT
shots=(300 1500 2440 4600)

# The music decoder of the page, run by node as a program, decodes every
# track to the native decoder's bytes (beside the other checks, in the
# background).
mkdir -p "$work/music-native" "$work/music-web"
cp tools/musicdec/tracks/track*.vxm "$work/music-native/"
(
  for t in 1 2 3; do
    "$native_build/tools/musicdec/musicdec" --track $t --in "$work/music-native/track$t.vxm" --out "$work/music-native" &
    NODE_PATH=/usr/share/nodejs node --no-experimental-fetch "$top/build-web/tools/musicdec/musicdec.js" \
      --track $t --in "$work/music-native/track$t.vxm" --out "$work/music-web"
    wait
  done
) >"$work/music.log" 2>&1 &
music_pid=$!

# The native run: the same game folder as the recorded game's test (the data
# set's pictures, the recording's settings).
mkdir -p "$work/native/ini" "$work/serve/test" "$work/out"
ln -s "$native_build/dataset/data" "$work/native/data"
printf '5,,,1\n6,,,0\n13,,,1\n15,,,0\n17,,,0\n19,,,0\n20,,,1\n13131313,,,\n' >"$work/native/ini/main.ini"
shot_args=()
for n in "${shots[@]}"; do shot_args+=(--screenshot "$n:$work/native/shot$n.png"); done
"$native_build/vxgame" --headless --root "$work/native" --input tests/e2e/playthrough.txt \
  --trace "$work/native/trace.txt" "${shot_args[@]}" >/dev/null

# The page, served with the script beside it.
for f in index.html index.js index.wasm index.data; do ln -s "$top/build-web/$f" "$work/serve/$f"; done
cp tests/e2e/playthrough.txt tests/e2e/playthrough_resume.txt "$work/serve/test/"
# Serves the page (on PORT, else a free port, left in $work/port) and opens
# QUERY in headless Chromium with the profile PROFILE; what the page sends
# back lands in OUT. Chromium is then killed as a closed browser is,
# without a shutdown of its own.
run_page() {
  local query=$1 profile=$2 out=$3 limit=$4 port=${5:-0}
  mkdir -p "$out"
  rm -f "$work/port"
  python3 tests/web/page_test_server.py "$work/serve" "$out" "$work/port" "$limit" "$port" &
  local server_pid=$!
  for _ in $(seq 200); do [ -s "$work/port" ] && break; sleep 0.1; done
  chromium --headless=new --no-sandbox --disable-gpu --no-first-run --mute-audio \
    --user-data-dir="$profile" "http://127.0.0.1:$(cat "$work/port")/index.html?$query" \
    >"$work/chromium.log" 2>&1 &
  chrome_pid=$!
  local ok=0
  wait "$server_pid" || ok=$?
  kill -KILL "$chrome_pid" 2>/dev/null || true
  wait "$chrome_pid" 2>/dev/null || true
  chrome_pid=
  if [ "$ok" != 0 ]; then
    echo "the page ($query) did not finish within $limit s; chromium said:"
    tail -n 30 "$work/chromium.log"
    return 1
  fi
}

shot_list=$(IFS=,; echo "${shots[*]}")
page_start=$SECONDS
run_page "test=1&shots=$shot_list" "$work/profile" "$work/out" 300
read -r code page_ms <"$work/out/exit" || true
echo "web: the page played the recorded game in $((SECONDS - page_start)) s (exit status $code)"
[ "$code" = "0" ] || { echo "the page's program ended with status $code"; exit 1; }
if ! cmp -s "$work/native/trace.txt" "$work/out/trace"; then
  echo "the recorded game goes differently in the page; the first differing frames:"
  diff "$work/native/trace.txt" "$work/out/trace" | head -n 20
  exit 1
fi
echo "web: the page's trace is the native one, $(wc -l <"$work/out/trace") frames"
pairs=()
for n in "${shots[@]}"; do pairs+=("$work/native/shot$n.png" "$work/out/shot$n"); done
python3 tests/web/compare_shots.py 800 600 "${pairs[@]}"

# A demo recorded in a real window on x86-64 Linux, watched in the page as a
# player watches one (?demo= names it beside the page) with the viewer's
# keys: F at the start runs it fast, P pauses, N twice steps, P plays on.
# The page says it is in step, and the pause held the game (the steps ran
# a frame or two each, no more).
cp tests/e2e/window_demo.dem "$work/serve/test/"
demo_start=$SECONDS
run_page "test=demo&demo=test/window_demo.dem&fast=1&keys=KeyP@0,KeyN@400,KeyN@800,KeyP@1200" \
  "$work/demo-profile" "$work/demo" 120
read -r code _ <"$work/demo/exit" || true
if [ "$code" != 0 ] || ! grep -q '^vxgame: in step: 601 frames' "$work/demo/output" ||
  ! grep -q '^vxgame: fast at frame' "$work/demo/output"; then
  echo "the Linux demo did not play in step in the page (exit status $code):"; cat "$work/demo/output"; exit 1
fi
paused_at=$(sed -n 's/^vxgame: paused at frame //p' "$work/demo/output")
playing_at=$(sed -n 's/^vxgame: playing at frame //p' "$work/demo/output")
if [ -z "$paused_at" ] || [ -z "$playing_at" ] || [ $((playing_at - paused_at)) -lt 1 ] ||
  [ $((playing_at - paused_at)) -gt 4 ]; then
  echo "the page's pause and steps did not hold the demo as asked:"; cat "$work/demo/output"; exit 1
fi
echo "web: the demo recorded on Linux is in step in the page (601 frames; paused at frame $paused_at," \
  "two steps to $playing_at), $((SECONDS - demo_start)) s"

# The player's folder kept in the browser: a page plays the recording up to
# just after its room change into level 1, which saves, and waits until the
# folder is stored; the browser is killed; a new browser on the same profile
# continues the saved game from the title, frame for frame as the native
# program continues the same save. Every store of the first page is checked
# for a partial save or a temporary file.
save_frames=300
resume_frames=100
mkdir -p "$work/resume/ini"
ln -s "$native_build/dataset/data" "$work/resume/data"
cp "$work/native/ini/main.ini" "$work/resume/ini/"
"$native_build/vxgame" --headless --root "$work/resume" --input tests/e2e/playthrough.txt \
  --frames "$save_frames" --trace "$work/resume/trace1.txt" >/dev/null
cp "$work/resume/gamesave.sav" "$work/resume/saved.sav"
"$native_build/vxgame" --headless --root "$work/resume" --input tests/e2e/playthrough_resume.txt \
  --frames "$resume_frames" --trace "$work/resume/trace2.txt" >/dev/null
# The native run itself must go on in the saved level 1, not in a new game.
grep -q "^frame $resume_frames mode 1 step [0-9]* level 1 " "$work/resume/trace2.txt" || {
  echo "the native program did not continue the save in level 1:"; tail -n 3 "$work/resume/trace2.txt"; exit 1; }
persist_start=$SECONDS
run_page "persist=save&frames=$save_frames" "$work/kept-profile" "$work/kept1" 120
read -r code _ <"$work/kept1/exit" || true
[ "$code" = "0" ] || { echo "the saving page's program ended with status $code"; exit 1; }
cmp -s "$work/resume/saved.sav" "$work/kept1/stored.sav" || {
  echo "the browser's stored save is not the native program's save"; exit 1; }
read -r stores _ <"$work/kept1/store-checks"
if [ "$(wc -l <"$work/kept1/store-checks")" != 1 ] || [ "${stores:-0}" -lt 1 ]; then
  echo "the stored folder was checked wrong or held a partial state:"; cat "$work/kept1/store-checks"; exit 1
fi
# The same origin (the port is part of it), or the browser's storage is
# another one.
run_page "persist=resume&frames=$resume_frames" "$work/kept-profile" "$work/kept2" 120 "$(cat "$work/port")"
read -r code _ <"$work/kept2/exit" || true
[ "$code" = "0" ] || { echo "the resuming page's program ended with status $code"; exit 1; }
if ! cmp -s "$work/resume/trace2.txt" "$work/kept2/trace"; then
  echo "the page did not continue the stored game as the native program does; the first differing frames:"
  diff "$work/resume/trace2.txt" "$work/kept2/trace" | head -n 20
  exit 1
fi
echo "web: a new browser continued the stored save ($stores stores checked whole) in $((SECONDS - persist_start)) s"
if ! wait "$music_pid"; then echo "a music decoder failed:"; cat "$work/music.log"; exit 1; fi
for t in 1 2 3; do
  cmp "$work/music-native/floor$t.wav" "$work/music-web/floor$t.wav" || {
    echo "the page's decoder writes track $t otherwise than the native decoder"; exit 1; }
  [ -f "$work/music-web/fin$t.txt" ] || { echo "the page's decoder wrote no marker for track $t"; exit 1; }
done
echo "web: the page's music decoder writes the native decoder's three tracks byte for byte"
echo "web: stage took $((SECONDS - web_start)) s"
