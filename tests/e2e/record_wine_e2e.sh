#!/usr/bin/env bash
# A game recorded by the Windows build, checked by the Linux one: quorvax.exe
# --record runs under Wine and is played with xdotool (Space, Up, Left, CTRL,
# Escape); the Linux quorvax-replay --check of that recording must reach the
# recorded final state, so the same keys make the same game on both systems.
# Then quorvax.exe --play of it, beside the table the recorded game left,
# must end in that state too with no warning about other game files, say
# that it ended as recorded and leave scores.dat byte for byte as it was;
# a recording that cannot be read must end it with status 2.
# A message box of the game at the start ("Error opening Mapper" where Wine
# has no MIDI device) is answered with Enter while recording, which must
# leave no trace in the recording, and with Escape while playing, which
# must answer the box only: message boxes stay out of recordings, and the
# player answers them during a playback.
# Usage: record_wine_e2e.sh WINDOWS_GAME_DIR LINUX_GAME_DIR
# Needs WINEPREFIX and a display (scripts/test-windows.sh sets both).
set -uo pipefail
win_game=$(cd "$1" && pwd) || exit 1
linux_game=$(cd "$2" && pwd) || exit 1
[ -n "${DISPLAY:-}" ] || { echo "no DISPLAY: skipped"; exit 77; }
command -v xdotool >/dev/null || { echo "no xdotool: skipped"; exit 77; }
[ -x "$linux_game/quorvax-replay" ] || { echo "no Linux quorvax-replay: skipped"; exit 77; }

work=$(mktemp -d)
pid=""
trap '[ -n "$pid" ] && kill "$pid" 2>/dev/null; restore_wine_settings; rm -rf "$work"' EXIT
fail() {
  echo "FAIL: $*"
  [ -f "$work/play/game.rec" ] && { echo "--- end of the recording:"; tail -5 "$work/play/game.rec"; }
  exit 1
}
source "$(dirname "$0")/find-window.sh"
source "$(dirname "$0")/wine-settings.sh"
set_aside_wine_settings || fail "no settings folder in the Wine prefix"

source "$(dirname "$0")/game-files.sh"
source "$(dirname "$0")/wine-game.sh"
prepare() { copy_game_files "$1" "$2"; }

prepare "$work/play" "$win_game"
prepare "$work/check" "$linux_game"
prepare "$work/back" "$win_game"

# --- Recording: relative to where the program was started ---
start_game "$work/play" --record game.rec
win=$(wait_game_window Return) || fail "the game window did not appear"
sleep 1
xdotool windowfocus "$win" 2>/dev/null || true
xdotool key space; sleep 0.5
hold Up 0.8
hold Left 0.5
xdotool key ctrl; sleep 0.5
xdotool key Escape
wait_end 15 "Escape"
[ "$status" = 0 ] || fail "recording: the game ended with status $status"
rec=$work/play/game.rec
[ -f "$rec" ] || fail "no recording written"
grep -q '^[0-9]* down up$' "$rec" || fail "the recording holds no Up key"
grep -q ' enter$' "$rec" && fail "the recording holds the Enter that answered the box"
final=$(tail -1 "$rec")
case $final in
  "# final state "*) ;;
  *) fail "the recording does not end with its final state" ;;
esac

# --- The Linux replay tool reaches the same state ---
if ! (cd "$work/check" && "$linux_game/quorvax-replay" --headless --script "$rec" --check >check.log 2>&1); then
  cat "$work/check/check.log"
  fail "the Linux replay of the Windows recording differs"
fi

# --- The leaderboard's verifier reads the Windows game ---
# This short game is left with Escape, lives to spare: the verifier plays it
# through and refuses it for just that, not for anything in how it was written.
grep -q '^# system windows' "$rec" || fail "the recording does not say it was made on windows"
if verdict=$("$linux_game/quorvax-verify" "$rec"); then
  fail "quorvax-verify took a game quit before its end: $verdict"
fi
grep -q 'quit before its end' <<<"$verdict" ||
  fail "quorvax-verify refused the Windows recording for another reason: $verdict"

# --- Playback in the window ends in the recorded state ---
# Beside the table the recorded game left, as the player's own after any game.
cp "$rec" "$work/back/game.rec"
cp "$work/play/scores.dat" "$work/back/scores.dat" || fail "the recorded game left no scores.dat"
start_game "$work/back" --play game.rec
wait_game_window Escape >/dev/null || fail "the playback window did not appear"
# The box that says how the playback ended, answered with Enter.
end=$((SECONDS + 60))
while kill -0 "$pid" 2>/dev/null && [ $SECONDS -le $end ]; do
  box=$(find_window Playback) && { xdotool windowfocus "$box" 2>/dev/null; xdotool key Return; sleep 1; }
  sleep 0.2
done
wait_end 5 "the playback"
[ "$status" = 0 ] || fail "playback: the game ended with status $status"
played=$(tr -d '\r' <"$work/back/out.raw")
[ "# final $played" = "$final" ] ||
  fail "playback ended in '$played', the recording in '${final#\# final }'"
tr -d '\r' <"$work/back/out.log" | grep -qx "quorvax: Played to the end: the game ended as it was recorded" ||
  fail "the playback did not say it ended as recorded: $(cat "$work/back/out.log")"
cmp -s "$work/play/scores.dat" "$work/back/scores.dat" || fail "the playback changed scores.dat"

# --- A recording that cannot be read: status 2, nothing played ---
start_game "$work/back" --play missing.rec
wait_end 15 "a missing recording"
[ "$status" = 2 ] || fail "a missing recording ended with status $status, not 2"
grep -q "nothing played" "$work/back/out.log" || fail "a missing recording gave no message"
echo "Windows recording: passed ($(grep -c '^[0-9]' "$rec") events, ${final#\# final })"
