#!/usr/bin/env bash
# The browser checks of CI, after ./scripts/test.sh has built build-test/:
# the browser build, then the recorded game played in the page in headless
# Chromium (through the page's test parameter), whose trace must be the
# native program's frame for frame and whose pictures at chosen frames must
# be the native screenshots pixel for pixel.
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
  rm -rf "$work"
}
trap cleanup EXIT
shots=(300 1500 2440 4600)

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
cp tests/e2e/playthrough.txt "$work/serve/test/"
python3 tests/web/page_test_server.py "$work/serve" "$work/out" "$work/port" 300 &
server_pid=$!
for _ in $(seq 200); do [ -s "$work/port" ] && break; sleep 0.1; done
port=$(cat "$work/port")
shot_list=$(IFS=,; echo "${shots[*]}")
page_start=$SECONDS
chromium --headless=new --no-sandbox --disable-gpu --no-first-run --mute-audio \
  --user-data-dir="$work/profile" "http://127.0.0.1:$port/index.html?test=1&shots=$shot_list" \
  >"$work/chromium.log" 2>&1 &
chrome_pid=$!
if ! wait "$server_pid"; then
  echo "the page did not finish the recorded game within 300 s; chromium said:"
  tail -n 30 "$work/chromium.log"
  exit 1
fi
kill "$chrome_pid" 2>/dev/null || true
wait "$chrome_pid" 2>/dev/null || true
chrome_pid=
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
echo "web: stage took $((SECONDS - web_start)) s"
