#!/usr/bin/env bash
# The show for 64-bit Windows, cross-built on Debian: installs what is missing
# (mingw-w64's posix-thread compilers, wine64 for the checks), builds the
# libraries once into build-win/prefix (scripts/windows-deps.sh), the program
# into build-win/app with cmake/mingw-w64.cmake, and packs
# dist/vorndemo-win64.zip: vorndemo.exe, scenes/, vorndemo.ogg and README.txt.
# The scenes and the music are the Linux generator's: its output differs
# under Windows' maths library.
# Usage: scripts/windows.sh [--run-dir DIR] [--with-tests]
#   --run-dir DIR  take scenes/ and vorndemo.ogg from DIR (a Linux build's run
#                  directory) instead of building them into build/run
#   --with-tests   build the unit test programs for Windows too (into
#                  build-win/app/tests; tests/windows/wine_check.py runs them)
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
run_dir=""
targets=(--target vorndemo)
while [ $# -gt 0 ]; do
  case "$1" in
    --run-dir) run_dir=$(realpath "$2"); shift ;;
    --with-tests) targets+=(--target windows_tests) ;;
    *) echo "usage: scripts/windows.sh [--run-dir DIR] [--with-tests]" >&2; exit 2 ;;
  esac
  shift
done

bash scripts/install-missing.sh windows g++-mingw-w64-x86-64-posix mingw-w64-tools libz-mingw-w64-dev \
  wine64 dpkg-dev googletest x11-apps xvfb ffmpeg

# The assets and the README's option list come from the Linux build (a
# no-op when it is up to date).
if [ -z "$run_dir" ]; then
  bash scripts/setup.sh vorndemo assets > /dev/null
  run_dir="$root/build/run"
else
  bash scripts/setup.sh vorndemo > /dev/null
fi

jobs=${JOBS:-$(nproc)}
JOBS=$jobs bash scripts/windows-deps.sh build-win
cmake -S . -B build-win/app -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64.cmake" \
  -DVORN_WIN_PREFIX="$root/build-win/prefix" -DCMAKE_BUILD_TYPE=RelWithDebInfo > /dev/null
cmake --build build-win/app -j"$jobs" "${targets[@]}"

# Everything the program imports must come with Windows itself.
exe=build-win/app/vorndemo.exe
system_dlls="kernel32 user32 gdi32 winmm opengl32 glu32 msvcrt advapi32 shell32 ole32 oleaut32 imm32 version psapi"
for dll in $(x86_64-w64-mingw32-objdump -p "$exe" | sed -n 's/^\s*DLL Name: \(.*\)\.dll$/\1/ip' | tr 'A-Z' 'a-z'); do
  case " $system_dlls " in
    *" $dll "*) ;;
    *) echo "windows: $exe needs $dll.dll, which Windows does not have" >&2; exit 1 ;;
  esac
done

stage=build-win/dist/vorndemo-win64
rm -rf "$stage"
mkdir -p "$stage" dist
x86_64-w64-mingw32-strip -o "$stage/vorndemo.exe" "$exe"
cp -r "$run_dir/scenes" "$run_dir/vorndemo.ogg" "$stage/"
{
  cat <<'TEXT'
vorndemo for 64-bit Windows

Double-click vorndemo.exe, or run it from a console; it finds scenes\ and
vorndemo.ogg in the folder it is started in, else beside itself:

  cd vorndemo-win64
  vorndemo.exe --window

Without a sound device the show plays silently.
Video capture (--capture NAME.mp4) runs ffmpeg.exe, which must be on the PATH;
capturing to a folder of PNG frames needs nothing more.

TEXT
  build/vorndemo --help | sed 's/^usage: /Usage: /'
} | sed 's/$/\r/' > "$stage/README.txt"
rm -f dist/vorndemo-win64.zip
(cd build-win/dist && cmake -E tar cf "$root/dist/vorndemo-win64.zip" --format=zip vorndemo-win64)
echo "windows: dist/vorndemo-win64.zip ($(du -k dist/vorndemo-win64.zip | cut -f1) KiB)" >&2
