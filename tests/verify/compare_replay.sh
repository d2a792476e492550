#!/usr/bin/env bash
# Each pinned replay as a recording, verified by quorvax-verify and played by
# quorvax-replay --headless: the verified game's state at its last tick must
# be the replay tool's state of that tick, and a recording the verifier
# refuses must be one whose game never ends.
#   compare_replay.sh GAME_DIR REPLAYS_DIR
set -euo pipefail
game="$(cd "$1" && pwd)"
replays="$(cd "$2" && pwd)"
work="$(mktemp -d "${TMPDIR:-/tmp}/quorvax-verify-XXXXXX")"
trap 'rm -rf "$work"' EXIT
# The game's files without scores.dat: every replay starts from the cleared table.
mkdir "$work/game"
for f in "$game"/*; do
    case "$(basename "$f")" in scores.dat* | *.tmp) continue ;; esac
    ln -s "$f" "$work/game/"
done
failed=0
for script in "$replays"/*.txt; do
    name="$(basename "$script" .txt)"
    rec="$work/$name.rec"
    { printf '# quorvax recording\n# rules 1\n# system linux\n# file scores.dat absent\n'
      grep -v '^#' "$script" | grep -v '^[[:space:]]*$'; } >"$rec"
    (cd "$work/game" && ./quorvax-replay --headless --state-every 1 --script "$rec") >"$work/$name.states"
    grep '^state' "$work/$name.states" | tail -n 1 | sed 's/^/# final /' >>"$rec"
    if verdict="$("$game/quorvax-verify" "$rec")"; then
        tick="$(sed -n 's/^verified: .* ticks=[0-9]*\.\.\([0-9]*\) .*/\1/p' <<<"$verdict")"
        want="$(grep -m1 "^state tick=$tick " "$work/$name.states")"
        got="$(sed -n 2p <<<"$verdict")"
        if [[ "$got" != "$want" ]]; then
            printf '%s: the verifier and the replay tool differ at tick %s\n- %s\n+ %s\n' \
                "$name" "$tick" "$want" "$got"
            failed=1
        else
            echo "$name: $(head -n 1 <<<"$verdict")"
        fi
    elif grep -q 'screen=scores' "$work/$name.states"; then
        printf '%s: refused, though its game ends: %s\n' "$name" "$verdict"
        failed=1
    else
        echo "$name: no game ends, $verdict"
    fi
done
exit $failed
