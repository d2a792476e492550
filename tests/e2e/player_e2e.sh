#!/usr/bin/env bash
# A player's end-to-end run of the real game under an X server: start it in
# a fresh working directory, look at the screen, switch to the window and
# back with Alt+Enter (also at once after the window manager activated it),
# see the pointer hidden over the game and shown over the About box, press
# keys, quit with Escape; then again without
# "top.bmp", whose message box must show centred with the keys; then that
# box ended by SIGTERM and SIGINT, which must end the game as Escape does.
# Runs with or without a window manager (tests/e2e/desktop.sh).
# With --wine it runs GAME_DIR/quorvax.exe, the Windows build, under Wine
# instead: the same player's checks without the desktop ones (Alt+Enter, the
# box's place and focus, signals); Wine's windows take the keys only once
# focused by hand, and Wine takes a little longer to end a program.
# Usage: player_e2e.sh GAME_DIR PROBE [--wine]
set -uo pipefail
# The game runs in a directory of its own: the paths must hold from there.
game_dir=$(cd "$1" && pwd) || exit 1
probe=$(realpath "$2") || exit 1
wine=no
game_cmd=("$game_dir/quorvax")
replay_cmd=("$game_dir/quorvax-replay")
quit_seconds=2
if [ "${3:-}" = --wine ]; then
  wine=yes
  game_cmd=(wine "$game_dir/quorvax.exe")
  replay_cmd=(wine "$game_dir/quorvax-replay.exe")
  quit_seconds=5
fi
[ -x "$probe" ] || { echo "no screen probe: skipped"; exit 77; }
[ -n "${DISPLAY:-}" ] || { echo "no DISPLAY: skipped"; exit 77; }
command -v xdotool >/dev/null || { echo "no xdotool: skipped"; exit 77; }

fail() {
  echo "FAIL: $*"
  [ -n "${pid:-}" ] && kill "$pid" 2>/dev/null
  [ -s "$work/out.log" ] && { echo "--- game output"; cat "$work/out.log"; }
  exit 1
}
work=$(mktemp -d)
source "$(dirname "$0")/wine-settings.sh"
trap 'restore_wine_settings; rm -rf "$work"' EXIT
if [ $wine = yes ]; then
  set_aside_wine_settings || fail "no settings folder in the Wine prefix"
fi

prepare() {
  rm -rf "${work:?}"/*
  for f in wood.bmp board.bmp top.bmp LandScape.bmp Enemy1.bmp bomb.bmp Hero.bmp Shadow.bmp \
           First.jpg bomb.wav death.wav over.wav SONAT_A1.MID; do
    [ -f "$game_dir/$f" ] && cp "$game_dir/$f" "$work/"
  done
}

start_game() {
  (cd "$work" && SDL_AUDIODRIVER=dummy exec "${game_cmd[@]}" "$@" >"$work/out.log" 2>&1) &
  pid=$!
}

# Waits for the game to end; its status is in $status.
wait_end() {
  local end=$((SECONDS + quit_seconds))
  while kill -0 "$pid" 2>/dev/null && [ $SECONDS -le $end ]; do sleep 0.1; done
  kill -0 "$pid" 2>/dev/null && fail "$1 did not end the game within $quit_seconds seconds"
  wait "$pid"; status=$?
  pid=""
}

# The orderly end: status 0 and the five score lines written back.
check_orderly_end() {
  [ "$status" = 0 ] || fail "$1: the game ended with status $status"
  [ -f "$work/scores.dat" ] || fail "$1: no scores.dat written"
  local lines
  lines=$(grep -c $'\r$' "$work/scores.dat")
  [ "$lines" = 5 ] || fail "$1: scores.dat has $lines CRLF lines, not 5"
}

source "$(dirname "$0")/find-window.sh"

# True once the window has the keyboard focus (within two seconds): the game
# gives it to its windows itself, with or without a window manager.
has_focus() {
  local end=$((SECONDS + 2))
  while [ $SECONDS -le $end ]; do
    [ "$(xdotool getwindowfocus 2>/dev/null)" = "$(($1))" ] && return 0
    sleep 0.1
  done
  return 1
}

# Makes sure a window of the game has the keys: the game gives them to its
# windows itself; under Wine they are given by hand.
take_keys() {  # window, what failed
  if [ $wine = yes ]; then
    xdotool windowfocus "$1" 2>/dev/null || true
  else
    has_focus "$1" || fail "$2"
  fi
}

# Answers a message box with Enter, as a player would: it must have the keys.
answer_box() {
  take_keys "$1" "the message box $(xdotool getwindowname "$1") does not have the focus"
  xdotool key Return
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

# The id of a window with this title that shows within the given seconds.
wait_window_of() {  # name, seconds
  local end=$((SECONDS + $2)) w
  while [ $SECONDS -le $end ]; do
    w=$(find_window "$1") && { echo "$w"; return 0; }
    sleep 0.2
  done
  return 1
}

# X, Y, WIDTH and HEIGHT of a window's client area on the screen (xdotool
# counts a window manager's frame twice).
geometry() {
  eval "$(xwininfo -id "$1" | awk -F: '/Absolute upper-left X/ {print "X=" $2+0}
    /Absolute upper-left Y/ {print "Y=" $2+0} /Width/ {print "WIDTH=" $2+0}
    /Height/ {print "HEIGHT=" $2+0}')"
}

# The window covers the whole screen from its top-left corner.
check_covers_screen() {
  geometry "$win"
  [ "$X" = 0 ] && [ "$Y" = 0 ] || fail "$1: window at $X,$Y, not at the top-left corner"
  [ "$WIDTH" = "$screen_w" ] && [ "$HEIGHT" = "$screen_h" ] ||
    fail "$1: window ${WIDTH}x$HEIGHT, screen ${screen_w}x$screen_h"
}

# Waits up to three seconds for the window to take the given size.
wait_size() {
  local end=$((SECONDS + 3))
  while [ $SECONDS -le $end ]; do
    geometry "$win"
    [ "$WIDTH" = "$1" ] && [ "$HEIGHT" = "$2" ] && return 0
    sleep 0.1
  done
  return 1
}

# Waits up to three seconds for the pointer to be shown or hidden (the
# XFixes image of the cursor: an invisible one has no opaque pixel) and to
# stay so for 0.6 s: a window just entered shows the server's own cursor
# until the game has seen the pointer come in.
wait_pointer() {  # shown|hidden, where
  local end=$((SECONDS + 3)) now held=0
  while [ $SECONDS -le $end ]; do
    now=$("$probe" cursor | awk '{print ($2 > 0) ? "shown" : "hidden"}')
    if [ "$now" = "$1" ]; then held=$((held + 1)); else held=0; fi
    [ $held -ge 4 ] && return 0
    sleep 0.2
  done
  fail "the pointer is not $1 $2 (cursor image $("$probe" cursor))"
}

# A dialog is told to the window manager as one: of the dialog type,
# transient for the game's window (when that is shown), and with no
# minimise or maximise (Motif hints: the functions named, none of them
# "all" (bit 0), minimise (bit 3) or maximise (bit 4)).
check_dialog_hints() {  # window, what, [owner]
  local owner=${3:-}
  xprop -id "$1" _NET_WM_WINDOW_TYPE | grep -q '= _NET_WM_WINDOW_TYPE_DIALOG' ||
    fail "$2 is not of the dialog type: $(xprop -id "$1" _NET_WM_WINDOW_TYPE)"
  if [ -n "$owner" ]; then
    [ "$(xprop -id "$1" WM_TRANSIENT_FOR | awk '{print $NF}')" = "$owner" ] ||
      fail "$2 is not transient for the game's window $owner: $(xprop -id "$1" WM_TRANSIENT_FOR)"
  fi
  local flags functions rest
  read -r flags functions rest < <(xprop -id "$1" _MOTIF_WM_HINTS | awk -F'= ' '{print $2}' | tr -d ,)
  [ -n "$functions" ] && [ $((flags & 1)) = 1 ] && [ $((functions & 0x19)) = 0 ] ||
    fail "$2 may be minimised or maximised: $(xprop -id "$1" _MOTIF_WM_HINTS)"
  # A window manager that says what it allows must not offer maximising.
  ! xprop -id "$1" _NET_WM_ALLOWED_ACTIONS | grep -q MAXIMIZE ||
    fail "$2 may be maximised: $(xprop -id "$1" _NET_WM_ALLOWED_ACTIONS)"
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
case $(xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null) in
  *"window id"*) echo "under a window manager"; wm=yes ;;
  *) echo "without a window manager"; wm=no ;;
esac

# What a key did, from the game's own state lines: whether FIELD changed
# within 15 ticks of KEY's first press (states.txt, the recorded run
# played back).
key_changed() {
  local t
  t=$(awk -v k="$1" '$2 == "down" && $3 == k { print $1; exit }' "$work/game.txt")
  [ -n "$t" ] || return 1
  tr -d '\r' <"$work/states.txt" | awk -v t="$t" -v f="$2" '
    $1 != "state" { next }
    { delete v; for (i = 2; i <= NF; i++) { split($i, kv, "="); v[kv[1]] = kv[2] } }
    v["tick"] == t - 1 { before = v[f] }
    v["tick"] >= t && v["tick"] <= t + 15 && before != "" && v[f] != before { found = 1 }
    END { exit !found }'
}

# --- First run: everything in place, recorded ---
prepare
start_game --record game.txt
win=$(wait_window Quorvax 15) || fail "the game window did not appear"
sleep 1
check_covers_screen "at the start"

title=$(shot)
read -r r g b < <("$probe" mean 0 0 "$screen_w" "$screen_h")
# The title picture, not the dark blue clear colour.
if [ "$r" -le 30 ] && [ "$g" -le 30 ] && [ "$b" -ge 110 ] && [ "$b" -le 140 ]; then
  fail "the title picture is not shown (mean colour $r $g $b)"
fi

take_keys "$win" "the game window does not have the focus"
if [ $wine = no ]; then
  key alt+Return
  wait_size 1280 720 || fail "Alt+Enter did not switch to the 1280 x 720 window (${WIDTH}x$HEIGHT)"
  key alt+Return
  wait_size "$screen_w" "$screen_h" || fail "Alt+Enter did not switch back (${WIDTH}x$HEIGHT)"
  if [ $wm = yes ]; then
    # Given the keys back by the window manager (a click on its panel
    # entry, Alt+Tab) after another program had them, the game switches
    # at the first Alt+Enter.
    xlogo >/dev/null 2>&1 &
    other=$!
    other_win=$(wait_window xlogo 10) || fail "the other program's window did not appear"
    for size in "1280 720" "$screen_w $screen_h"; do
      xdotool windowactivate --sync "$other_win" && xdotool windowactivate --sync "$win" ||
        fail "the window manager did not activate the windows"
      has_focus "$win" || fail "the activated game window does not have the focus"
      key alt+Return
      # shellcheck disable=SC2086 # the size is two words
      wait_size $size || fail "one Alt+Enter after the game was activated did not switch to ${size/ /x} (${WIDTH}x$HEIGHT)"
    done
    kill $other
    wait $other 2>/dev/null
  fi
  sleep 0.5
  check_covers_screen "after Alt+Enter there and back"
  has_focus "$win" || fail "the game window lost the focus"
fi
# The pointer is hidden over the game's picture only: over the About box
# (F1) the player must see it to click OK. Under Wine a message box of the
# game's start ("Error opening Mapper") may still wait: it is answered
# first, as the player would.
if [ $wine = yes ] && box=$(wait_window_of quorvax 2); then
  answer_box "$box"
  take_keys "$win" "the game window did not get the focus back from the box"
fi
xdotool mousemove $((screen_w / 2)) $((screen_h / 5))
wait_pointer hidden "over the game"
key F1
about=$(wait_window "About Quorvax" 5) || fail "F1 did not open the About box"
[ $wine = yes ] || check_dialog_hints "$about" "the About box" "$win"
geometry "$about"
xdotool mousemove $((X + WIDTH / 2)) $((Y + HEIGHT / 2))
wait_pointer shown "over the About box"
xdotool mousemove $((X + WIDTH / 2)) $((Y + HEIGHT + 60))
wait_pointer hidden "over the game beside the About box"
xdotool mousemove $((X + WIDTH / 2)) $((Y + HEIGHT / 2))
answer_box "$about"
# Wine sends no WM_SETCURSOR to the window under a pointer that stands
# still when a window over it closes: there the pointer moves a little.
[ $wine = no ] || xdotool mousemove_relative 1 1
wait_pointer hidden "where the About box was, once it closed"
take_keys "$win" "the game window did not get the focus back from the About box"
key space
changed_from "$title" || fail "SPACE did not leave the title picture"
hold Up 0.6
hold Left 0.5
# Held over several ticks: the tick reads the keys held, and a press and
# release within one tick (a late tick on a busy machine) leaves it nothing.
# The jump comes before the bomb, whose blast under the hero would end the
# life (and the test) before a jump that came late.
hold shift 0.5
hold ctrl 0.5

key Escape
wait_end Escape
check_orderly_end Escape
# The run played back from the same files must end as the game did; its
# states then say what each key did.
mkdir "$work/check"
for f in "$work"/*.bmp "$work"/*.jpg "$work"/*.wav "$work"/*.MID; do [ -f "$f" ] && cp "$f" "$work/check/"; done
(cd "$work/check" && "${replay_cmd[@]}" --headless --check --state-every 1 --script ../game.txt \
  >"$work/states.txt" 2>&1) || fail "the recorded run does not end as the game did: $(tail -n 3 "$work/states.txt")"
key_changed space screen || fail "SPACE did not leave the title"
key_changed up hero || fail "Up did not move the hero"
key_changed left facing || fail "Left did not turn the hero"
key_changed ctrl bombs || fail "CTRL did not drop a bomb"
key_changed shift hero || fail "SHIFT did not make the hero jump"

# --- Second run: without top.bmp ---
prepare
rm -f "$work/top.bmp"
start_game
box=$(wait_window Board 15) || fail "no message box captioned Board"
if [ $wine = no ]; then
  check_dialog_hints "$box" "the message box"
  # Centred over the display (no game window is shown yet), give or take the
  # frame a window manager adds.
  geometry "$box"
  dx=$((X + WIDTH / 2 - screen_w / 2))
  dy=$((Y + HEIGHT / 2 - screen_h / 2))
  [ ${dx#-} -le 30 ] && [ ${dy#-} -le 30 ] || fail "the message box is not centred: ${WIDTH}x$HEIGHT at $X,$Y"
  # Grey face with dark text and the button's frame in it.
  read -r r g b < <("$probe" mean "$X" "$Y" $((X + WIDTH)) $((Y + HEIGHT)))
  [ "$r" -ge 150 ] && [ "$r" -le 200 ] || fail "the message box looks empty (mean colour $r $g $b)"
fi
answer_box "$box"
sleep 1
win=$(wait_window Quorvax 15) || fail "the game did not go on after the message"
grep -q "Can't load image" "$work/out.log" 2>/dev/null && fail "the message went to the terminal, not a box"
sleep 0.5
read -r r g b < <("$probe" mean 0 0 "$screen_w" "$screen_h")
if [ "$r" -le 30 ] && [ "$g" -le 30 ] && [ "$b" -ge 110 ] && [ "$b" -le 140 ]; then
  fail "no title picture after the message (mean colour $r $g $b)"
fi
take_keys "$win" "the game window did not get the focus back from the box"
key Escape
wait_end "Escape in the second run"
check_orderly_end "second run"

# --- Signals while a message box waits, before the game window is shown ---
[ $wine = yes ] && { echo "end-to-end: passed"; exit 0; }
for sig in TERM INT; do
  prepare
  rm -f "$work/top.bmp"
  start_game
  wait_window Board 15 >/dev/null || fail "no message box captioned Board"
  kill -"$sig" "$pid"
  wait_end "SIG$sig"
  check_orderly_end "SIG$sig"
done
echo "end-to-end: passed"
