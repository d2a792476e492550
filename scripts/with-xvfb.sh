#!/usr/bin/env bash
# Runs a command on an Xvfb server of its own and stops the server after it:
#   with-xvfb.sh WIDTHxHEIGHTxDEPTH COMMAND...
# Used instead of xvfb-run, which waits forever when the server reports that
# it is ready before xvfb-run starts waiting for that (seen on busy machines).
set -uo pipefail
screen=$1
shift
dir=$(mktemp -d)
# The server writes its display number to fd 3 once it takes clients: the
# number and its newline in two writes, so only a whole line is read.
Xvfb -displayfd 3 -screen 0 "$screen" -nolisten tcp 3>"$dir/display" >"$dir/log" 2>&1 &
xvfb=$!
cleanup() {
  kill "$xvfb" 2>/dev/null
  wait "$xvfb" 2>/dev/null
  rm -rf "$dir"
}
trap cleanup EXIT
trap 'exit 130' INT
trap 'exit 143' TERM
ready() { [ "$(wc -l <"$dir/display")" -ge 1 ]; }
for _ in $(seq 300); do
  ready && break
  kill -0 "$xvfb" 2>/dev/null || break
  sleep 0.1
done
if ! ready; then
  echo "with-xvfb: Xvfb did not start"
  cat "$dir/log"
  exit 1
fi
DISPLAY=:$(tr -d '\n' <"$dir/display")
export DISPLAY
"$@"
status=$?
exit $status
