#!/usr/bin/env bash
# The OpenGL ES 2.0 renderer against the fixed-function one: plays every
# pinned replay with quorvax-replay twice at 1280x720 (--renderer gl, then
# gles2), saving the frame of every STEP-th tick, and lets quorvax-framediff
# hold their difference to the limits below.
#   compare_renderers.sh GAME_DIR FRAMEDIFF [STEP]
set -euo pipefail
game="$(cd "$1" && pwd)"
framediff="$2"
step=${3:-10}
replays="$(cd "$(dirname "$0")/../replays" && pwd)"
# Per-channel difference that counts a pixel as differing, and the limits,
# a little above what Mesa 22.3 gives for every tick (means 0.13 to 0.18,
# worst 143 at a few edge pixels, 0.0005% of the pixels or fewer):
# mean per channel, worst channel, share of differing pixels (0..1).
threshold=16
max_mean=0.25
max_worst=160
max_share=0.0001
# The same two for the frame furthest apart (Mesa 22.3: mean 0.19 at most,
# 0.002% of the pixels), so that a few frames drawn wrong (a blast, a
# banner) cannot hide in the pooled numbers.
max_frame_mean=0.3
max_frame_share=0.0002

work="$(mktemp -d "${TMPDIR:-/tmp}/quorvax-renderers-XXXXXX")"
trap 'rm -rf "$work"' EXIT
for f in "$game"/*.bmp "$game"/*.jpg "$game"/*.wav "$game"/*.MID; do
    cp "$f" "$work/"
done

failed=0
for script in "$replays"/*.txt; do
    name=$(basename "$script" .txt)
    last=$(awk '/^[0-9]/ { t = $1 } END { print t + 0 }' "$script")
    pairs=()
    for renderer in gl gles2; do
        shots=()
        for ((t = 1; t <= last + 1; t += step)); do
            shots+=(--shot "$t:$work/$name-$renderer-$t.ppm")
        done
        rm -f "$work/scores.dat"
        if ! (cd "$work" && SDL_AUDIODRIVER=dummy "$game/quorvax-replay" --renderer "$renderer" \
            --size 1280x720 --script "$script" --shots-only "${shots[@]}" >"$name-$renderer.txt" 2>&1); then
            echo "$name: quorvax-replay --renderer $renderer failed:"
            cat "$work/$name-$renderer.txt"
            exit 1
        fi
    done
    if ! cmp -s "$work/$name-gl.txt" "$work/$name-gles2.txt"; then
        echo "$name: the two renderers' runs print different states"
        failed=1
    fi
    for ((t = 1; t <= last + 1; t += step)); do
        [[ -f "$work/$name-gl-$t.ppm" ]] || continue
        pairs+=("$work/$name-gl-$t.ppm" "$work/$name-gles2-$t.ppm")
    done
    "$framediff" "$name" $threshold $max_mean $max_worst $max_share $max_frame_mean $max_frame_share \
        "${pairs[@]}" || failed=1
done
exit $failed
