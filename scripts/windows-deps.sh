#!/usr/bin/env bash
# Fetches the Debian sources of the libraries the Windows build links (libpng,
# libogg, libvorbis, kissfft, SDL 1.2 with Debian's patches, lib3ds) and
# builds them once, static, with the mingw-w64 cross compiler into PREFIX
# (lib/ and include/). zlib is mingw's own (libz-mingw-w64-dev). The sources
# come through scripts/deb-source.sh.
# Usage: scripts/windows-deps.sh BUILD_DIR
set -euo pipefail
build=$(realpath -m "${1:?usage: windows-deps.sh BUILD_DIR}")
prefix="$build/prefix"
mkdir -p "$prefix/lib" "$prefix/include"
jobs=${JOBS:-2}
host=x86_64-w64-mingw32

[ -f "$prefix/done.stamp" ] && exit 0

. "$(dirname "$0")/deb-source.sh"
deb_source_init "$build"

# The posix-thread variant throughout: the core needs std::thread, which
# GCC 12's win32 variant lacks, and one runtime keeps the link simple.
export CC=$host-gcc-posix CXX=$host-g++-posix AR=$host-ar RANLIB=$host-ranlib
export CFLAGS="-O2" CPPFLAGS="-I$prefix/include" LDFLAGS="-L$prefix/lib"
export PKG_CONFIG_LIBDIR="$prefix/lib/pkgconfig"
static=(--host=$host --disable-shared --enable-static --prefix="$prefix")

# True when a library is already in the prefix.
built() { [ -f "$prefix/lib/$1" ]; }
# The compilers' output goes to one log, shown in part when a build fails.
log="$build/build.log"
failed() { tail -n 40 "$log" >&2; echo "windows-deps: building $1 failed; the whole log is $log" >&2; exit 1; }

built libpng16.a || { dir=$(deb_source libpng1.6)
(cd "$dir" && ./configure "${static[@]}" && make -j"$jobs" && make install) >> "$log" 2>&1 || failed libpng; }

built libogg.a || { dir=$(deb_source libogg)
(cd "$dir" && ./configure "${static[@]}" && make -j"$jobs" && make install) >> "$log" 2>&1 || failed libogg; }

# libvorbis's configure picks its optimisation by host; Linux x86-64 gets
# -ffast-math -mno-ieee-fp (then Debian's -O2), which decide how its floats
# round. The same here, so the music decodes to the Linux program's samples.
built libvorbisfile.a || { dir=$(deb_source libvorbis)
(cd "$dir" && CFLAGS="$CFLAGS -ffast-math -mno-ieee-fp -fsigned-char -O2" \
  ./configure "${static[@]}" --disable-oggtest --with-ogg="$prefix" \
  && make -j"$jobs" -C lib && make -C lib install \
  && make -C include install && make install-pkgconfigDATA) >> "$log" 2>&1 || failed libvorbis; }

# kissfft: the float real-input transform the spectrum uses, compiled by hand.
built libkissfft-float.a || { dir=$(deb_source kissfft)
mkdir -p "$prefix/include/kissfft"
(cd "$dir" && for f in kiss_fft kiss_fftr; do $CC $CFLAGS -Dkiss_fft_scalar=float -c "$f.c" -o "$f.o"; done \
  && $AR rcs "$prefix/lib/libkissfft-float.a" kiss_fft.o kiss_fftr.o \
  && cp kiss_fft.h kiss_fftr.h "$prefix/include/kissfft/" \
  && if [ -f kiss_fft_log.h ]; then cp kiss_fft_log.h "$prefix/include/kissfft/"; fi) >> "$log" 2>&1 || failed kissfft; }

# SDL 1.2: windib and DirectX video, DirectSound and waveOut audio. stdout and
# stderr stay the console's instead of SDLmain's stdout.txt and stderr.txt.
built libSDL.a || { dir=$(deb_source libsdl1.2)
(cd "$dir" && ./configure "${static[@]}" --disable-stdio-redirect --disable-nasm \
  && make -j"$jobs" && make install) >> "$log" 2>&1 || failed SDL; }

built lib3ds.a || { dir=$(deb_source lib3ds)
(cd "$dir" && mkdir -p "$prefix/include/lib3ds" && cp lib3ds/*.h "$prefix/include/lib3ds/" \
  && rm -f lib3ds/*.o && for f in lib3ds/*.c; do $CC $CFLAGS -I. -c "$f" -o "${f%.c}.o"; done \
  && $AR rcs "$prefix/lib/lib3ds.a" lib3ds/*.o) >> "$log" 2>&1 || failed lib3ds; }

touch "$prefix/done.stamp"
echo "windows-deps: libraries built into $prefix" >&2
