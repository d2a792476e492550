#!/usr/bin/env bash
# Installs the Debian packages the cross build for Windows and its tests
# need (make windows, make test-windows), and lets apt fetch source
# packages: a deb-src entry for every deb entry of the machine's own apt
# configuration, so libjpeg-turbo's sources come from the same archive,
# checked by apt against the same keys. Does nothing when all is there;
# needs root (or sudo) otherwise.
set -euo pipefail

packages=(
  g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64 mingw-w64-tools libz-mingw-w64-dev
  wine wine64 xvfb xauth nsis zip unzip dpkg-dev googletest cmake ninja-build libtomlplusplus-dev
)
. "$(dirname "$0")/apt-helpers.sh"

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
need_src=0
apt_has_sources libjpeg-turbo || need_src=1
[ ${#missing[@]} -eq 0 ] && [ $need_src -eq 0 ] && exit 0

if [ $need_src -eq 1 ]; then
  echo "Adding deb-src entries to the apt configuration ($apt_src_list)"
  apt_write_src_list
fi
apt_get update -qq
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  apt_get install -y -qq --no-install-recommends "${missing[@]}"
fi
