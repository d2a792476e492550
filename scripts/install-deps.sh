#!/usr/bin/env bash
# Installs the Debian packages the build, the game and the tests need, on
# anything from a bare Debian 12 (debootstrap's minbase: bash, dpkg and apt,
# no make, no compiler, no sudo) up. Does nothing when they are all present;
# otherwise it needs root, or sudo where that exists.
set -euo pipefail

packages=(
  # build
  make cmake ninja-build g++ pkg-config
  # fuzzers, the sanitizer runtime and the format check
  clang libclang-rt-14-dev clang-format
  # libraries
  libsdl2-dev libfreetype-dev libfontconfig-dev libfluidsynth-dev
  libgl-dev libglu1-mesa-dev libegl-dev libgles-dev libgl1-mesa-dri libegl-mesa0
  libjpeg62-turbo-dev libx11-dev libxfixes-dev zlib1g-dev libcurl4-openssl-dev
  libtomlplusplus-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  # the world's table (quorvax-server): HTTP, JSON, its two databases, hashes,
  # names; a PostgreSQL server for its tests and wrk for its benchmark
  libboost1.81-dev nlohmann-json3-dev libsqlite3-dev libpq-dev libssl-dev libicu-dev
  postgresql wrk
  # the shipped nginx site in front of two servers, over TLS, in a test
  nginx-light openssl
  # what the game finds at run time
  fonts-liberation fonts-dejavu-core timgm6mb-soundfont
  # the tests under X: server, input, a window manager with a panel, probes
  xvfb xauth xdotool x11-utils x11-apps openbox tint2
  # the leaderboard client's test server
  python3
  # install and package checks
  desktop-file-utils appstream man-db dpkg-dev file
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
sudo=()
if [ "$(id -u)" -ne 0 ]; then
  if ! command -v sudo >/dev/null; then
    echo "install-deps: these packages are missing and only root can install them: ${missing[*]}" >&2
    echo "install-deps: run this command as root once (or install them with apt-get)" >&2
    exit 1
  fi
  sudo=(sudo)
fi
export DEBIAN_FRONTEND=noninteractive
"${sudo[@]}" apt-get update -qq
"${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
