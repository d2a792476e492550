#!/usr/bin/env bash
# Installs what the browser build and its tests need (make web, make
# test-web), then builds the two libraries the game links that emscripten
# does not bring, from Debian's source packages, compiled to WebAssembly
# once into
#   BUILD_DIR/deps/prefix (include/, lib/libjpeg.a, lib/libz.a)
# (BUILD_DIR: build-web): libjpeg-turbo and zlib at the versions of
# Debian 12's release, which the Linux build uses.
# Debian's emscripten ships its system libraries prebuilt and works
# offline; its ports download from the internet, so none is used. The
# packages need root (or sudo) only when one is missing.
#   install-deps-web.sh [BUILD_DIR]
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
. "$here/apt-helpers.sh"
. "$here/web-env.sh"

packages=(
  # build: the compiler, and the source package's unpacking
  make cmake ninja-build emscripten nodejs dpkg-dev libtomlplusplus-dev
  # the song, rendered at build time with the desktop's synthesizer and SoundFont
  fluidsynth timgm6mb-soundfont vorbis-tools
  # serving the site, and the tests in a real browser
  python3 chromium chromium-driver python3-websocket
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
need_src=0
apt_has_sources libjpeg-turbo && apt_has_sources zlib || need_src=1
if [ ${#missing[@]} -gt 0 ] || [ $need_src -eq 1 ]; then
  if [ -n "$apt_sudo" ] && ! command -v sudo >/dev/null; then
    echo "install-deps-web: only root can install ${missing[*]:-the deb-src entries}: run this script as root once" >&2
    exit 1
  fi
  if [ $need_src -eq 1 ]; then
    echo "Adding deb-src entries to the apt configuration ($apt_src_list)"
    apt_write_src_list
  fi
  apt_get update -qq
  if [ ${#missing[@]} -gt 0 ]; then
    echo "Installing: ${missing[*]}"
    apt_get install -y -qq --no-install-recommends "${missing[@]}"
  fi
fi

build="$(mkdir -p "${1:-build-web}" && cd "${1:-build-web}" && pwd)"
deps="$build/deps"
prefix="$deps/prefix"
mkdir -p "$prefix/include" "$prefix/lib"
emulator="-DCMAKE_CROSSCOMPILING_EMULATOR=$(IFS=';'; echo "${web_node[*]}")"

# Unpacks source package $1 (apt checks it against the signed archive
# index) into $deps/$2-src and prints the path of its tree.
unpack() {
  rm -rf "$deps/$2-src" "$deps/$2-build"
  mkdir -p "$deps/$2-src"
  (cd "$deps/$2-src" && apt-get source -qq "$1" >/dev/null)
  local src
  src=$(find "$deps/$2-src" -mindepth 1 -maxdepth 1 -type d | head -1)
  [ -n "$src" ] || { echo "install-deps-web: apt-get source $1 gave no tree" >&2; exit 1; }
  echo "$src"
}

# The version of Debian 12's libjpeg62-turbo, which the Linux build uses.
jpeg_version=1:2.1.5-2
stamp="$deps/libjpeg-turbo.done"
if [ "$(cat "$stamp" 2>/dev/null)" != "$jpeg_version" ]; then
  echo "Building libjpeg-turbo $jpeg_version for WebAssembly in $deps"
  src=$(unpack "libjpeg-turbo=$jpeg_version" jpeg)
  # The C code paths only (no SIMD in WebAssembly here); CMake's try-runs go
  # through node, else it cannot tell the word size.
  emcmake cmake -S "$src" -B "$deps/jpeg-build" -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DENABLE_SHARED=OFF -DENABLE_STATIC=ON -DWITH_TURBOJPEG=OFF -DWITH_SIMD=OFF -DWITH_JPEG8=OFF \
    "$emulator" >/dev/null
  cmake --build "$deps/jpeg-build" --target jpeg-static
  cp "$deps/jpeg-build/libjpeg.a" "$prefix/lib/libjpeg.a"
  cp "$src/jpeglib.h" "$src/jmorecfg.h" "$src/jerror.h" "$deps/jpeg-build/jconfig.h" "$prefix/include/"
  echo "$jpeg_version" >"$stamp"
fi

# zlib for the PNG writer, at Debian 12's release version.
zlib_version=1:1.2.13.dfsg-1
stamp="$deps/zlib.done"
if [ "$(cat "$stamp" 2>/dev/null)" != "$zlib_version" ]; then
  echo "Building zlib $zlib_version for WebAssembly in $deps"
  src=$(unpack "zlib=$zlib_version" zlib)
  # Debian's tree lacks the files zlib's CMake project lists for Windows;
  # the library is its top-level C files, compiled as its own makefile does.
  mkdir -p "$deps/zlib-build"
  (cd "$deps/zlib-build" && emcc -O2 -D_LARGEFILE64_SOURCE=1 -DHAVE_HIDDEN -c "$src"/*.c &&
    emar rcs libz.a ./*.o)
  cp "$deps/zlib-build/libz.a" "$prefix/lib/libz.a"
  cp "$src/zlib.h" "$src/zconf.h" "$prefix/include/"
  echo "$zlib_version" >"$stamp"
fi
