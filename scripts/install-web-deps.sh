#!/usr/bin/env bash
# Installs what the browser build and its test need on Debian 12:
# emscripten (with its prebuilt libraries, so nothing is downloaded) and
# chromium for the headless test. As root it runs apt-get itself; otherwise
# it prints the exact line and stops.
set -euo pipefail

PACKAGES=(emscripten chromium python3)

missing=()
for p in "${PACKAGES[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

line="apt-get install -y --no-install-recommends ${missing[*]}"
if [ "$(id -u)" -ne 0 ]; then
  echo "The browser build needs these packages. Install them as root, then run this again:" >&2
  echo "  apt-get update && $line" >&2
  exit 1
fi
export DEBIAN_FRONTEND=noninteractive
apt-get update -qq
# shellcheck disable=SC2086
apt-get install -y -qq --no-install-recommends ${missing[*]} >/dev/null
