#!/usr/bin/env bash
# Runs quorvax-replay with one script in a scratch working directory that
# links the game's files (all but scores.dat, so every run starts from an
# empty table and build/game/scores.dat is never touched), then compares the
# final state line with the one pinned beside the script.
#   run_replay.sh GAME_DIR SCRIPT.txt     (expects SCRIPT.expected)
set -euo pipefail
game="$1"
script="$(cd "$(dirname "$2")" && pwd)/$(basename "$2")"
expected_file="${script%.txt}.expected"
work="$(mktemp -d /tmp/quorvax-replay-test-XXXXXX)"
trap 'rm -rf "$work"' EXIT
for f in "$game"/*; do
    [[ "$(basename "$f")" == scores.dat ]] || ln -s "$f" "$work/"
done
cd "$work"
out="$("$game/quorvax-replay" --size 320x240 --script "$script")"
actual="$(grep '^state ' <<< "$out" | tail -1)"
expected="$(cat "$expected_file")"
if [[ "$actual" != "$expected" ]]; then
    echo "$out"
    echo "expected: $expected"
    echo "actual:   $actual"
    exit 1
fi
echo "$actual"
