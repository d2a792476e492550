#!/usr/bin/env bash
# A recorded game, end to end. The real game runs under Xvfb with --record
# and is played with xdotool. On the title picture, where the held keys act
# but the world stands still, the hero lays the ambush of the whole_game
# replay: the same keys for the same number of ticks (counted in the
# recording as it grows), so that the same random sequence sends the five
# enemies into the blasts. Then it walks, turns, jumps and drops bombs at
# random until 1,500 ticks have passed and a life is lost (the recording so
# far is replayed now and then to see), ends the game with its own bombs,
# types a name into the name dialog and is left with Escape. Then quorvax-replay --check of the recording must reach
# the recorded final state and leave the same scores.dat byte for byte, and
# quorvax --play of it under Xvfb must end in that state too, and say so.
# With SERVER, the game is played with the world table set to a
# quorvax-server of the test's own on loopback, which must list the game at
# the score and state the verifier reaches, with nothing left in the outbox.
# Usage: record_e2e.sh GAME_DIR [SERVER]
set -uo pipefail
game=$(cd "$1" && pwd)
server=${2:-}
ambush=$(cd "$(dirname "$0")/../replays" && pwd)/whole_game.txt
if [ -z "${RECORD_E2E_DISPLAY:-}" ]; then
  command -v Xvfb >/dev/null || { echo "no Xvfb: skipped"; exit 77; }
  command -v xdotool >/dev/null || { echo "no xdotool: skipped"; exit 77; }
  # A small screen of its own, so the ticks keep their pace on a busy machine.
  RECORD_E2E_DISPLAY=1 exec bash "$(dirname "$0")/../../scripts/with-xvfb.sh" 640x480x24 \
    bash "$0" "$@"
fi
export SDL_AUDIODRIVER=dummy

work=$(mktemp -d)
pid=""
server_pid=""
trap '[ -n "$pid" ] && kill "$pid" 2>/dev/null; [ -n "$server_pid" ] && kill "$server_pid" 2>/dev/null
      rm -rf "$work"' EXIT
fail() {
  echo "FAIL: $*"
  [ -f "$rec" ] && { echo "--- end of the recording:"; tail -5 "$rec"; }
  exit 1
}

source "$(dirname "$0")/game-files.sh"
prepare() { copy_game_files "$1" "$game"; }
rec=$work/game.rec
prepare "$work/play"
prepare "$work/probe"
prepare "$work/check"
prepare "$work/back"

visible() { xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | head -1; }
hold() { xdotool keydown "$1"; sleep "$2"; xdotool keyup "$1"; }
# 0.N seconds for N from $1 to $2.
secs() { echo "0.$((RANDOM % ($2 - $1 + 1) + $1))"; }

# Of the state lines of a replay: "LAST_TICK BEST_SCORE LIFE_LOST".
summary() {
  awk '/^state / { split($2, t, "="); split($5, l, "="); split($6, s, "=")
                   tick = t[2]; if (s[2] + 0 > best) best = s[2] + 0; if (l[2] + 0 < 3) lost = 1 }
       END { print tick + 0, best + 0, lost + 0 }'
}
# Replays the recording so far.
progress() {
  rm -f "$work/probe/scores.dat"
  (cd "$work/probe" && "$game/quorvax-replay" --headless --state-every 1 --script "$rec" 2>/dev/null) |
    summary
}

# Lines of the recording that release a key (its name in the recording).
releases() { grep -cE "^[0-9]+ up $1\$" "$rec"; }
# Ticks a key was held, less the ticks its opposite was, since line $3.
net_ticks() {
  awk -v k="$1" -v o="$2" -v from="$3" 'NR > from && ($3 == k || $3 == o) {
      if ($2 == "up") { n += ($3 == k ? 1 : -1) * ($1 - d[$3]); delete d[$3] }
      else if (!($3 in d)) d[$3] = $1 }  # not the repeats of a held key
    END { print n + 0 }' "$rec"
}
# Holds a key for exactly $2 ticks, with xdotool names for the recorded names:
# a hold that cannot reach the count, then short taps, each counted from the
# recording; a tick too many (a slow moment of the machine) is taken back
# with the opposite key. One bomb is enough for the bomb key.
declare -A xkey=([up]=Up [down]=Down [left]=Left [right]=Right [ctrl]=ctrl)
declare -A opposite=([up]=down [down]=up [left]=right [right]=left [ctrl]=none)
hold_exact() {
  local name=$1 n=$2 from=$(wc -l <"$rec") got press before hold
  while :; do
    got=$(net_ticks "$name" "${opposite[$name]}" "$from")
    [ "$got" -eq "$n" ] && return 0
    [ "$name" = ctrl ] && [ "$got" -gt "$n" ] && return 0
    press=$name
    [ "$got" -gt "$n" ] && press=${opposite[$name]}
    hold=0.03
    [ $((n - got)) -gt 8 ] && hold=$(awk -v t=$((n - got - 6)) 'BEGIN { print t * 0.04 }')
    before=$(releases "$press")
    xdotool keydown "${xkey[$press]}" sleep "$hold" keyup "${xkey[$press]}"
    for _ in $(seq 100); do [ "$(releases "$press")" -gt "$before" ] && break; sleep 0.05; done
  done
}

# --- The world table, on loopback ---
table=()
if [ -n "$server" ]; then
  "$server" --data "$work/table" --port 0 >"$work/server.log" 2>&1 &
  server_pid=$!
  for _ in $(seq 100); do grep -q listening "$work/server.log" && break; sleep 0.1; done
  url=$(sed -n 's|.*listening on \(http://[^ ]*\)/ .*|\1|p' "$work/server.log")
  [ -n "$url" ] || fail "the server did not start: $(cat "$work/server.log")"
  table=(--leaderboard "$url" --player "Rec Order")
fi

# --- Record ---
(cd "$work/play" && exec "$game/quorvax" --record "$rec" "${table[@]}" >"$work/record.log" 2>&1) &
pid=$!
for _ in $(seq 50); do [ -n "$(visible Quorvax)" ] && break; sleep 0.2; done
[ -n "$(visible Quorvax)" ] || fail "the game window did not appear"
sleep 0.5

# The ambush, leg by leg, up to the Space that starts play.
while read -r name n; do
  [ -n "${xkey[$name]:-}" ] || fail "unexpected key '$name' in the ambush"
  hold_exact "$name" "$n"
  [ "$name" = ctrl ] && sleep 0.6  # the next bomb needs the cooldown
done < <(awk '$1 ~ /^[0-9]+$/ && $3 == "space" { exit }
              $2 == "down" && $1 ~ /^[0-9]+$/ { d[$3] = $1 }
              $2 == "up" && $1 ~ /^[0-9]+$/ { print $3, $1 - d[$3] }' "$ambush")
xdotool key space
sleep 3

RANDOM=1500
named=0
answer_name() {
  sleep 0.5
  xdotool type --delay 120 "Rec Order"
  sleep 0.3
  xdotool key Return
  named=1
  sleep 1
}
deadline=$((SECONDS + 360))
next_look=$((SECONDS + 45))
while :; do
  kill -0 "$pid" 2>/dev/null || fail "the game ended while it was played: $(cat "$work/record.log")"
  if [ -n "$(visible 'Enter Your Name')" ]; then
    answer_name
    continue
  fi
  xdotool key space
  sleep 0.2
  case $((RANDOM % 6)) in
    0) xdotool keydown Up; sleep "$(secs 3 9)"; xdotool key ctrl; sleep "$(secs 3 9)"; xdotool keyup Up ;;
    1) hold Left "$(secs 2 7)" ;;
    2) hold Right "$(secs 2 7)" ;;
    3) xdotool keydown Up; sleep 0.3; xdotool key shift; sleep "$(secs 4 9)"; xdotool keyup Up ;;
    4) xdotool key ctrl; sleep 1.8 ;;  # stay by the bomb
    5) hold Down "$(secs 3 6)" ;;
  esac
  if [ $SECONDS -ge $next_look ]; then
    read -r ticks best lost < <(progress)
    echo "after $SECONDS s: $ticks ticks, best score $best, life lost $lost"
    [ "$ticks" -ge 1500 ] && [ "$best" -ge 15 ] && [ "$lost" = 1 ] && break
    next_look=$((SECONDS + 10))
  fi
  [ $SECONDS -lt $deadline ] || fail "no enemy destroyed or no life lost in time"
done
# The game ends: a bomb at the hero's feet for each life left, until the
# score asks for a name. Each round waits out the fuse (1.2 s) and the pause
# after a lost life (1 s) with room to spare, so no Space falls into the
# pause on a slow machine and a round is never lost.
ends=$((SECONDS + 60))
while [ "$named" = 0 ] && [ $SECONDS -lt $ends ]; do
  [ -n "$(visible 'Enter Your Name')" ] && { answer_name; break; }
  xdotool key space
  sleep 0.3
  xdotool key ctrl
  for _ in $(seq 16); do
    [ -n "$(visible 'Enter Your Name')" ] && { answer_name; break; }
    sleep 0.25
  done
done
[ "$named" = 1 ] || fail "the name dialog did not open at the end of the game"
# Escape ends the program from the high-score screen.
for _ in 1 2 3; do
  [ -n "$(visible 'Enter Your Name')" ] && answer_name
  xdotool key Escape
  for _ in $(seq 20); do kill -0 "$pid" 2>/dev/null || break; sleep 0.2; done
  kill -0 "$pid" 2>/dev/null || break
done
kill -0 "$pid" 2>/dev/null && fail "Escape did not end the game"
wait "$pid" || fail "the recording game ended with status $?: $(cat "$work/record.log")"
pid=""

final=$(sed -n 's/^# final \(state .*\)$/\1/p' "$rec")
[ -n "$final" ] || fail "the recording has no final state line"
echo "recorded: $final (name dialog: $named)"
for key in up left right shift ctrl escape; do
  grep -qE "^[0-9]+ down $key\$" "$rec" || fail "the recording holds no '$key' key"
done
grep -qE '^[0-9]+ text ' "$rec" || fail "a name was typed but the recording holds no text"

# --- Check ---
out=$(cd "$work/check" && "$game/quorvax-replay" --headless --check --state-every 1 --script "$rec" 2>&1) ||
  fail "quorvax-replay --check failed: $(echo "$out" | grep -v '^state ')"
grep -Fxq "$final" <<<"$out" || fail "the replay never printed the final state"
read -r ticks best lost < <(summary <<<"$out")
[ "$ticks" -ge 1500 ] || fail "only $ticks ticks recorded"
[ "$best" -ge 15 ] || fail "no enemy destroyed in the replay"
[ "$lost" = 1 ] || fail "no life lost in the replay"
cmp "$work/play/scores.dat" "$work/check/scores.dat" ||
  fail "scores.dat differs: $(cat -A "$work/play/scores.dat") / $(cat -A "$work/check/scores.dat")"

# --- The leaderboard's verifier: the game, verified at its end, in a state the replay printed ---
verdict=$("$game/quorvax-verify" "$rec") || fail "quorvax-verify refused the recording: $verdict"
grep -q ' system=linux$' <<<"$verdict" || fail "the recording does not say it was made on linux"
grep -Fxq "$(sed -n 2p <<<"$verdict")" <<<"$out" || fail "the verified state is not the replay's: $verdict"

# --- The world table: the game was sent at its end and verified there ---
if [ -n "$server" ]; then
  # Every game of the table, "SCORE NAME|STATE" a line. The game sends each
  # game it ends; the last of them is the one the verifier proves.
  listed=$(python3 - "$url" <<'PY'
import json, sys, urllib.request
games = json.load(urllib.request.urlopen(sys.argv[1] + "/api/games", timeout=10))["games"]
for game in games:
    g = json.load(urllib.request.urlopen("%s/api/games/%d" % (sys.argv[1], game["id"]), timeout=10))
    print("%d %s|%s" % (g["score"], g["name"], g["finalState"]))
PY
) || fail "the server's table cannot be read"
  want="$(sed -n 's/.* score=\([0-9]*\).*/\1/p' <<<"$verdict" | head -1) Rec Order|$(sed -n 2p <<<"$verdict")"
  grep -Fxq "$want" <<<"$listed" || fail "the table lacks the verified game:
- $want
+ $listed
(the game said: $(cat "$work/record.log"))"
  [ ! -s "$work/play/outbox.dat" ] || fail "the outbox still holds: $(cat "$work/play/outbox.dat")"
  kill "$server_pid"
  wait "$server_pid" 2>/dev/null
  server_pid=""
  echo "the world table lists the game: $(sed -n 1p <<<"$verdict")"
fi

# --- Play back ---
# Beside the table the recorded game left (the player's own, as after any
# game): the recording carries the table it started from, so no box warns
# of other game files (it would hold the playback up), and the player's
# file stays as it is.
cp "$work/play/scores.dat" "$work/back/scores.dat"
start=$SECONDS
(cd "$work/back" && exec "$game/quorvax" --play "$rec" >"$work/back.log" 2>&1) &
pid=$!
limit=$((ticks / 25 * 2 + 60))
while kill -0 "$pid" 2>/dev/null && [ $((SECONDS - start)) -lt $limit ]; do
  # The box that says how the playback ended, answered as a player would.
  box=$(visible Playback) && { xdotool windowfocus "$box" 2>/dev/null; xdotool key Return; }
  sleep 0.5
done
kill -0 "$pid" 2>/dev/null && fail "the playback did not end within $limit s"
wait "$pid" || fail "the playback ended with status $?: $(cat "$work/back.log")"
pid=""
played=$(grep '^state ' "$work/back.log" | tail -1)
[ "$played" = "$final" ] || fail "the playback ended otherwise:
- $final
+ $played"
grep -qx "quorvax: Played to the end: the game ended as it was recorded" "$work/back.log" ||
  fail "the playback did not say it ended as recorded: $(cat "$work/back.log")"
cmp -s "$work/play/scores.dat" "$work/back/scores.dat" || fail "the playback changed scores.dat"
echo "record, check and play back: passed ($ticks ticks; playback took $((SECONDS - start)) s)"
