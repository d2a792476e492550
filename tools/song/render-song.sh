#!/usr/bin/env bash
# Renders the game's MIDI song to Ogg Vorbis for the browser, where no MIDI
# synthesiser runs: FluidSynth with the SoundFont and gain the desktop
# plays it with, at the desktop's output rate, cut to the song's length (the
# desktop starts it again after exactly that long), so that the file loops
# without a gap. The same inputs give the same bytes (a fixed stream serial).
#   render-song.sh SONG.MID LENGTH_MS|@FILE_WITH_LENGTH_MS SOUNDFONT OUT.ogg
set -euo pipefail
song=$1 length_ms=$2 soundfont=$3 out=$4
[[ "$length_ms" == @* ]] && length_ms=$(cat "${length_ms#@}")
[[ "$length_ms" =~ ^[1-9][0-9]*$ ]] || { echo "render-song: bad song length '$length_ms'" >&2; exit 1; }
rate=48000
gain=0.8 # platform/linux/MidiSynth.cpp
[ -f "$soundfont" ] || { echo "render-song: no SoundFont at $soundfont" >&2; exit 1; }
work="$(mktemp -d "${TMPDIR:-/tmp}/quorvax-song-XXXXXX")"
trap 'rm -rf "$work"' EXIT

fluidsynth -ni -q -g "$gain" -r "$rate" -o audio.file.endian=little -T raw -F "$work/song.raw" \
  "$soundfont" "$song" >/dev/null
# 16-bit stereo frames; a render shorter than the song (its last notes end
# before the end of its longest track) is padded with silence.
bytes=$(((length_ms * rate + 500) / 1000 * 4))
cat "$work/song.raw" /dev/zero 2>/dev/null | head -c "$bytes" >"$work/loop.raw" || true
[ "$(stat -c %s "$work/loop.raw")" -eq "$bytes" ] || { echo "render-song: cutting failed" >&2; exit 1; }
oggenc -Q -q 3 -s 1 -r -B 16 -C 2 -R "$rate" -o "$work/song.ogg" "$work/loop.raw"
mv "$work/song.ogg" "$out"
