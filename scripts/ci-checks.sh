#!/usr/bin/env bash
# Every check CI makes, in order, in the tree this script sits in. .ci/run
# runs it inside a fresh minimal Debian 12 (or in place where none can be
# made); nothing here assumes more than bash and apt. A new check is a new
# step at the end.
set -euo pipefail
cd "$(dirname "$0")/.."
started=$SECONDS
# CI's machine has every tool a test needs: a skipped test is a failure here.
export QUORVAX_NO_SKIPS=1
step() {
  echo "== CI step: $* ($((SECONDS - started)) s in)"
}

step "README's test command: installs what is missing, builds, runs every test"
./test.sh

step "format check"
bash scripts/format-check.sh

step "the suite under AddressSanitizer and UndefinedBehaviorSanitizer"
make test-sanitize

step "every file-reader fuzzer for a minute"
make fuzz FUZZ_SECONDS=60

step "the soak under the sanitizers: an hour of play without pictures, then 3,000 drawn ticks"
make soak SOAK_TICKS=90000 SOAK_DRAWN_TICKS=3000

step "README's run command under Xvfb, checked as a player would"
bash scripts/ci-run-check.sh

step "the Windows build: cross-built, its tests and the replays compared with Linux's under Wine"
make test-windows

step "the browser build: made with Emscripten, its replays under node against Linux's, the page in headless Chromium"
make test-web

step "all checks passed"
