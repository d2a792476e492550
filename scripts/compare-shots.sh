#!/usr/bin/env bash
# Two builds draw the same game: plays every replay script with the
# quorvax-replay of each game directory, at 1280x720 and 1920x1080, saving
# the frame of every STEP-th tick, and compares the state line of every
# tick and every frame's pixels. For a change of structure that must not
# change the game or its pictures.
#   compare-shots.sh OLD_GAME_DIR NEW_GAME_DIR [STEP] [REPLAY_DIR]
# Both builds must write their PNGs the same way (the pictures are compared
# byte for byte).
set -euo pipefail
old_game="$(cd "$1" && pwd)"
new_game="$(cd "$2" && pwd)"
step=${3:-1}
replays="$(cd "${4:-$(dirname "$0")/../tests/replays}" && pwd)"
work="$(mktemp -d "${TMPDIR:-/tmp}/quorvax-shots-XXXXXX")"
trap 'rm -rf "$work"' EXIT

# play BUILD GAME SCRIPT SIZE: states in $work/BUILD/states.txt, frames beside them.
play() {
  local dir="$work/$1" game=$2 script=$3 size=$4
  rm -rf "$dir"
  mkdir -p "$dir"
  for f in "$game"/*.bmp "$game"/*.jpg "$game"/*.wav "$game"/*.MID; do
    cp "$f" "$dir/"
  done
  local last shots=()
  last=$(awk '/^[0-9]/ { t = $1 } END { print t + 0 }' "$script")
  for ((t = 1; t <= last + 1; t += step)); do
    shots+=(--shot "$t:$dir/shot-$t.png")
  done
  (cd "$dir" && SDL_AUDIODRIVER=dummy "$game/quorvax-replay" --size "$size" --script "$script" \
    --state-every 1 "${shots[@]}" >states.txt 2>stderr.txt) || true
}

failed=0
for script in "$replays"/*.txt; do
  name=$(basename "$script" .txt)
  for size in 1280x720 1920x1080; do
    play old "$old_game" "$script" "$size"
    play new "$new_game" "$script" "$size"
    frames=0 differ=0
    for f in "$work"/old/shot-*.png; do
      [ -e "$f" ] || continue
      frames=$((frames + 1))
      if ! cmp -s "$f" "$work/new/$(basename "$f")"; then
        differ=$((differ + 1))
        [ "$differ" -le 5 ] && echo "  $name $size: $(basename "$f") differs"
      fi
    done
    if ! diff -q "$work/old/states.txt" "$work/new/states.txt" >/dev/null; then
      echo "  $name $size: the states differ:"
      diff "$work/old/states.txt" "$work/new/states.txt" | head -n 6
      failed=1
    fi
    echo "$name $size: $frames frames compared, $differ differ, $(wc -l <"$work/old/states.txt") state lines"
    [ "$differ" -eq 0 ] || failed=1
    # Nothing to compare is a build that did not play, not an agreement.
    if [ "$frames" -eq 0 ] || [ ! -s "$work/old/states.txt" ]; then
      echo "  $name $size: nothing was compared:"
      tail -n 3 "$work/old/stderr.txt" "$work/new/stderr.txt"
      failed=1
    fi
  done
done
exit "$failed"
