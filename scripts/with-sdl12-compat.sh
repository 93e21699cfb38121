#!/usr/bin/env bash
# usage: scripts/with-sdl12-compat.sh CMD [ARGS...]
# Runs CMD with sdl12-compat (SDL 1.2 on top of SDL 2) in place of the classic
# SDL 1.2 library, without installing anything: Debian's packages are fetched
# with apt-get download once, unpacked into build/sdl12-compat (or
# $VORN_SDL12COMPAT_DIR) and put first on LD_LIBRARY_PATH. Exits 77 when the
# packages cannot be had.
set -euo pipefail
root="${VORN_SDL12COMPAT_DIR:-$(cd "$(dirname "$0")/.." && pwd)/build/sdl12-compat}"
lib="$root/usr/lib/x86_64-linux-gnu/sdl12-compat"
sdl2="$root/usr/lib/x86_64-linux-gnu"
packages=(libsdl1.2-compat libsdl1.2-compat-shim libsdl2-2.0-0)

if [ $# -eq 0 ]; then
  echo "usage: $0 CMD [ARGS...]" >&2
  exit 2
fi

if [ ! -e "$lib/libSDL-1.2.so.0" ]; then
  mkdir -p "$root/debs"
  # Several tests may unpack at once: one does it, the others wait.
  exec 9>"$root/.lock"
  flock 9
  if [ ! -e "$lib/libSDL-1.2.so.0" ]; then
    ( cd "$root/debs" && apt-get download "${packages[@]}" >/dev/null 2>&1 ) ||
      ( { apt-get update -qq >/dev/null 2>&1 || true; } && cd "$root/debs" && apt-get download "${packages[@]}" >/dev/null 2>&1 ) || {
        echo "with-sdl12-compat: cannot download ${packages[*]} with apt-get" >&2
        exit 77
      }
    for deb in "$root"/debs/*.deb; do dpkg-deb -x "$deb" "$root"; done
    # From Debian 13 on, libsdl1.2-compat holds only links into
    # libsdl1.2debian, which is then sdl12-compat's own build.
    if [ -L "$lib/libSDL-1.2.so.0" ] && [ ! -e "$lib/libSDL-1.2.so.0" ]; then
      ( cd "$root/debs" && apt-get download libsdl1.2debian >/dev/null 2>&1 ) || {
        echo "with-sdl12-compat: cannot download libsdl1.2debian with apt-get" >&2
        exit 77
      }
      dpkg-deb -x "$root"/debs/libsdl1.2debian_*.deb "$root"
    fi
  fi
  flock -u 9
fi
if [ ! -e "$lib/libSDL-1.2.so.0" ] || [ ! -e "$sdl2/libSDL2-2.0.so.0" ]; then
  echo "with-sdl12-compat: the unpacked packages in $root lack libSDL-1.2.so.0 or libSDL2-2.0.so.0" >&2
  exit 77
fi

export LD_LIBRARY_PATH="$lib:$sdl2${LD_LIBRARY_PATH:+:$LD_LIBRARY_PATH}"

# Every SDL 1.2 reference of an ELF program (its own and SDL_image's) must
# now resolve to the compat library.
program=$(type -P "$1" || true)
if [ -n "$program" ] && head -c 4 "$program" | grep -q ELF; then
  wrong=$(ldd "$program" | grep 'libSDL-1.2.so' | grep -v "$lib" || true)
  if [ -n "$wrong" ]; then
    echo "with-sdl12-compat: $1 still loads the classic library: $wrong" >&2
    exit 1
  fi
fi
exec "$@"
