#!/usr/bin/env bash
# Runs the test suite of a build tree; arguments after the tree go to ctest.
# Tests that need an X display (the end-to-end runs of the real game) get one
# from Xvfb when none is set.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
build=${1:-build}
shift || true
cd "$build"
if [ -z "${DISPLAY:-}" ] && command -v Xvfb >/dev/null; then
  exec bash "$here/with-xvfb.sh" 1920x1080x24 ctest --output-on-failure -j2 "$@"
fi
exec ctest --output-on-failure -j2 "$@"
