#!/usr/bin/env bash
# Set-up as scripts/setup.sh, then the show. With a display it plays full
# screen with music (extra arguments go to the program, e.g. --window). With
# no display it renders the whole show under a private Xvfb into
# vorndemo.mp4 in the project folder, with progress, and prints its path.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh vorndemo assets
project=$(pwd)
cd build/run
if [ -n "${DISPLAY:-}" ]; then
  exec ../vorndemo "$@"
fi
echo "play: no display is set; capturing the show to $project/vorndemo.mp4 instead (30 fps)" >&2
exec bash "$project/scripts/with-display.sh" ../vorndemo --capture "$project/vorndemo.mp4" --fps 30 "$@"
