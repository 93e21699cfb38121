#!/usr/bin/env bash
# Builds with AddressSanitizer and UndefinedBehaviorSanitizer (CMake option
# VORN_SANITIZE) into its own build folder, runs the whole test suite there,
# then captures the whole show at a low frame rate. Any sanitizer report, or
# any failing test, fails the script.
#
#   scripts/sanitize.sh [FPS] [BUILD_DIR]      (defaults: 2, build-sanitize)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
fps=${1:-2}
build=${2:-$root/build-sanitize}
jobs=$(nproc)

cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVORN_SANITIZE=ON > /dev/null
cmake --build "$build" -j"$jobs"

export SDL_AUDIODRIVER=dummy
# Reports go to files as well as stderr, so that one inside a test that
# expects a failing child cannot pass unnoticed.
reports="$build/sanitizer-reports"
rm -rf "$reports"; mkdir -p "$reports"
# No leak check at exit: the production's objects are built once and live
# until the process ends, as designed, and the GL driver is unloaded before
# the check runs. Leaks per input are what matters; the fuzzers check those.
export ASAN_OPTIONS="log_path=$reports/asan:log_exe_name=1:detect_leaks=0"
export UBSAN_OPTIONS="log_path=$reports/ubsan:print_stacktrace=1:halt_on_error=1"

status=0
echo "sanitize: test suite"
# The fuzz smoke builds its own sanitized targets with clang; it is not rerun here.
bash "$root/scripts/with-display.sh" ctest --test-dir "$build" -j"$jobs" --output-on-failure --timeout 1800 \
  -E '^fuzz_smoke$' || status=1

echo "sanitize: whole show at $fps fps"
capture="$build/sanitize-capture"
rm -rf "$capture"
(cd "$build/run" && bash "$root/scripts/with-display.sh" ../vorndemo --capture "$capture" --fps "$fps") || status=1

if compgen -G "$reports/*" > /dev/null; then
  echo "sanitize: sanitizer reports:" >&2
  for f in "$reports"/*; do echo "== $f" >&2; head -n 40 "$f" >&2; done
  status=1
fi
[ "$status" -eq 0 ] && echo "sanitize: no sanitizer report, every test passed, the capture completed"
exit $status
