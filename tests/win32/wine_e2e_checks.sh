#!/usr/bin/env bash
# The player's checks of the Linux end-to-end run for the Windows program
# under Wine (window, title picture, keys, Escape, scores.dat, the "Board"
# box); the desktop checks (Alt+Enter geometry, signals) are Linux-only.
# Run by tests/win32/player_e2e.sh: start it in a fresh working directory, look at the screen, press keys,
# quit with Escape; then again without "top.bmp".
# Usage: wine_e2e_checks.sh GAME_DIR PROBE [COMMAND...]
# COMMAND runs the game (default GAME_DIR/quorvax; "wine GAME_DIR/quorvax.exe"
# for the Windows build). QUORVAX_E2E_QUIT_SECONDS allows a slower exit (Wine's).
set -uo pipefail
game_dir=$1
probe=$2
shift 2
game_cmd=("$@")
[ ${#game_cmd[@]} -gt 0 ] || game_cmd=("$game_dir/quorvax")
quit_seconds=${QUORVAX_E2E_QUIT_SECONDS:-2}
[ -n "${DISPLAY:-}" ] || { echo "no DISPLAY: skipped"; exit 77; }
command -v xdotool >/dev/null || { echo "no xdotool: skipped"; exit 77; }

fail() { echo "FAIL: $*"; [ -n "${pid:-}" ] && kill "$pid" 2>/dev/null; exit 1; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

prepare() {
  rm -rf "$work"/*
  for f in wood.bmp board.bmp top.bmp LandScape.bmp Enemy1.bmp bomb.bmp Hero.bmp Shadow.bmp \
           First.jpg bomb.wav death.wav over.wav SONAT_A1.MID; do
    [ -f "$game_dir/$f" ] && cp "$game_dir/$f" "$work/"
  done
}

start_game() {
  (cd "$work" && SDL_AUDIODRIVER=dummy exec "${game_cmd[@]}" >"$work/out.log" 2>&1) &
  pid=$!
}

# The id of a mapped window whose title is exactly the given name.
find_window() {
  local w
  for w in $(xwininfo -root -tree 2>/dev/null | awk -v n="\"$1\":" '$2 == n {print $1}'); do
    xwininfo -id "$w" 2>/dev/null | grep -q IsViewable && { echo "$w"; return 0; }
  done
  return 1
}

# Answers a message box with Enter, as a player would.
answer_box() {
  xdotool windowfocus "$1" 2>/dev/null
  xdotool key --window "$1" Return 2>/dev/null
}

# Waits for a window; message boxes of the program itself ("Error opening
# Mapper" where the machine has no sound) are answered with Enter meanwhile.
wait_window() {  # name, seconds
  local name=$1 end=$((SECONDS + $2)) w box
  while [ $SECONDS -lt $end ]; do
    w=$(find_window "$name") && { echo "$w"; return 0; }
    if box=$(find_window quorvax); then
      answer_box "$box"
    fi
    sleep 0.2
  done
  return 1
}

key() { xdotool key --delay 60 "$@"; sleep 0.4; }
hold() { xdotool keydown "$1"; sleep "$2"; xdotool keyup "$1"; sleep 0.3; }
shot() { "$probe" hash; }
# The bobbing repeats every 24 frames, so one look can land on the same
# picture by chance: look a few times before calling it unchanged.
changed_from() {
  local i
  for i in 1 2 3 4 5; do
    [ "$(shot)" != "$1" ] && return 0
    sleep 0.15
  done
  return 1
}

read -r screen_w screen_h < <(xdpyinfo 2>/dev/null | awk '/dimensions:/{split($2,a,"x"); print a[1], a[2]}')

# --- First run: everything in place ---
prepare
start_game
win=$(wait_window Quorvax 15) || fail "the game window did not appear"
sleep 1
eval "$(xdotool getwindowgeometry --shell "$win")"
[ "$X" = 0 ] && [ "$Y" = 0 ] || fail "window at $X,$Y, not at the top-left corner"
[ "$WIDTH" = "$screen_w" ] && [ "$HEIGHT" = "$screen_h" ] || fail "window ${WIDTH}x$HEIGHT, screen ${screen_w}x$screen_h"

title=$(shot)
read -r r g b < <("$probe" mean 0 0 "$screen_w" "$screen_h")
# The title picture, not the dark blue clear colour.
if [ "$r" -le 30 ] && [ "$g" -le 30 ] && [ "$b" -ge 110 ] && [ "$b" -le 140 ]; then
  fail "the title picture is not shown (mean colour $r $g $b)"
fi

xdotool windowfocus "$win" 2>/dev/null || true
key space
changed_from "$title" || fail "SPACE did not leave the title picture"
playing=$(shot)
hold Up 0.6
changed_from "$playing" || fail "Up did not move the view"
walked=$(shot)
hold Left 0.5
changed_from "$walked" || fail "Left did not turn the view"
turned=$(shot)
key ctrl
changed_from "$turned" || fail "CTRL did not change the picture"
bombed=$(shot)
key shift
changed_from "$bombed" || fail "SHIFT did not change the picture"

key Escape
end=$((SECONDS + quit_seconds))
while kill -0 "$pid" 2>/dev/null && [ $SECONDS -le $end ]; do sleep 0.1; done
kill -0 "$pid" 2>/dev/null && fail "Escape did not end the game within $quit_seconds seconds"
wait "$pid"; status=$?
[ "$status" = 0 ] || fail "the game ended with status $status"
[ -f "$work/scores.dat" ] || fail "no scores.dat written"
lines=$(grep -c $'\r$' "$work/scores.dat")
[ "$lines" = 5 ] || fail "scores.dat has $lines CRLF lines, not 5"
pid=""

# --- Second run: without top.bmp ---
prepare
rm -f "$work/top.bmp"
start_game
box=$(wait_window Board 15) || fail "no message box captioned Board"
answer_box "$box"
sleep 1
win=$(wait_window Quorvax 15) || fail "the game did not go on after the message"
grep -q "Can't load image" "$work/out.log" 2>/dev/null && fail "the message went to the terminal, not a box"
sleep 0.5
read -r r g b < <("$probe" mean 0 0 "$screen_w" "$screen_h")
if [ "$r" -le 30 ] && [ "$g" -le 30 ] && [ "$b" -ge 110 ] && [ "$b" -le 140 ]; then
  fail "no title picture after the message (mean colour $r $g $b)"
fi
# The window may be gone before the key's release is sent; the end is checked below.
xdotool key --window "$win" Escape 2>/dev/null
end=$((SECONDS + quit_seconds))
while kill -0 "$pid" 2>/dev/null && [ $SECONDS -le $end ]; do sleep 0.1; done
kill -0 "$pid" 2>/dev/null && fail "Escape did not end the second run"
wait "$pid" || fail "second run ended with an error"
echo "end-to-end: passed"
