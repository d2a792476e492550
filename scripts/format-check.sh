#!/usr/bin/env bash
# Fails when a C++ source differs from what clang-format makes of it. Lists
# the files with git where there is one, else (a bare machine's clean copy)
# every source outside the build trees.
set -euo pipefail
cd "$(dirname "$0")/.."
if command -v git >/dev/null && git rev-parse --is-inside-work-tree >/dev/null 2>&1; then
  files=$(git ls-files -co --exclude-standard -- '*.cpp' '*.h')
else
  files=$(find . \( -path './build*' -o -path ./.git -o -path ./.cache \) -prune -o \
    -type f \( -name '*.cpp' -o -name '*.h' \) -print | sed 's|^\./||' | sort)
fi
files=$(grep -v -E '^(build|third_party)/' <<<"$files" || true)
[ -z "$files" ] && exit 0
bad=0
for f in $files; do
  [ -f "$f" ] || continue
  if ! clang-format --dry-run --Werror "$f" >/dev/null 2>&1; then
    echo "needs clang-format: $f"; bad=1
  fi
done
exit $bad
