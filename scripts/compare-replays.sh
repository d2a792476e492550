#!/usr/bin/env bash
# The same keys at the same ticks give the same game on every system: plays
# every replay script with another system's quorvax-replay and with the
# Linux one, each in a fresh copy of the game's files, and compares the
# state line of every tick, the messages, the end line and the
# "scores.dat" they leave. The other system is Windows (quorvax-replay.exe
# in WINDOWS_GAME_DIR, under Wine) or WebAssembly (quorvax-replay.js, under
# node).
#   compare-replays.sh WINDOWS_GAME_DIR | REPLAY_JS  LINUX_GAME_DIR REPLAY_DIR
# Windows needs WINEPREFIX and a display (scripts/test-windows.sh sets both).
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
if [ -d "$1" ]; then
  other=windows
  other_name=Windows
  other_replay=(wine "$(cd "$1" && pwd)/quorvax-replay.exe")
else
  . "$here/web-env.sh"
  other=node
  other_name=node
  other_replay=("${web_node[@]}" "$(cd "$(dirname "$1")" && pwd)/$(basename "$1")")
fi
linux_game="$(cd "$2" && pwd)"
replays="$(cd "$3" && pwd)"

work="$(mktemp -d "${TMPDIR:-/tmp}/quorvax-compare-XXXXXX")"
trap 'rm -rf "$work"' EXIT

# play SYSTEM SCRIPT: runs one script in $work/SYSTEM, output in output.txt.
play() {
  local system=$1 script=$2 dir="$work/$1"
  rm -rf "$dir"
  mkdir -p "$dir"
  for f in "$linux_game"/*; do
    case "$(basename "$f")" in
      *.bmp | *.jpg | *.wav | *.MID) cp "$f" "$dir/" ;;
    esac
  done
  cp "$script" "$dir/script.txt"
  local status=0
  if [ "$system" = "$other" ]; then
    (cd "$dir" && "${other_replay[@]}" --headless --state-every 1 \
      --script script.txt >output.raw 2>errors.txt) || status=$?
  else
    (cd "$dir" && "$linux_game/quorvax-replay" --headless --state-every 1 \
      --script script.txt >output.raw 2>errors.txt) || status=$?
  fi
  # The Windows C library writes text lines with CR LF.
  tr -d '\r' <"$dir/output.raw" >"$dir/output.txt"
  if [ $status -ne 0 ]; then
    echo "compare-replays: $(basename "$script") on $system exited with status $status"
    cat "$dir/errors.txt"
    return 1
  fi
}

failed=0
count=0
for script in "$replays"/*.txt; do
  name=$(basename "$script" .txt)
  count=$((count + 1))
  if ! play linux "$script" || ! play "$other" "$script"; then
    failed=1
    continue
  fi
  if ! diff -u --label "$name (Linux)" --label "$name ($other_name)" \
    "$work/linux/output.txt" "$work/$other/output.txt" | head -40; then
    echo "compare-replays: $name: the $other_name game differs from the Linux one"
    failed=1
  elif [ -f "$work/linux/scores.dat" ] || [ -f "$work/$other/scores.dat" ]; then
    if ! cmp -s "$work/linux/scores.dat" "$work/$other/scores.dat"; then
      echo "compare-replays: $name: scores.dat differs (^I is TAB, ^M is CR):"
      diff -u --label "Linux" --label "$other_name" <(cat -A "$work/linux/scores.dat" 2>/dev/null) \
        <(cat -A "$work/$other/scores.dat" 2>/dev/null) || true
      failed=1
    fi
  fi
  [ $failed -eq 0 ] && echo "replay $name: $(grep -c '^state ' "$work/linux/output.txt") states the same"
done
[ $count -gt 0 ] || { echo "compare-replays: no scripts in $replays"; exit 1; }
exit $failed
