#!/usr/bin/env bash
# make web: configures the browser build with emscripten (emcmake) and
# builds it; the site lands in WEB_BUILD/site. The game's files come from
# the Linux build tree LINUX_BUILD, whose generators make them.
#   web-build.sh WEB_BUILD LINUX_BUILD
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
. "$here/web-env.sh"
web="$(mkdir -p "$1" && cd "$1" && pwd)"
linux="$(cd "$2" && pwd)"
bash "$here/install-deps-web.sh" "$web"
emcmake cmake -S "$here/.." -B "$web" -G Ninja -DCMAKE_BUILD_TYPE=Release \
  -DQUORVAX_CONTENT_FROM="$linux" -DQUORVAX_WEB_DEPS="$web/deps/prefix" \
  -DQUORVAX_TESTS=OFF -DQUORVAX_BENCH=OFF \
  "-DCMAKE_CROSSCOMPILING_EMULATOR=$(IFS=';'; echo "${web_node[*]}")" >/dev/null
cmake --build "$web"
echo "The site is in $web/site ($(du -sk "$web/site" | cut -f1) KiB): make serve-web serves it"
