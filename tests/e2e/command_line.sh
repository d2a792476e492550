#!/usr/bin/env bash
# The command lines that end before any window opens, as a player types
# them: --help of both programs (status 0, the usage on standard output), an
# unknown option (status 2, the usage on standard error), and quorvax --play
# of an empty file, which is no recording (status 2, nothing played).
# Usage: command_line.sh GAME_DIR
set -uo pipefail
game=$(cd "$1" && pwd) || exit 1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() {
  echo "FAIL: $*"
  exit 1
}
# Runs a command in the scratch directory; its status in $status, its
# output in $work/out and $work/err.
run() {
  (cd "$work" && "$@" >"$work/out" 2>"$work/err")
  status=$?
}

for prog in quorvax quorvax-replay; do
  run "$game/$prog" --help
  [ "$status" = 0 ] || fail "$prog --help: status $status"
  grep -q "^usage: $prog " "$work/out" || fail "$prog --help: no usage on standard output"
  [ -s "$work/err" ] && fail "$prog --help wrote to standard error: $(cat "$work/err")"
  run "$game/$prog" --no-such-option
  [ "$status" = 2 ] || fail "$prog --no-such-option: status $status"
  grep -q "^usage: $prog " "$work/err" || fail "$prog --no-such-option: no usage on standard error"
done

: >"$work/empty.rec"
run "$game/quorvax" --play empty.rec
[ "$status" = 2 ] || fail "quorvax --play of an empty file: status $status"
grep -q "^quorvax: Not a recording: empty.rec: line 1: not a recording" "$work/err" ||
  fail "quorvax --play of an empty file: $(cat "$work/err")"
grep -q "nothing played" "$work/err" || fail "quorvax --play of an empty file played"
[ -s "$work/out" ] && fail "quorvax --play of an empty file printed a state: $(cat "$work/out")"
echo "command lines: passed"
