#!/usr/bin/env bash
# make fuzz, for one target: fuzz_TARGET for SECONDS on a copy of its seed
# corpus (crashing inputs are written next to the copy), its output printed
# whole once it ends, as targets run side by side.
#   fuzz-one.sh FUZZ_BUILD TARGET SECONDS
set -uo pipefail
cd "$(dirname "$0")/.."
build=$1 target=$2 seconds=$3
rm -rf "$build/corpus/$target"
mkdir -p "$build/corpus/$target"
cp fuzz/corpus/"$target"/* "$build/corpus/$target/"
log="$build/fuzz_$target.log"
"$build/fuzz_$target" -max_total_time="$seconds" -rss_limit_mb=256 -timeout=1 -print_final_stats=1 \
  -artifact_prefix="$build/fuzz_$target-" "$build/corpus/$target" >"$log" 2>&1
status=$?
echo "== fuzz_$target for $seconds s: exit $status"
cat "$log"
exit "$status"
