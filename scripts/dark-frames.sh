#!/usr/bin/env bash
# Counts the near-black frames of the show: a frame is near-black when fewer
# than 2 % of its pixels are brighter than 24 of 255 (luma). Captures the
# whole show at 2 fps first unless FRAMEDIR already holds frame-*.png.
# Prints each near-black frame's demo time, the count, and the longest run of
# such frames in the opening (0 to 22 s).
# usage: scripts/dark-frames.sh PROGRAM RUNDIR FRAMEDIR
set -euo pipefail
prog=$(readlink -f "$1") run=$2 dir=$(readlink -f -m "$3")
here=$(dirname "$(readlink -f "$0")")
fps=2 threshold=24 minLitPercent=2 openingEnd=22

if ! ls "$dir"/frame-*.png >/dev/null 2>&1; then
  mkdir -p "$dir"
  (cd "$run" && SDL_AUDIODRIVER=dummy bash "$here/with-display.sh" \
     "$prog" --capture "$dir" --fps "$fps" --from 0 --to 176 >/dev/null)
fi

# Each pixel becomes 0 or 255 by the threshold, so the frame's mean luma is
# 255 times the lit share.
ffmpeg -hide_banner -loglevel error -framerate "$fps" -i "$dir/frame-%06d.png" \
  -vf "format=gray,lut=c0='if(gt(val,$threshold),255,0)',signalstats,metadata=print:key=lavfi.signalstats.YAVG:file=-" \
  -f null - |
awk -v fps="$fps" -v minLit="$minLitPercent" -v openingEnd="$openingEnd" '
  BEGIN { prevDark = -2 }
  /^frame:/ { n = substr($1, 7) + 0 }
  /YAVG=/ {
    split($0, kv, "="); lit = kv[2] / 255 * 100; frames++
    t = n / fps
    if (lit < minLit) {
      dark++; printf "near-black %6.1f s  %.2f %% lit\n", t, lit
      if (t < openingEnd) { run = (prevDark == n - 1) ? run + 1 : 1; if (run > longest) longest = run }
      prevDark = n
    }
  }
  END {
    printf "%d of %d frames near-black (under %s %% lit)\n", dark, frames, minLit
    printf "longest near-black run before %s s: %d frames (%.1f s)\n", openingEnd, longest, longest / fps
  }'
