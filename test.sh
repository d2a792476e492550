#!/usr/bin/env bash
# Runs every test from nothing but bash and apt: installs what is missing
# (make, the compiler, the libraries, Xvfb), builds and runs the suite.
set -euo pipefail
cd "$(dirname "$0")"
bash scripts/install-deps.sh
exec make test
