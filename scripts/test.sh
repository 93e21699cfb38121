#!/usr/bin/env bash
# Set-up as scripts/setup.sh, then the whole test suite on a real GL context.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
export SDL_AUDIODRIVER=dummy
bash scripts/with-display.sh ctest --test-dir build -j"$(nproc)" --output-on-failure --timeout 600
