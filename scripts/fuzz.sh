#!/usr/bin/env bash
# Builds the libFuzzer targets for 3DS model loading and picture loading with
# clang (AddressSanitizer and UndefinedBehaviorSanitizer on), seeds them from
# the generated assets and truncated copies of them, and runs each target.
#
#   scripts/fuzz.sh [SECONDS_PER_TARGET] [RUN_DIR] [OUT_DIR]
#
# SECONDS_PER_TARGET defaults to 600; RUN_DIR (default $VORN_RUN_DIR, else
# build/run) holds the generated scenes/; OUT_DIR (default build/fuzz) keeps
# the binaries, the growing corpus and any crash or hang input (artifacts/).
# FUZZ_TARGETS="model3ds" runs a subset. Exits 77 (skipped) without clang.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
seconds=${1:-600}
run_dir=${2:-${VORN_RUN_DIR:-$root/build/run}}
out=${3:-$root/build/fuzz}
targets=${FUZZ_TARGETS:-model3ds texture}

cxx=""
for candidate in clang++ clang++-14; do
  if command -v "$candidate" > /dev/null; then cxx=$candidate; break; fi
done
if [ -z "$cxx" ]; then
  echo "fuzz: skipped: clang++ is not installed (Debian: apt-get install clang)"
  exit 77
fi
mkdir -p "$out/obj" "$out/artifacts"
probe="$out/obj/probe.cpp"
echo 'extern "C" int LLVMFuzzerTestOneInput(const unsigned char*, unsigned long) { return 0; }' > "$probe"
if ! "$cxx" -fsanitize=fuzzer "$probe" -o "$out/obj/probe" 2> /dev/null; then
  echo "fuzz: skipped: $cxx cannot link libFuzzer (Debian: apt-get install libclang-rt-14-dev)"
  exit 77
fi
if ! ls "$run_dir"/scenes/*.3ds > /dev/null 2>&1; then
  echo "fuzz: no generated assets in $run_dir/scenes; build the project first (scripts/setup.sh)" >&2
  exit 1
fi

# The loaders and what they pull in; the rest of the program stays out.
sources=(scene/model3ds.cpp scene/model3ds_check.cpp scene/node.cpp scene/track.cpp scene/material.cpp res/texture.cpp
  res/mipmaps.cpp res/mip_chain.cpp res/picture_file.cpp res/picture_decoder.cpp res/picture_decoder_sdl_image.cpp
  res/png_errors.cpp res/load_queue.cpp platform/prefault.cpp platform/gl_procs.cpp platform/regular_file_posix.cpp
  platform/thread_priority_posix.cpp
  fuzz/fuzz_support.cpp)
flags=(-std=c++17 -g -O1 -fno-omit-frame-pointer -fsanitize=address,undefined -fno-sanitize-recover=undefined
  -I"$root")
read -r -a pkg_cflags <<< "$(pkg-config --cflags sdl SDL_image libpng)"
read -r -a pkg_libs <<< "$(pkg-config --libs sdl SDL_image libpng)"
objects=()
for s in "${sources[@]}"; do
  o="$out/obj/$(basename "${s%.cpp}").o"
  "$cxx" "${flags[@]}" -fsanitize=fuzzer-no-link "${pkg_cflags[@]}" -c "$root/$s" -o "$o"
  objects+=("$o")
done
for t in $targets; do
  "$cxx" "${flags[@]}" -fsanitize=fuzzer "${pkg_cflags[@]}" "$root/fuzz/${t}_fuzz.cpp" "${objects[@]}" \
    "${pkg_libs[@]}" -l3ds -lGL -lGLU -lm -o "$out/fuzz_$t"
done

# Seeds: each generated file whole and cut at an eighth, three eighths, five
# eighths and seven eighths of its length. Pictures: the four smallest.
seed_from() {
  local dir=$1; shift
  rm -rf "$dir"; mkdir -p "$dir"
  for f in "$@"; do
    local size name
    size=$(stat -c %s "$f"); name=$(basename "$f")
    cp "$f" "$dir/$name"
    for eighths in 1 3 5 7; do head -c $((size * eighths / 8)) "$f" > "$dir/$name.cut$eighths"; done
  done
}
# shellcheck disable=SC2046
seed_from "$out/seed/model3ds" "$run_dir"/scenes/*.3ds
# shellcheck disable=SC2046
seed_from "$out/seed/texture" $(ls -S "$run_dir"/scenes/*.png | tail -n 4)
# The generated pictures are all 8-bit RGBA; small pictures of the other
# layouts (grey of each depth, palette with and without transparency, grey
# and alpha, 16-bit, a tRNS colour, interlaced) lead the fuzzer to the
# decoders of builds with and without SDL_image, which it compares.
python3 - "$out/seed/texture" <<'PY'
import struct, sys, zlib
def chunk(kind, data):
    return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))
def png(name, depth, colour, samples, extra=b"", interlace=0, side=4):
    channels = {0: 1, 2: 3, 3: 1, 4: 2, 6: 4}[colour]
    row_bytes = (side * channels * depth + 7) // 8
    rows = b"".join(b"\0" + bytes((samples * 37 + y * 11 + i * 5) & 255 for i in range(row_bytes)) for y in range(side))
    header = struct.pack(">IIBBBBB", side, side, depth, colour, 0, 0, interlace)
    with open(f"{sys.argv[1]}/{name}.png", "wb") as f:
        f.write(b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) + extra + chunk(b"IDAT", zlib.compress(rows)) + chunk(b"IEND", b""))
palette = chunk(b"PLTE", bytes(range(48)))
for depth in (1, 2, 4, 8, 16):
    png(f"grey{depth}", depth, 0, depth)
png("grey-keyed", 8, 0, 3, chunk(b"tRNS", b"\0\x25"))
png("grey-alpha16", 16, 4, 5)
png("rgb16-keyed", 16, 2, 6, chunk(b"tRNS", bytes(6)))
png("rgb-keyed", 8, 2, 7, chunk(b"tRNS", b"\0\x25\0\x4a\0\x6f"))
png("rgba16", 16, 6, 8)
png("palette4", 4, 3, 9, palette)
png("palette-keyed", 8, 3, 1, palette + chunk(b"tRNS", b"\xff\0\xff"))
png("palette-translucent", 2, 3, 2, palette + chunk(b"tRNS", b"\x80\0"))
png("palette-interlaced", 8, 3, 0, palette, interlace=1, side=1)
PY

status=0
for t in $targets; do
  case $t in
    model3ds) max_len=262144 ;;
    *) max_len=65536 ;;
  esac
  mkdir -p "$out/corpus/$t"
  echo "fuzz: $t for ${seconds} s (corpus $out/corpus/$t)"
  # Loader lines on stderr are expected for nearly every input; fd 2 is closed
  # for the target while libFuzzer and the sanitizers keep their own copy.
  if ! SDL_AUDIODRIVER=dummy LSAN_OPTIONS="suppressions=$root/fuzz/lsan.supp:print_suppressions=0" bash "$root/scripts/with-display.sh" "$out/fuzz_$t" \
      -max_total_time="$seconds" -max_len="$max_len" -timeout=10 -rss_limit_mb=2560 -close_fd_mask=2 \
      -print_final_stats=1 -artifact_prefix="$out/artifacts/$t-" "$out/corpus/$t" "$out/seed/$t"; then
    echo "fuzz: $t FAILED; the input is in $out/artifacts/" >&2
    status=1
  fi
done
exit $status
