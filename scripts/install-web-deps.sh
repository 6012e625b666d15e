#!/usr/bin/env bash
# Installs what the browser build and its test need on Debian 12:
# emscripten (with its prebuilt libraries, so nothing is downloaded),
# chromium for the headless test and python3 for its small server. As root
# it runs apt-get itself; otherwise it prints the exact line and stops.
set -euo pipefail
exec "$(dirname "$0")/install-deps.sh" emscripten chromium python3
