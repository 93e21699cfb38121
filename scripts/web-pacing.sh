#!/usr/bin/env bash
# Measures how smoothly the web page plays one whole show in headless Chromium
# (tests/web/web_check.py pacing: new pictures as the viewer sees them), beside
# the desktop program's median frame time (--benchmark) in the same sitting,
# with the machine's load before and after. The method: docs/web-pacing.md.
# Run it on an idle machine; it takes about eight minutes.
# Usage: scripts/web-pacing.sh [WORK_DIR]   (default build/web-pacing)
set -euo pipefail
cd "$(dirname "$0")/.."
work=${1:-build/web-pacing}
[ -x build/vorndemo ] || bash scripts/setup.sh vorndemo assets > /dev/null

echo "load before: $(uptime)"
median=$(cd build/run && SDL_AUDIODRIVER=dummy bash ../../scripts/with-display.sh ../vorndemo --benchmark |
  awk '$1 == "all" { print $3 }')
echo "desktop: median frame time ${median} ms (--benchmark)"
status=0
SDL_AUDIODRIVER=dummy python3 tests/web/web_check.py pacing . build/vorndemo build/run "$work" || status=$?
echo "load after: $(uptime)"
exit "$status"
