#!/usr/bin/env bash
# A recorded game whose start-up box was answered, end to end. Without a
# sound device the game says "Error opening Mapper" before its first tick;
# here SDL gets a sound driver it does not have. The real game runs under
# Xvfb with --record; the box is answered with Escape, with Enter or with a
# click on OK; then the hero walks with the keypad's Up and turns with its
# Right (NumLock off), a Left held under Alt must do nothing, and Escape
# ends the game. The recording must hold none of the box's keys and no
# Left; quorvax-replay --check of it must reach the recorded final state,
# with the hero moved and turned; and quorvax --play of it, whose box the
# player answers the same way, must end in that state too (the box that
# says how the playback ended is answered with Enter).
# Usage: startup_box_e2e.sh GAME_DIR
set -uo pipefail
game=$(cd "$1" && pwd) || exit 1
if [ -z "${STARTUP_BOX_E2E_DISPLAY:-}" ]; then
  command -v Xvfb >/dev/null || { echo "no Xvfb: skipped"; exit 77; }
  command -v xdotool >/dev/null || { echo "no xdotool: skipped"; exit 77; }
  STARTUP_BOX_E2E_DISPLAY=1 exec bash "$(dirname "$0")/../../scripts/with-xvfb.sh" 640x480x24 \
    bash "$0" "$@"
fi
export SDL_AUDIODRIVER=no-such-driver

work=$(mktemp -d)
pid=""
trap '[ -n "$pid" ] && kill "$pid" 2>/dev/null; rm -rf "$work"' EXIT
fail() {
  echo "FAIL: $*"
  [ -f "${rec:-}" ] && { echo "--- the recording:"; cat "$rec"; }
  [ -n "${log:-}" ] && [ -f "$log" ] && { echo "--- the game's output:"; cat "$log"; }
  exit 1
}
source "$(dirname "$0")/find-window.sh"

source "$(dirname "$0")/game-files.sh"
prepare() { copy_game_files "$1" "$game"; }
# Runs quorvax with ARGS in DIR in the background; its output in DIR/out.log.
start_game() {
  log=$1/out.log
  (cd "$1" && shift && exec "$game/quorvax" "$@" >out.log 2>&1) &
  pid=$!
}
# Waits up to SECONDS for the game to end; fails unless its status is 0.
wait_end() {
  local end=$((SECONDS + $1))
  while kill -0 "$pid" 2>/dev/null && [ $SECONDS -le $end ]; do sleep 0.2; done
  kill -0 "$pid" 2>/dev/null && fail "$2: the game did not end within $1 seconds"
  wait "$pid" || fail "$2: the game ended with status $?"
  pid=""
}
# The id of the window titled NAME, once it shows (within 30 seconds).
wait_window() {
  local end=$((SECONDS + 30)) w
  while [ $SECONDS -lt $end ]; do
    w=$(find_window "$1") && { echo "$w"; return 0; }
    kill -0 "$pid" 2>/dev/null || return 1
    sleep 0.2
  done
  return 1
}
# True once the window has the keyboard focus: the game gives it to its
# windows itself.
has_focus() {
  local end=$((SECONDS + 3))
  while [ $SECONDS -le $end ]; do
    [ "$(xdotool getwindowfocus 2>/dev/null)" = "$(($1))" ] && return 0
    sleep 0.1
  done
  return 1
}
# Answers the start-up box of the running game in the way WAY, as a player.
answer_box() {
  local way=$1 box
  box=$(wait_window quorvax) || fail "$way: no start-up box"
  has_focus "$box" || fail "$way: the box does not have the keys"
  sleep 0.3
  case $way in
    escape) xdotool key Escape ;;
    enter) xdotool key Return ;;
    click)
      # OK in the middle of the box's bottom row.
      eval "$(xwininfo -id "$box" | awk -F: '/Width/ {print "W=" $2+0} /Height/ {print "H=" $2+0}')"
      xdotool mousemove --window "$box" $((W / 2)) $((H - 22)) click 1
      ;;
  esac
  for _ in $(seq 50); do
    find_window quorvax >/dev/null || return 0
    sleep 0.1
  done
  fail "$way: the box was not answered"
}
field() { sed -n "s/.* $1=\([^ ]*\).*/\1/p" <<<"$2"; }

prepare "$work/start"
start=$(cd "$work/start" && "$game/quorvax-replay" --size 64x48 --ticks 1 | grep '^state ')

for way in escape enter click; do
  dir=$work/$way
  prepare "$dir/play"
  prepare "$dir/check"
  prepare "$dir/back"
  rec=$dir/game.rec

  # --- Record ---
  start_game "$dir/play" --record "$rec"
  answer_box "$way"
  win=$(wait_window Quorvax) || fail "$way: the game window did not appear"
  has_focus "$win" || fail "$way: the game window did not get the keys"
  xdotool key space
  sleep 0.5
  xdotool keydown KP_Up sleep 0.8 keyup KP_Up sleep 0.2
  xdotool keydown KP_Right sleep 0.4 keyup KP_Right sleep 0.2
  xdotool keydown alt keydown Left sleep 0.4 keyup Left keyup alt sleep 0.2
  xdotool key Escape
  wait_end 15 "$way: recording"
  grep -q 'Error opening Mapper' "$dir/play/out.log" && fail "$way: the box went to the terminal"

  final=$(sed -n 's/^# final \(state .*\)$/\1/p' "$rec")
  [ -n "$final" ] || fail "$way: the recording has no final state"
  events=$(grep -E '^[0-9]+ ' "$rec")
  [ "$(grep -cE ' (escape|enter)$' <<<"$events")" = 1 ] ||
    fail "$way: the recording holds keys of the box"
  tail -1 <<<"$events" | grep -qE ' down escape$' || fail "$way: the last event is not Escape"
  grep -qE ' down up$' <<<"$events" || fail "$way: the keypad's Up is not in the recording"
  grep -qE ' down right$' <<<"$events" || fail "$way: the keypad's Right is not in the recording"
  grep -q ' left$' <<<"$events" && fail "$way: a Left held under Alt reached the game"

  # --- Check ---
  out=$(cd "$dir/check" && "$game/quorvax-replay" --size 64x48 --check --script "$rec" 2>&1) ||
    fail "$way: quorvax-replay --check failed: $out"
  [ "$(field hero "$final")" != "$(field hero "$start")" ] || fail "$way: the hero did not move"
  [ "$(field facing "$final")" != "$(field facing "$start")" ] || fail "$way: the hero did not turn"

  # --- Play back, the box answered the same way ---
  start_game "$dir/back" --play "$rec"
  answer_box "$way"
  box=$(wait_window Playback) || fail "$way: the playback did not say how it ended"
  has_focus "$box" || fail "$way: the box at the end does not have the keys"
  xdotool key Return
  wait_end 60 "$way: playback"
  played=$(grep '^state ' "$dir/back/out.log" | tail -1)
  [ "$played" = "$final" ] || fail "$way: the playback ended otherwise:
- $final
+ $played"
  echo "$way: $(grep -c . <<<"$events") events, $final"
done
echo "start-up box answered, recorded, checked and played back: passed"
