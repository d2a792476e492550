#!/usr/bin/env bash
# Fails when a C++ source differs from what clang-format makes of it.
set -euo pipefail
cd "$(dirname "$0")/.."
files=$(git ls-files -co --exclude-standard -- '*.cpp' '*.h' | grep -v -E '^(build|third_party)/' || true)
[ -z "$files" ] && exit 0
bad=0
for f in $files; do
  [ -f "$f" ] || continue
  if ! clang-format --dry-run --Werror "$f" >/dev/null 2>&1; then
    echo "needs clang-format: $f"; bad=1
  fi
done
exit $bad
