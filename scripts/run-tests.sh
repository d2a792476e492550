#!/usr/bin/env bash
# Runs the test suite of a build tree. Tests that need an X display (the
# end-to-end runs of the real game) get one from Xvfb when none is set.
set -euo pipefail
build=${1:-build}
cd "$build"
if [ -z "${DISPLAY:-}" ] && command -v xvfb-run >/dev/null; then
  exec xvfb-run -a -s "-screen 0 1920x1080x24" ctest --output-on-failure -j2
fi
exec ctest --output-on-failure -j2
