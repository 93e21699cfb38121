#!/usr/bin/env bash
# Set-up as scripts/setup.sh, the web version (scripts/web.sh: emscripten and
# chromium, the libraries for emcc on the first run), then the whole test
# suite on a real GL context, then the check on a fresh Debian 13.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
bash scripts/web.sh --build-only --run-dir build/run
export SDL_AUDIODRIVER=dummy
bash scripts/with-display.sh ctest --test-dir build -j"$(nproc)" --output-on-failure --timeout 600
# The first set-up command on a fresh Debian 13, outside ctest for its length
# (a new trixie root: packages, build, the whole show rendered); 77: skipped.
bash scripts/check-debian13.sh || [ $? -eq 77 ]
