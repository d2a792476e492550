#!/usr/bin/env bash
# Cross-builds the two libraries the Windows programs link statically into
#   BUILD_DIR/deps/prefix (include/, lib/, the GoogleTest CMake package):
# libjpeg-turbo from Debian's source package at the pinned version (apt
# checks it against the signed archive index), and GoogleTest from Debian's
# googletest sources in /usr/src/googletest. Run by make windows after
# scripts/install-deps-windows.sh; does nothing when both are already built.
#   windows-deps.sh BUILD_DIR TOOLCHAIN_FILE
set -euo pipefail
build="$(mkdir -p "$1" && cd "$1" && pwd)"
toolchain="$(cd "$(dirname "$2")" && pwd)/$(basename "$2")"

# The version of Debian 12's libjpeg62-turbo, which the Linux build uses.
jpeg_version=1:2.1.5-2
deps="$build/deps"
prefix="$deps/prefix"
mkdir -p "$deps" "$prefix/include" "$prefix/lib"

stamp="$deps/libjpeg-turbo.done"
if [ "$(cat "$stamp" 2>/dev/null)" != "$jpeg_version" ]; then
  rm -rf "$deps/jpeg-src" "$deps/jpeg-build"
  mkdir -p "$deps/jpeg-src"
  (cd "$deps/jpeg-src" && apt-get source -qq "libjpeg-turbo=$jpeg_version" >/dev/null)
  src=$(find "$deps/jpeg-src" -mindepth 1 -maxdepth 1 -type d -name 'libjpeg-turbo-*' | head -1)
  [ -n "$src" ] || { echo "windows-deps: apt-get source gave no libjpeg-turbo tree" >&2; exit 1; }
  # The C code paths only: the SIMD ones would need nasm, and one picture
  # is decoded per run.
  cmake -S "$src" -B "$deps/jpeg-build" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
    -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$prefix" -DENABLE_SHARED=OFF -DENABLE_STATIC=ON -DWITH_TURBOJPEG=OFF \
    -DWITH_SIMD=OFF -DWITH_JPEG8=OFF >/dev/null
  cmake --build "$deps/jpeg-build" --target jpeg-static
  cp "$deps/jpeg-build/libjpeg.a" "$prefix/lib/libjpeg.a"
  cp "$src/jpeglib.h" "$src/jmorecfg.h" "$src/jerror.h" "$deps/jpeg-build/jconfig.h" "$prefix/include/"
  echo "$jpeg_version" >"$stamp"
fi

stamp="$deps/googletest.done"
if [ ! -f "$stamp" ]; then
  rm -rf "$deps/gtest-build"
  cmake -S /usr/src/googletest -B "$deps/gtest-build" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
    -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$prefix" -DBUILD_SHARED_LIBS=OFF >/dev/null
  cmake --build "$deps/gtest-build"
  cmake --install "$deps/gtest-build" >/dev/null
  touch "$stamp"
fi
