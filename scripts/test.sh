#!/usr/bin/env bash
# Set-up as scripts/setup.sh, the web version (scripts/web.sh: emscripten and
# chromium, the libraries for emcc on the first run), then the whole test
# suite on a real GL context, and the Debian package on a fresh system.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
bash scripts/web.sh --build-only --run-dir build/run
export SDL_AUDIODRIVER=dummy
bash scripts/with-display.sh ctest --test-dir build -j"$(nproc)" --output-on-failure --timeout 600
# The Debian package installed in a fresh Debian 12 root: outside ctest, as it
# needs root, mounts and Debian's archive (skipped, with a message, where the
# archive cannot be reached).
status=0
bash scripts/check-package.sh || status=$?
[ "$status" -eq 0 ] || [ "$status" -eq 77 ] || exit "$status"
