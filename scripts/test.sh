#!/usr/bin/env bash
# Set-up as scripts/setup.sh, the web version (scripts/web.sh: emscripten and
# chromium, the libraries for emcc on the first run), the Windows version
# (scripts/windows.sh: mingw-w64 and wine64, its libraries on the first run),
# then the whole test suite on a real GL context, the Debian package on a
# fresh Debian 12 and the first set-up command on a fresh Debian 13.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
# The format check's clang-format: Debian 12's version 14. A release without
# it (Debian 13 has 19, which formats differently) skips the check.
if apt-cache show clang-format-14 > /dev/null 2>&1; then
  bash scripts/install-missing.sh test --no-install-recommends clang-format-14
fi
bash scripts/web.sh --build-only --run-dir build/run
bash scripts/windows.sh --run-dir build/run --with-tests
export SDL_AUDIODRIVER=dummy
bash scripts/with-display.sh ctest --test-dir build -j"$(nproc)" --output-on-failure --timeout 600
# The Debian package installed in a fresh Debian 12 root: outside ctest, as it
# needs root, mounts and Debian's archive (skipped, with a message, where the
# archive cannot be reached).
status=0
bash scripts/check-package.sh || status=$?
[ "$status" -eq 0 ] || [ "$status" -eq 77 ] || exit "$status"
# play.sh in a fresh Debian 13 root (packages, build, the whole show rendered):
# outside ctest for its length and for the same needs.
status=0
bash scripts/check-debian13.sh || status=$?
[ "$status" -eq 0 ] || [ "$status" -eq 77 ] || exit "$status"
