#!/usr/bin/env bash
# Serves build-web/ (made by scripts/build-web.sh) on http://127.0.0.1:PORT/
# (8000 unless given) for playing in a browser on this machine, gzip-compressed.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
port=${1:-8000}
[ -f "$top/build-web/index.html" ] || { echo "no build-web/index.html; run scripts/build-web.sh first" >&2; exit 1; }
# Compressed on the way (scripts/serve_web.py): a first visit transfers about
# 10 MB instead of 72.
exec python3 "$top/scripts/serve_web.py" "$top/build-web" "$port"
