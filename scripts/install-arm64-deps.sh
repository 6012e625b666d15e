#!/usr/bin/env bash
# Installs what the aarch64 cross build needs on Debian 12: the cross
# compiler, qemu-user to run its programs, and the arm64 libraries the
# build links (arm64 as a foreign architecture). As root it runs dpkg and
# apt-get itself; otherwise it prints the exact lines and stops.
set -euo pipefail

PACKAGES=(
  g++-aarch64-linux-gnu qemu-user-static
  libsdl2-dev:arm64 libpng-dev:arm64 libfreetype-dev:arm64
  libgtest-dev:arm64 libgmock-dev:arm64
)

foreign=true
dpkg --print-foreign-architectures | grep -qx arm64 || foreign=false
missing=()
if $foreign; then
  for p in "${PACKAGES[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
      missing+=("$p")
    fi
  done
  [ ${#missing[@]} -eq 0 ] && exit 0
else
  missing=("${PACKAGES[@]}")
fi

line="apt-get install -y --no-install-recommends ${missing[*]}"
if [ "$(id -u)" -ne 0 ]; then
  echo "The aarch64 cross build needs these packages. Install them as root, then run this again:" >&2
  $foreign || echo "  dpkg --add-architecture arm64" >&2
  echo "  apt-get update && $line" >&2
  exit 1
fi
export DEBIAN_FRONTEND=noninteractive
$foreign || dpkg --add-architecture arm64
apt-get update -qq
# shellcheck disable=SC2086
apt-get install -y -qq --no-install-recommends ${missing[*]} >/dev/null
