#!/usr/bin/env bash
# Serves build-web/ (made by scripts/build-web.sh) on http://127.0.0.1:PORT/
# (8000 unless given) for playing in a browser on this machine.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
port=${1:-8000}
[ -f "$top/build-web/index.html" ] || { echo "no build-web/index.html; run scripts/build-web.sh first" >&2; exit 1; }
echo "open http://127.0.0.1:$port/ (Ctrl+C ends)"
exec python3 -m http.server --bind 127.0.0.1 --directory "$top/build-web" "$port"
