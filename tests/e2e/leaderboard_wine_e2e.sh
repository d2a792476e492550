#!/usr/bin/env bash
# The Windows game sends its finished game to the world's table over WinHTTP.
# The Linux quorvax-server runs on loopback with a table of its own, and
# quorvax.exe --leaderboard URL --player Wine --record runs under Wine,
# played with xdotool to its end: a bomb at the hero's feet for each life.
# The table must then list that one game, by Wine, made on windows, played
# live (its start token went out too), with the score of its final state;
# that final state must be the state line quorvax-replay.exe prints at the
# same tick of the recording, and the outbox must be empty once the game is
# left with Escape. The server is stopped after, whatever happened.
# Usage: leaderboard_wine_e2e.sh WINDOWS_GAME_DIR SERVER
# Needs WINEPREFIX and a display (scripts/test-windows.sh sets both).
set -uo pipefail
win_game=$(cd "$1" && pwd) || exit 1
server=$2
[ -n "${DISPLAY:-}" ] || { echo "no DISPLAY: skipped"; exit 77; }
command -v xdotool >/dev/null || { echo "no xdotool: skipped"; exit 77; }
[ -x "$server" ] || { echo "no quorvax-server: skipped"; exit 77; }

work=$(mktemp -d)
pid=""
server_pid=""
stop_all() {
  [ -n "$pid" ] && kill "$pid" 2>/dev/null
  if [ -n "$server_pid" ]; then
    kill "$server_pid" 2>/dev/null
    wait "$server_pid" 2>/dev/null
  fi
  restore_wine_settings
  rm -rf "$work"
}
trap stop_all EXIT
fail() {
  echo "FAIL: $*"
  [ -s "$work/server.log" ] && { echo "--- server:"; cat "$work/server.log"; }
  [ -s "$work/play/outbox.dat" ] && { echo "--- outbox:"; head -c 300 "$work/play/outbox.dat"; echo; }
  exit 1
}
source "$(dirname "$0")/find-window.sh"
source "$(dirname "$0")/wine-settings.sh"
source "$(dirname "$0")/game-files.sh"
source "$(dirname "$0")/wine-game.sh"
set_aside_wine_settings || fail "no settings folder in the Wine prefix"
copy_game_files "$work/play" "$win_game"
copy_game_files "$work/replay" "$win_game"

# --- The server, on a free port it reports ---
"$server" --data "$work/table" --port 0 >"$work/server.out" 2>"$work/server.log" &
server_pid=$!
port=""
for _ in $(seq 100); do
  port=$(sed -n 's|^quorvax-server: listening on http://127\.0\.0\.1:\([0-9]*\)/.*|\1|p' "$work/server.out")
  [ -n "$port" ] && break
  kill -0 "$server_pid" 2>/dev/null || fail "the server did not start"
  sleep 0.1
done
[ -n "$port" ] || fail "the server reported no port"
url=http://127.0.0.1:$port

# GET PATH of the server, its JSON answer read by the Python EXPRESSION on `a`.
api() {
  python3 -c 'import json, sys, urllib.request
a = json.load(urllib.request.urlopen(sys.argv[1], timeout=5))
print(eval(sys.argv[2]))' "$url$1" "$2"
}
listed() { [ "$(api /api/games 'len(a["games"])' 2>/dev/null)" != 0 ]; }

# --- The game, played to its end ---
start_game "$work/play" --record game.rec --leaderboard "$url" --player Wine
win=$(wait_game_window Return) || fail "the game window did not appear"
sleep 1
deadline=$((SECONDS + 60))
until listed; do
  kill -0 "$pid" 2>/dev/null || fail "the game ended while it was played: $(cat "$work/play/out.log")"
  [ $SECONDS -lt $deadline ] || fail "no game reached the table within 60 s"
  # A name asked for at the end goes in as it is offered.
  box=$(find_window 'Enter Your Name') && { xdotool windowfocus "$box" 2>/dev/null; xdotool key Return; }
  xdotool windowfocus "$win" 2>/dev/null
  xdotool key space
  sleep 0.3
  # Held for a few ticks: Wine can let a tap fall between two ticks.
  hold ctrl 0.1
  # The fuse, then the pause after a lost life, with room to spare.
  for _ in $(seq 14); do listed && break; sleep 0.25; done
done
for _ in 1 2 3; do
  box=$(find_window 'Enter Your Name') && { xdotool windowfocus "$box" 2>/dev/null; xdotool key Return; }
  xdotool windowfocus "$win" 2>/dev/null
  xdotool key Escape
  for _ in $(seq 25); do kill -0 "$pid" 2>/dev/null || break; sleep 0.2; done
  kill -0 "$pid" 2>/dev/null || break
done
wait_end 5 "Escape"
[ "$status" = 0 ] || fail "the game ended with status $status: $(cat "$work/play/out.log")"
[ -e "$work/play/outbox.dat" ] && fail "the game left its outbox behind"

# --- What the table holds ---
read -r count id name system marks score < <(api /api/games \
  '" ".join(map(str, [len(a["games"])] + [a["games"][0][k] for k in ("id", "name", "system")]
                      + [",".join(a["games"][0]["marks"]), a["games"][0]["score"]]))')
[ "$count" = 1 ] || fail "the table lists $count games, not 1"
[ "$name $system" = "Wine windows" ] || fail "the game is listed as by '$name' on '$system'"
[ "$marks" = live ] || fail "the game is not marked as played live (marks: '$marks')"
final=$(api "/api/games/$id" 'a["finalState"]') || fail "no details of game $id"
[[ $final == *" score=$score "* ]] || fail "listed with score $score, but its final state is '$final'"

# --- The Windows replay of the recording reaches that state at that tick ---
cp "$work/play/game.rec" "$work/replay/game.rec" || fail "no recording written"
(cd "$work/replay" && wine "$win_game/quorvax-replay.exe" --headless --state-every 1 \
  --script game.rec >states.raw 2>/dev/null) || fail "quorvax-replay.exe could not play the recording"
tr -d '\r' <"$work/replay/states.raw" | grep -Fxq "$final" ||
  fail "the replay never printed the table's final state '$final'"
echo "Windows game on the world table: passed (game $id, $final)"
