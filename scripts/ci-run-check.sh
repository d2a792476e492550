#!/usr/bin/env bash
# README's run command as a player meets it on a machine without sound:
# under Xvfb (1920 x 1080) it must answer the start-up box about the missing
# sound device, cover the screen with its window, show the title picture,
# and on Escape end with status 0 and write a five-line CRLF "scores.dat".
# Needs a built tree (README's test command first): the probe comes from it.
set -euo pipefail
cd "$(dirname "$0")/.."
probe=$PWD/build/tests/screen_probe
game_dir=$PWD/build/game
if [ -z "${DISPLAY:-}" ]; then
  exec bash scripts/with-xvfb.sh 1920x1080x24 bash "$PWD/scripts/ci-run-check.sh" "$@"
fi
log=$(mktemp)
pid=""
cleanup() {
  # The game runs in a process group of its own (make's shell and the game).
  [ -n "$pid" ] && kill -- -"$pid" 2>/dev/null
  rm -f "$log"
}
trap cleanup EXIT
fail() {
  echo "FAIL: README's run command: $*"
  tail -n 20 "$log"
  exit 1
}
[ -x "$probe" ] || fail "no $probe: run README's test command first"

source tests/e2e/find-window.sh

read -r screen_w screen_h < <(xdpyinfo | awk '/dimensions:/{split($2, a, "x"); print a[1], a[2]}')
rm -f "$game_dir/scores.dat"
setsid ./run.sh >"$log" 2>&1 &
pid=$!

# The box comes while the game starts (no sound device here); Enter answers it.
answered=no
win=""
end=$((SECONDS + 60))
while [ $SECONDS -lt $end ] && kill -0 "$pid" 2>/dev/null; do
  if box=$(find_window quorvax); then
    xdotool windowfocus "$box" 2>/dev/null || true
    xdotool key --window "$box" Return 2>/dev/null || true
    answered=yes
  elif win=$(find_window Quorvax); then
    break
  fi
  sleep 0.2
done
[ -n "$win" ] || fail "the game window did not appear"
[ $answered = yes ] || fail "no message box about the missing sound device was shown"
sleep 2
eval "$(xdotool getwindowgeometry --shell "$win")"
[ "$X,$Y ${WIDTH}x$HEIGHT" = "0,0 ${screen_w}x$screen_h" ] ||
  fail "window at $X,$Y ${WIDTH}x$HEIGHT, the screen is ${screen_w}x$screen_h"
read -r r g b < <("$probe" mean 0 0 "$screen_w" "$screen_h")
# The title picture, not the dark blue clear colour or a black screen.
if [ $((r + g + b)) -lt 60 ] || { [ "$r" -le 30 ] && [ "$g" -le 30 ] && [ "$b" -ge 110 ] && [ "$b" -le 140 ]; }; then
  fail "the title picture is not shown (mean colour $r $g $b)"
fi

xdotool windowfocus "$win" 2>/dev/null || true
# The game may close its window on the key press, before xdotool sends the
# release to it (BadWindow); whether it ended is checked just below.
xdotool key --window "$win" Escape 2>/dev/null || true
end=$((SECONDS + 5))
while kill -0 "$pid" 2>/dev/null && [ $SECONDS -lt $end ]; do sleep 0.1; done
kill -0 "$pid" 2>/dev/null && fail "Escape did not end the game within five seconds"
status=0
wait "$pid" || status=$?
pid=""
[ $status = 0 ] || fail "the run command ended with status $status"
[ -f "$game_dir/scores.dat" ] || fail "no scores.dat written"
lines=$(grep -c $'\r$' "$game_dir/scores.dat" || true)
[ "$lines" = 5 ] && [ "$(wc -l <"$game_dir/scores.dat")" = 5 ] ||
  fail "scores.dat has $lines CRLF lines, not 5"
echo "README's run command: window ${WIDTH}x$HEIGHT at 0,0, title picture (mean $r $g $b), Escape ended it, scores.dat has 5 CRLF lines"
