#!/usr/bin/env bash
# The player's settings, end to end, on an Xvfb of its own with xdotool:
# F2 opens the Settings dialog; Jump is rebound to Z there (the file lands
# in $XDG_CONFIG_HOME/quorvax/settings.toml); after a restart Z jumps (the
# recording holds the game's own jump key); M silences the mixer, measured
# in what SDL's disk audio driver writes.
# Usage: settings_e2e.sh GAME_DIR
set -uo pipefail
game=$(cd "$1" && pwd)
if [ -z "${SETTINGS_E2E_DISPLAY:-}" ]; then
  command -v Xvfb >/dev/null || { echo "no Xvfb: skipped"; exit 77; }
  command -v xdotool >/dev/null || { echo "no xdotool: skipped"; exit 77; }
  SETTINGS_E2E_DISPLAY=1 exec bash "$(dirname "$0")/../../scripts/with-xvfb.sh" 640x480x24 \
    bash "$0" "$@"
fi

work=$(mktemp -d)
pid=""
trap '[ -n "$pid" ] && kill "$pid" 2>/dev/null; rm -rf "$work"' EXIT
fail() {
  echo "FAIL: $*"
  [ -s "$work/out.log" ] && { echo "--- game output"; cat "$work/out.log"; }
  exit 1
}
source "$(dirname "$0")/game-files.sh"
copy_game_files "$work/play" "$game"
export XDG_CONFIG_HOME=$work/config
settings=$XDG_CONFIG_HOME/quorvax/settings.toml

start_game() {
  (cd "$work/play" && exec "$game/quorvax" "$@" >"$work/out.log" 2>&1) &
  pid=$!
}
window() {
  local w=""
  for _ in $(seq 100); do
    w=$(xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | head -1)
    [ -n "$w" ] && break
    sleep 0.1
  done
  echo "$w"
}
wait_end() {
  for _ in $(seq 50); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
  kill -0 "$pid" 2>/dev/null && fail "the game did not end"
  wait "$pid"
  pid=""
}
# A push button of the Settings dialog, by its place in dialog units.
click_du() {
  xdotool mousemove --window "$dialog" $(($1 * 6 / 4)) $(($2 * 13 / 8)) click 1
  sleep 0.3
}

# F2 opens Settings; the Keys page; the first key of Jump (row 4); Z.
export SDL_AUDIODRIVER=dummy
start_game
[ -n "$(window Quorvax)" ] || fail "no game window"
sleep 1
xdotool key F2
dialog=$(window Settings)
[ -n "$dialog" ] || fail "F2 opened no Settings dialog"
[ -e "$settings" ] && fail "the settings were written before anything changed"
click_du 86 14
click_du 135 94
xdotool key z
sleep 0.5
[ -f "$settings" ] || fail "no settings file at $settings"
grep -q "^jump = \[ 'KeyZ', 'ShiftRight' \]" "$settings" ||
  fail "Jump is not on Z in the file: $(cat "$settings")"
# The Display page's name field takes what is typed; Escape keeps it.
click_du 194 14
click_du 170 79
xdotool type --delay 50 Ada
[ -n "${SETTINGS_SHOT:-}" ] && xwd -silent -id "$dialog" >"$SETTINGS_SHOT"
xdotool key Escape
sleep 0.3
[ -z "$(xdotool search --onlyvisible --name '^Settings$' 2>/dev/null)" ] ||
  fail "Escape left the Settings dialog open"
grep -q "^name = 'Ada'" "$settings" || fail "the name typed was not kept: $(cat "$settings")"
xdotool key Escape
wait_end

# After a restart Z is the jump key: the recording holds SHIFT.
start_game --record "$work/game.rec"
[ -n "$(window Quorvax)" ] || fail "no game window after the restart"
sleep 1
xdotool key space
sleep 0.5
xdotool keydown z
sleep 0.2
xdotool keyup z
sleep 0.3
xdotool key Escape
wait_end
grep -q ' down shift$' "$work/game.rec" || fail "Z did not jump: $(cat "$work/game.rec")"

# M mutes: the music the disk sink writes turns to silence.
export SDL_AUDIODRIVER=disk SDL_DISKAUDIOFILE=$work/sound.raw
start_game
[ -n "$(window Quorvax)" ] || fail "no game window with the disk sink"
sleep 4
before=$(stat -c %s "$work/sound.raw")
[ "$before" -gt 0 ] || fail "the disk sink got nothing"
xdotool key m
# What the device had queued before M still plays out.
sleep 2
muted_from=$(stat -c %s "$work/sound.raw")
sleep 2
muted_to=$(stat -c %s "$work/sound.raw")
xdotool key Escape
wait_end
loud=$(head -c "$before" "$work/sound.raw" | tr -d '\0' | wc -c)
silent=$(tail -c +"$((muted_from + 1))" "$work/sound.raw" | head -c "$((muted_to - muted_from))" |
  tr -d '\0' | wc -c)
[ "$loud" -gt 0 ] || fail "no sound before M"
[ "$((muted_to - muted_from))" -gt 0 ] || fail "the sink stopped while muted"
[ "$silent" -eq 0 ] || fail "$silent bytes of sound after M"
grep -q '^mute = true' "$settings" || fail "the mute was not kept"
echo "settings end to end: ok (sound $loud bytes before M, silence after)"
