# Sourced by the runs of quorvax.exe under Wine that play it with xdotool.
# Needs $win_game (the Windows game's directory), a fail function and
# find-window.sh; the running game's process is $pid.

# Runs quorvax.exe with ARGS in DIR in the background; its output in out.log.
start_game() {
  (cd "$1" && shift && exec wine "$win_game/quorvax.exe" "$@" >out.raw 2>out.log) &
  pid=$!
}
# Waits up to SECONDS for the game to end; its status in $status.
wait_end() {
  local end=$((SECONDS + $1))
  while kill -0 "$pid" 2>/dev/null && [ $SECONDS -le $end ]; do sleep 0.2; done
  kill -0 "$pid" 2>/dev/null && fail "$2: the game did not end within $1 seconds"
  wait "$pid"; status=$?
  pid=""
}
# Waits for the game window; a box of the game meanwhile gets ANSWER (a key
# name for xdotool, or click).
wait_game_window() {
  local end=$((SECONDS + 30)) w box
  while [ $SECONDS -lt $end ]; do
    w=$(find_window Quorvax) && { echo "$w"; return 0; }
    find_window Playback >/dev/null && { echo "FAIL: a box warned before the playback" >&2; return 1; }
    if box=$(find_window quorvax); then
      if [ "$1" != click ]; then
        xdotool windowfocus "$box" 2>/dev/null; xdotool key "$1"
      else
        # Wine's box with one button: OK in the middle of its bottom row.
        eval "$(xwininfo -id "$box" | awk -F: '/Width/ {print "W=" $2+0} /Height/ {print "H=" $2+0}')"
        xdotool mousemove --window "$box" $((W / 2)) $((H - 22)) click 1
      fi
      # Answered once: a second key would reach the game.
      for _ in $(seq 25); do find_window quorvax >/dev/null || break; sleep 0.2; done
    fi
    sleep 0.5
  done
  return 1
}
hold() { xdotool keydown "$1"; sleep "$2"; xdotool keyup "$1"; sleep 0.3; }
