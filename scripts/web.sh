#!/usr/bin/env bash
# The show in a web page: installs what is missing (emscripten, chromium for
# the checks), builds the desktop asset generator's output, the libraries for
# emcc (once, into build-web/prefix) and build-web/app/vorndemo.html with its
# .js, .wasm and preloaded scenes and music, then serves that folder on
# 127.0.0.1 and prints the address.
# Usage: scripts/web.sh [--build-only] [--port N] [--run-dir DIR]
#   --run-dir DIR  take scenes/ and vorndemo.ogg from DIR (a desktop build's
#                  run directory) instead of building them into build/run
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
serve=1
port=8000
run_dir=""
while [ $# -gt 0 ]; do
  case "$1" in
    --build-only) serve=0 ;;
    --port) port=$2; shift ;;
    --run-dir) run_dir=$(realpath "$2"); shift ;;
    *) echo "usage: scripts/web.sh [--build-only] [--port N] [--run-dir DIR]" >&2; exit 2 ;;
  esac
  shift
done

bash scripts/install-missing.sh web emscripten chromium ffmpeg python3 dpkg-dev

# The scenes and the music come from the desktop build's generator.
if [ -z "$run_dir" ]; then
  bash scripts/setup.sh assets > /dev/null
  run_dir="$root/build/run"
fi

# Debian's emcc: its JavaScript optimiser finds its parser only through NODE_PATH.
export NODE_PATH=/usr/share/nodejs
jobs=${JOBS:-$(nproc)}
JOBS=$jobs bash scripts/web-deps.sh build-web
emcmake cmake -S web -B build-web/app -DCMAKE_BUILD_TYPE=Release \
  -DVORN_WEB_PREFIX="$root/build-web/prefix" -DVORN_RUN_DIR="$run_dir" > /dev/null
cmake --build build-web/app -j"$jobs"

[ "$serve" -eq 1 ] || exit 0
echo "web: serving build-web/app (Ctrl-C ends it); open in a browser:" >&2
exec python3 web/serve.py build-web/app --port "$port"
