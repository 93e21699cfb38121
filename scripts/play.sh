#!/usr/bin/env bash
# Set-up as scripts/setup.sh, then plays the show from the run directory.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
cd build/run
exec bash ../../scripts/with-display.sh ../vorndemo "$@"
