#!/usr/bin/env bash
# A player's end-to-end run of quorvax.exe under Wine: the player's checks of
# the Linux run (tests/e2e/player_e2e.sh) with the Windows program. Wine takes
# a little longer to end a program than Linux, hence the longer quit wait.
# Usage: player_e2e.sh WINDOWS_GAME_DIR PROBE (PROBE from the Linux build)
set -uo pipefail
[ -x "${2:-}" ] || { echo "no screen probe: skipped"; exit 77; }
here=$(cd "$(dirname "$0")" && pwd)
export QUORVAX_E2E_QUIT_SECONDS=${QUORVAX_E2E_QUIT_SECONDS:-5}
exec bash "$here/wine_e2e_checks.sh" "$1" "$2" wine "$1/quorvax.exe"
