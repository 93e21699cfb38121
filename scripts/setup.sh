#!/usr/bin/env bash
# Installs what is missing (Debian 12 packages), configures and builds into
# build/ and generates the assets. With no arguments it builds everything
# (program, asset generator, tests); arguments name the CMake targets to build.
set -euo pipefail
cd "$(dirname "$0")/.."

packages=(cmake g++ make pkg-config libsdl1.2-dev libsdl-image1.2-dev lib3ds-dev libgl1-mesa-dev
  libglu1-mesa-dev libgl1-mesa-dri xvfb xauth libgtest-dev libvorbis-dev libkissfft-dev
  libpng-dev ffmpeg libx11-dev)
bash scripts/install-missing.sh setup --no-install-recommends "${packages[@]}"

cmake -S . -B build -DCMAKE_BUILD_TYPE="${BUILD_TYPE:-RelWithDebInfo}" > /dev/null
targets=()
for t in "$@"; do targets+=(--target "$t"); done
cmake --build build -j"$(nproc)" "${targets[@]}"
