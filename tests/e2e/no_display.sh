#!/usr/bin/env bash
# The game started where there is no display to open (ssh without X, a cron
# job, a display that is gone): it must say so in one plain line and end at
# once with an error status, never run on unseen.
# Usage: no_display.sh GAME_DIR
set -uo pipefail
game=$(cd "$1" && pwd)/quorvax
[ -x "$game" ] || { echo "no game at $game"; exit 1; }
# Where this user may drive a graphics card's console, SDL's KMS driver can
# show the game there without any display server.
for card in /dev/dri/card*; do
  [ -r "$card" ] && [ -w "$card" ] && { echo "$card can show the game: skipped"; exit 77; }
done
out=$(mktemp)
trap 'rm -f "$out"' EXIT
failed=0
# DISPLAY unset, as in a cron job (no runtime directory either), and set to
# a display nobody serves.
for display in "" ":9876"; do
  start=$(date +%s%N)
  env -u DISPLAY -u WAYLAND_DISPLAY -u XDG_RUNTIME_DIR ${display:+DISPLAY=$display} \
    SDL_AUDIODRIVER=dummy timeout 10 "$game" >"$out" 2>&1
  status=$?
  ms=$((($(date +%s%N) - start) / 1000000))
  lines=$(wc -l <"$out")
  echo "DISPLAY=${display:-(unset)}: status $status after $ms ms: $(cat "$out")"
  if [ "$status" = 0 ] || [ "$status" = 124 ]; then
    echo "FAIL: the game did not end with an error status"; failed=1
  fi
  [ "$ms" -le 1000 ] || { echo "FAIL: it took $ms ms to end"; failed=1; }
  if [ "$lines" != 1 ] || ! grep -q "no display could be opened" "$out"; then
    echo "FAIL: not one line saying that no display could be opened"; failed=1
  fi
done
exit $failed
