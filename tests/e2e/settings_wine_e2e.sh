#!/usr/bin/env bash
# The player's settings in the Windows build under Wine: M (a change)
# writes settings.toml into %APPDATA%\Quorvax\; a settings file there with
# Jump on Z makes Z jump (the recording holds SHIFT); F2 opens Settings
# and the keyboard closes it.
# Usage: settings_wine_e2e.sh WINDOWS_GAME_DIR
# Needs WINEPREFIX and a display (scripts/test-windows.sh sets both).
set -uo pipefail
win_game=$(cd "$1" && pwd) || exit 1
[ -n "${DISPLAY:-}" ] || { echo "no DISPLAY: skipped"; exit 77; }
command -v xdotool >/dev/null || { echo "no xdotool: skipped"; exit 77; }

work=$(mktemp -d)
pid=""
trap '[ -n "$pid" ] && kill "$pid" 2>/dev/null; restore_wine_settings; rm -rf "$work"' EXIT
fail() {
  echo "FAIL: $*"
  [ -s "$work/play/out.log" ] && { echo "--- game output"; cat "$work/play/out.log"; }
  exit 1
}
source "$(dirname "$0")/find-window.sh"
source "$(dirname "$0")/game-files.sh"
copy_game_files "$work/play" "$win_game"

source "$(dirname "$0")/wine-settings.sh"
set_aside_wine_settings || fail "Wine gives no settings folder for %APPDATA%\\Quorvax"
config=$wine_settings
appdata=$wine_appdata

start_game() {
  (cd "$work/play" && exec wine "$win_game/quorvax.exe" "$@" >out.raw 2>out.log) &
  pid=$!
}
# The game window, with a start-up box of the game ("Error opening
# Mapper" where Wine has no MIDI device) answered with Enter.
game_window() {
  local end=$((SECONDS + 30)) w box
  while [ $SECONDS -lt $end ]; do
    w=$(find_window Quorvax) && { echo "$w"; return 0; }
    if box=$(find_window quorvax); then
      xdotool windowfocus "$box" 2>/dev/null; xdotool key Return
      for _ in $(seq 25); do find_window quorvax >/dev/null || break; sleep 0.2; done
    fi
    sleep 0.5
  done
  return 1
}
wait_end() {
  for _ in $(seq 75); do kill -0 "$pid" 2>/dev/null || break; sleep 0.2; done
  kill -0 "$pid" 2>/dev/null && fail "the game did not end"
  wait "$pid"
  pid=""
}

start_game
win=$(game_window) || fail "the game window did not appear"
sleep 1
xdotool windowfocus "$win" 2>/dev/null || true
xdotool key --delay 60 m
sleep 1
xdotool key Escape
wait_end
[ -f "$config/settings.toml" ] || fail "M wrote no settings.toml into $appdata\\Quorvax"
grep -q '^mute = true' "$config/settings.toml" || fail "the file does not hold the mute"

# Jump on Z from the file; the recording holds the game's own key.
sed -i "0,/^jump = .*/s//jump = [ 'KeyZ', '' ]/" "$config/settings.toml"
start_game --record game.rec
win=$(game_window) || fail "the game window did not appear the second time"
sleep 1
xdotool windowfocus "$win" 2>/dev/null || true
xdotool key space
sleep 0.5
xdotool keydown z; sleep 0.3; xdotool keyup z
sleep 0.3
xdotool key Escape
wait_end
grep -q ' down shift$' "$work/play/game.rec" || fail "Z did not jump: $(cat "$work/play/game.rec")"

# F2 opens the Settings dialog, the keyboard closes it.
start_game
win=$(game_window) || fail "the game window did not appear the third time"
sleep 1
xdotool windowfocus "$win" 2>/dev/null || true
xdotool key --delay 60 F2
sleep 2
dialog=$(find_window Settings) || fail "F2 opened no Settings dialog"
eval "$(xwininfo -id "$dialog" | awk -F: '/Absolute upper-left X/ {print "X=" $2+0}
  /Absolute upper-left Y/ {print "Y=" $2+0} /Width/ {print "W=" $2+0} /Height/ {print "H=" $2+0}')"
xdotool mousemove $((X + W / 2)) $((Y + H / 2))
sleep 1
# Under Wine here a dialog just focused missed its first key in trials (the
# About box too): Escape goes first, then Enter presses Close.
xdotool windowfocus "$dialog" 2>/dev/null || true
xdotool key --delay 60 Escape
sleep 1
xdotool windowfocus "$dialog" 2>/dev/null || true
xdotool key --delay 60 Return
sleep 2
find_window Settings >/dev/null && fail "Escape and Enter (Close) left the Settings dialog open"
xdotool windowfocus "$win" 2>/dev/null || true
xdotool key Escape
wait_end
echo "Windows settings: passed (the file in $appdata\\Quorvax)"
