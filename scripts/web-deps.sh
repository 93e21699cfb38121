#!/usr/bin/env bash
# Fetches the Debian sources of the libraries the web build links (zlib,
# libpng, libogg, libvorbis, kissfft, lib3ds) and builds them once with emcc
# into PREFIX (lib/ and include/). SDL 1.2 and SDL_image come from emscripten's
# own emulation. The sources come through scripts/deb-source.sh.
# Usage: scripts/web-deps.sh BUILD_DIR
set -euo pipefail
build=$(realpath -m "${1:?usage: web-deps.sh BUILD_DIR}")
prefix="$build/prefix"
mkdir -p "$prefix/lib" "$prefix/include"
jobs=${JOBS:-2}
# Debian's emcc finds its JavaScript optimiser's parser only through NODE_PATH.
export NODE_PATH=/usr/share/nodejs

[ -f "$prefix/done.stamp" ] && exit 0

. "$(dirname "$0")/deb-source.sh"
deb_source_init "$build"

cflags="-O2"

# True when a library is already in the prefix.
built() { [ -f "$prefix/lib/$1" ]; }

# zlib and libpng: the PNG check in front of SDL_image reads through libpng.
built libz.a || { dir=$(deb_source zlib)
(cd "$dir" && emconfigure ./configure --static --prefix="$prefix" > /dev/null && emmake make -j"$jobs" libz.a > /dev/null \
  && cp libz.a "$prefix/lib/" && cp zlib.h zconf.h "$prefix/include/"); }

built libpng16.a || { dir=$(deb_source libpng1.6)
(cd "$dir" && CFLAGS="$cflags" CPPFLAGS="-I$prefix/include" LDFLAGS="-L$prefix/lib" \
  emconfigure ./configure --host=wasm32 --disable-shared --enable-static --prefix="$prefix" > /dev/null \
  && emmake make -j"$jobs" > /dev/null && emmake make install > /dev/null); }

built libogg.a || { dir=$(deb_source libogg)
(cd "$dir" && CFLAGS="$cflags" emconfigure ./configure --host=wasm32 --disable-shared --enable-static \
  --prefix="$prefix" > /dev/null && emmake make -j"$jobs" > /dev/null && emmake make install > /dev/null); }

built libvorbisfile.a || { dir=$(deb_source libvorbis)
(cd "$dir" && CFLAGS="$cflags" emconfigure ./configure --host=wasm32 --disable-shared --enable-static \
  --disable-oggtest --with-ogg="$prefix" --prefix="$prefix" > /dev/null \
  && emmake make -j"$jobs" -C lib > /dev/null && emmake make -C lib install > /dev/null \
  && emmake make -C include install > /dev/null); }

# kissfft: the float real-input transform the spectrum uses, compiled by hand.
built libkissfft-float.a || { dir=$(deb_source kissfft)
mkdir -p "$prefix/include/kissfft"
(cd "$dir" && for f in kiss_fft kiss_fftr; do emcc $cflags -Dkiss_fft_scalar=float -c "$f.c" -o "$f.o"; done \
  && emar rcs "$prefix/lib/libkissfft-float.a" kiss_fft.o kiss_fftr.o \
  && cp kiss_fft.h kiss_fftr.h "$prefix/include/kissfft/" \
  && cp kiss_fft.h kiss_fftr.h "$prefix/include/")
if [ -f "$dir/kiss_fft_log.h" ]; then
  cp "$dir/kiss_fft_log.h" "$prefix/include/kissfft/"
  cp "$dir/kiss_fft_log.h" "$prefix/include/"
fi; }

built lib3ds.a || { dir=$(deb_source lib3ds)
(cd "$dir" && mkdir -p "$prefix/include/lib3ds" && cp lib3ds/*.h "$prefix/include/lib3ds/" \
  && rm -f lib3ds/*.o && for f in lib3ds/*.c; do emcc $cflags -I. -c "$f" -o "${f%.c}.o"; done \
  && emar rcs "$prefix/lib/lib3ds.a" lib3ds/*.o); }

touch "$prefix/done.stamp"
echo "web-deps: libraries built into $prefix" >&2
