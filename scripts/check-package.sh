#!/usr/bin/env bash
# The Debian package on a fresh system: builds it (scripts/package.sh), then
# in a new minimal Debian 12 root (scripts/debian-root.sh) installs it with
# `apt-get install ./…deb` and Xvfb, and from /tmp runs `vorndemo --shot 40
# out.png` under Xvfb. That picture must equal, in decoded pixels, the build
# tree's program's shot. Prints the time of each step; keeps its files in
# build/package-check. Exits 77 when Debian's archive cannot be reached.
# Usage: scripts/check-package.sh   (as root, or with sudo)
set -euo pipefail
cd "$(dirname "$0")/.."
project=$(pwd)
work=build/package-check
shot_time=40
xvfb_screen="-screen 0 800x600x24 +extension GLX +render -noreset"  # as scripts/with-display.sh

sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
began=$(date +%s)
deb=$(bash scripts/package.sh | tail -n 1)
packaged=$(date +%s)
rm -rf "$work"
mkdir -p "$work"
(cd build/run && SDL_AUDIODRIVER=dummy bash "$project/scripts/with-display.sh" \
  ../vorndemo --shot "$shot_time" "$project/$work/build.png" > /dev/null)

# In the root: the time each step ends, in seconds since the epoch.
status=0
$sudo bash scripts/debian-root.sh bookworm -- bash -c '
  set -euo pipefail
  work=/project/$1
  date +%s > "$work/entered"
  apt-get update -qq
  apt-get install -y -qq --no-install-recommends "/project/$2" xvfb xauth > "$work/apt.log" 2>&1 ||
    { cat "$work/apt.log" >&2; exit 1; }
  date +%s > "$work/installed"
  cd /tmp
  SDL_AUDIODRIVER=dummy xvfb-run -a -s "$4" vorndemo --shot "$3" out.png > /dev/null
  date +%s > "$work/shot"
  cp out.png "$work/installed.png"
' check "$work" "$deb" "$shot_time" "$xvfb_screen" || status=$?
if [ "$status" -eq 77 ]; then
  echo "check-package: skipped: Debian's archive cannot be reached" >&2
  exit 77
fi
if [ "$status" -ne 0 ]; then
  echo "check-package: failed in the Debian 12 root (status $status)" >&2
  exit 1
fi

step() { echo $(($(cat "$work/$2") - $1)); }
echo "check-package: package $((packaged - began)) s, root ready (debootstrap when not cached)" \
  "$(step "$packaged" entered) s, install $(step "$(cat "$work/entered")" installed) s," \
  "shot $(step "$(cat "$work/installed")" shot) s"

# Decoded pixels, not file bytes: the comparison holds whatever libpng wrote.
pixels() { ffmpeg -v error -i "$1" -f rawvideo -pix_fmt rgba - | md5sum | cut -d' ' -f1; }
if [ "$(pixels "$work/build.png")" != "$(pixels "$work/installed.png")" ]; then
  echo "check-package: the installed program's shot at $shot_time s differs from the build's" \
    "($work/installed.png, $work/build.png)" >&2
  exit 1
fi
echo "check-package: the installed program's shot at $shot_time s equals the build's in decoded pixels"
