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
  wine wine64 xvfb xauth nsis zip unzip dpkg-dev googletest cmake ninja-build
)
src_list=/etc/apt/sources.list.d/quorvax-deb-src.sources

sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"
export DEBIAN_FRONTEND=noninteractive

# apt may be busy with another installation on the machine: wait for it.
apt_get() {
  for _ in $(seq 60); do
    if $sudo apt-get -o DPkg::Lock::Timeout=60 "$@"; then
      return 0
    fi
    sleep 5
  done
  return 1
}

# deb-src twins of the deb822 stanzas in sources.list.d and of the one-line
# "deb" entries in sources.list.
write_src_list() {
  local out
  out=$(mktemp)
  for f in /etc/apt/sources.list.d/*.sources; do
    [ -f "$f" ] && [ "$f" != "$src_list" ] || continue
    awk 'BEGIN { RS = ""; ORS = "\n\n" }
         /(^|\n)Types:[^\n]*deb([ \t]|\n|$)/ { gsub(/(^|\n)Types:[^\n]*/, "\nTypes: deb-src"); sub(/^\n/, ""); print }' "$f" >>"$out"
  done
  if [ -f /etc/apt/sources.list ]; then
    sed -n 's/^[[:space:]]*deb[[:space:]]\+/deb-src /p' /etc/apt/sources.list |
      awk '{ print "Types: deb-src"; print "URIs: " $2; print "Suites: " $3;
             c = ""; for (i = 4; i <= NF; ++i) c = c (i > 4 ? " " : "") $i; print "Components: " c; print "" }' >>"$out"
  fi
  if [ ! -s "$out" ]; then
    echo "install-deps-windows: no deb entries found in the apt configuration" >&2
    rm -f "$out"
    return 1
  fi
  $sudo install -m 644 "$out" "$src_list"
  rm -f "$out"
}

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
need_src=0
apt-get source --print-uris libjpeg-turbo >/dev/null 2>&1 || need_src=1
[ ${#missing[@]} -eq 0 ] && [ $need_src -eq 0 ] && exit 0

if [ $need_src -eq 1 ]; then
  echo "Adding deb-src entries to the apt configuration ($src_list)"
  write_src_list
fi
apt_get update -qq
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  apt_get install -y -qq --no-install-recommends "${missing[@]}"
fi
