#!/usr/bin/env bash
# Plays one replay script with quorvax-replay in a fresh scratch copy of the
# game's files and compares what it printed with what is pinned beside it.
#   run_replay.sh GAME_DIR SCRIPT.txt [SHOT_DIR | --headless]
#
# SCRIPT.expected holds "state tick=T ..." lines and the closing "end: ..."
# line; the run prints a state after every tick, and the states of the
# pinned ticks, the final state and the end line must match it exactly.
# SCRIPT.scores, when present, is the "scores.dat" the run must leave behind,
# byte for byte. A line "# shot TICK NAME.png" in the script saves the frame
# of that tick into SHOT_DIR; a script without shots, or any with
# --headless, is played without pictures (quorvax-replay --headless).
#
# The scratch copy has no "scores.dat", so every run starts from the cleared
# table, and nothing in GAME_DIR is written.
set -euo pipefail
game="$(cd "$1" && pwd)"
script="$(cd "$(dirname "$2")" && pwd)/$(basename "$2")"
shot_dir="${3:-}"
headless=false
[[ "$shot_dir" == --headless ]] && headless=true && shot_dir=""
base="${script%.txt}"
name="$(basename "$base")"

work="$(mktemp -d "${TMPDIR:-/tmp}/quorvax-replay-$name-XXXXXX")"
trap 'rm -rf "$work"' EXIT
# Other tests run in GAME_DIR at the same time and save their scores through
# temporary files beside "scores.dat": those are skipped, and a file that
# goes away while it is copied is not an error.
for f in "$game"/*; do
    case "$(basename "$f")" in
        scores.dat* | quorvax | quorvax-replay) ;;
        *) cp -R "$f" "$work/" 2>/dev/null || [[ ! -e "$f" ]] ;;
    esac
done

args=(--size 320x240 --state-every 1 --script "$script")
shots=()
if ! $headless; then
    while read -r _ _ tick file; do
        args+=(--shot "$tick:$work/$file")
        shots+=("$file")
    done < <(grep -E '^# shot [0-9]+ [A-Za-z0-9_.-]+\.png$' "$script" || true)
fi
# Without shots only the states count: the game runs without pictures.
[[ ${#shots[@]} -eq 0 ]] && args+=(--headless)

cd "$work"
status=0
"$game/quorvax-replay" "${args[@]}" > output.txt 2> errors.txt || status=$?
if [[ $status -ne 0 ]]; then
    echo "replay $name: quorvax-replay exited with status $status"
    cat errors.txt output.txt
    exit 1
fi

# The states of the pinned ticks, the final state (the one before the end
# line) and the end line, in the order printed, each once.
awk -v pinned="$(sed -n 's/^state tick=\([0-9]*\) .*/\1/p' "$base.expected" | tr '\n' ' ')" '
    BEGIN { n = split(pinned, t, " "); for (i = 1; i <= n; ++i) want[t[i]] = 1 }
    /^state tick=/ {
        last = $0
        split($2, kv, "=")
        if (kv[2] in want && !(($0) in seen)) { print; seen[$0] = 1 }
        next
    }
    /^end: / { if (!(last in seen)) print last; print }
' output.txt > actual.txt

failed=0
if ! diff -u --label "$name.expected" --label "$name (this run)" "$base.expected" actual.txt; then
    echo "replay $name: the states differ from the pinned ones (- pinned, + this run)"
    failed=1
fi
if [[ -f "$base.scores" ]]; then
    if [[ ! -f scores.dat ]]; then
        echo "replay $name: the game left no scores.dat"
        failed=1
    elif ! cmp -s "$base.scores" scores.dat; then
        echo "replay $name: scores.dat differs from $name.scores (- pinned, + this run; ^I is TAB, ^M is CR):"
        diff -u --label "$name.scores" --label "scores.dat" <(cat -A "$base.scores") <(cat -A scores.dat) || true
        failed=1
    fi
fi
if [[ -n "$shot_dir" && ${#shots[@]} -gt 0 ]]; then
    mkdir -p "$shot_dir"
    for f in "${shots[@]}"; do
        cp "$f" "$shot_dir/$name-$f"
    done
fi
if [[ $failed -ne 0 ]]; then
    echo "--- messages and end of the run:"
    grep -v "^state " output.txt || true
    exit 1
fi
cat actual.txt
