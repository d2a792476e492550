#!/usr/bin/env bash
# Runs the game from nothing but bash and apt: installs what is missing
# (make, the compiler, the libraries), builds and starts it in build/game.
set -euo pipefail
cd "$(dirname "$0")"
bash scripts/install-deps.sh
exec make run
