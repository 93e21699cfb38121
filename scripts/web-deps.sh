#!/usr/bin/env bash
# Fetches the Debian sources of the libraries the web build links (zlib,
# libpng, libogg, libvorbis, kissfft, lib3ds) and builds them once with emcc
# into PREFIX (lib/ and include/). SDL 1.2 and SDL_image come from emscripten's
# own emulation. apt gets a private sources list and state folder under the
# build folder, so the system's own apt configuration is left alone.
# Usage: scripts/web-deps.sh BUILD_DIR
set -euo pipefail
build=$(realpath -m "${1:?usage: web-deps.sh BUILD_DIR}")
prefix="$build/prefix"
src="$build/src"
apt_dir="$build/apt"
mkdir -p "$prefix/lib" "$prefix/include" "$src" "$apt_dir/lists/partial"
jobs=${JOBS:-2}
# Debian's emcc finds its JavaScript optimiser's parser only through NODE_PATH.
export NODE_PATH=/usr/share/nodejs

[ -f "$prefix/done.stamp" ] && exit 0

# apt with a private deb-src list: only Debian's own source index is fetched.
. /etc/os-release
cat > "$apt_dir/sources.list" <<EOF
deb-src http://deb.debian.org/debian ${VERSION_CODENAME} main
EOF
apt_opts=(-o "Dir::Etc::sourcelist=$apt_dir/sources.list" -o "Dir::Etc::sourceparts=-"
  -o "Dir::State::Lists=$apt_dir/lists" -o "Dir::Cache=$apt_dir/cache" -o "APT::Get::List-Cleanup=0")
mkdir -p "$apt_dir/cache/archives/partial"
if [ ! -f "$apt_dir/updated.stamp" ]; then
  apt-get "${apt_opts[@]}" update -qq
  touch "$apt_dir/updated.stamp"
fi

# Unpacks a source package once into $src/NAME; prints that folder. apt-get
# source names its folder after the package, an upstream tarball after the
# project (libpng-1.6.48/ for libpng1.6), so each is unpacked alone in a
# folder of its own and moved to the known name.
fetch() {
  local name=$1
  local dir=$src/$name
  local work=$src/$name.fetch
  if [ ! -d "$dir" ]; then
    rm -rf "$work"
    mkdir -p "$work"
    (cd "$work" && apt-get "${apt_opts[@]}" source -qq "$name" > /dev/null 2>&1) || {
      # lib3ds's Debian packaging file is not always there: take the upstream tarball alone.
      (cd "$work" && apt-get "${apt_opts[@]}" source --download-only -qq "$name" > /dev/null 2>&1) || true
      local orig
      orig=$(find "$work" -maxdepth 1 -name "${name}_*.orig.tar.*" ! -name '*.asc' | head -1)
      [ -n "$orig" ] || { echo "web-deps: cannot fetch the source of $name" >&2; return 1; }
      mkdir "$work/upstream"
      tar -C "$work/upstream" --strip-components=1 -xf "$orig"
    }
    local unpacked
    unpacked=$(find "$work" -mindepth 1 -maxdepth 1 -type d)
    if [ -z "$unpacked" ] || [ "$(echo "$unpacked" | wc -l)" -ne 1 ]; then
      echo "web-deps: the source of $name unpacked into no single folder under $work" >&2
      return 1
    fi
    mv "$unpacked" "$dir"
    rm -rf "$work"
  fi
  echo "$dir"
}

cflags="-O2"

# True when a library is already in the prefix.
built() { [ -f "$prefix/lib/$1" ]; }

# zlib and libpng: the PNG check in front of SDL_image reads through libpng.
built libz.a || { dir=$(fetch zlib)
(cd "$dir" && emconfigure ./configure --static --prefix="$prefix" > /dev/null && emmake make -j"$jobs" libz.a > /dev/null \
  && cp libz.a "$prefix/lib/" && cp zlib.h zconf.h "$prefix/include/"); }

built libpng16.a || { dir=$(fetch libpng1.6)
(cd "$dir" && CFLAGS="$cflags" CPPFLAGS="-I$prefix/include" LDFLAGS="-L$prefix/lib" \
  emconfigure ./configure --host=wasm32 --disable-shared --enable-static --prefix="$prefix" > /dev/null \
  && emmake make -j"$jobs" > /dev/null && emmake make install > /dev/null); }

built libogg.a || { dir=$(fetch libogg)
(cd "$dir" && CFLAGS="$cflags" emconfigure ./configure --host=wasm32 --disable-shared --enable-static \
  --prefix="$prefix" > /dev/null && emmake make -j"$jobs" > /dev/null && emmake make install > /dev/null); }

built libvorbisfile.a || { dir=$(fetch libvorbis)
(cd "$dir" && CFLAGS="$cflags" emconfigure ./configure --host=wasm32 --disable-shared --enable-static \
  --disable-oggtest --with-ogg="$prefix" --prefix="$prefix" > /dev/null \
  && emmake make -j"$jobs" -C lib > /dev/null && emmake make -C lib install > /dev/null \
  && emmake make -C include install > /dev/null); }

# kissfft: the float real-input transform the spectrum uses, compiled by hand.
built libkissfft-float.a || { dir=$(fetch kissfft)
mkdir -p "$prefix/include/kissfft"
(cd "$dir" && for f in kiss_fft kiss_fftr; do emcc $cflags -Dkiss_fft_scalar=float -c "$f.c" -o "$f.o"; done \
  && emar rcs "$prefix/lib/libkissfft-float.a" kiss_fft.o kiss_fftr.o \
  && cp kiss_fft.h kiss_fftr.h "$prefix/include/kissfft/" \
  && cp kiss_fft.h kiss_fftr.h "$prefix/include/")
if [ -f "$dir/kiss_fft_log.h" ]; then
  cp "$dir/kiss_fft_log.h" "$prefix/include/kissfft/"
  cp "$dir/kiss_fft_log.h" "$prefix/include/"
fi; }

built lib3ds.a || { dir=$(fetch lib3ds)
(cd "$dir" && mkdir -p "$prefix/include/lib3ds" && cp lib3ds/*.h "$prefix/include/lib3ds/" \
  && rm -f lib3ds/*.o && for f in lib3ds/*.c; do emcc $cflags -I. -c "$f" -o "${f%.c}.o"; done \
  && emar rcs "$prefix/lib/lib3ds.a" lib3ds/*.o); }

touch "$prefix/done.stamp"
echo "web-deps: libraries built into $prefix" >&2
