#!/usr/bin/env bash
# The first set-up command on a fresh Debian 13: a copy of the project's files
# in a new trixie root (scripts/debian-root.sh) runs `bash scripts/play.sh`
# with no display. The video must hold the show at 30 fps with its music, and
# that build's shot at 40 s must match this machine's program's (build/vorndemo,
# the Debian 12 build) within the limits below. Prints the time of each step; keeps its files
# in build/debian13. Exits 77 when Debian's archive cannot be reached.
# Usage: scripts/check-debian13.sh   (after scripts/setup.sh)
set -euo pipefail
cd "$(dirname "$0")/.."
project=$(pwd)
work=build/debian13
shot_time=40
fps=30  # scripts/play.sh's capture
# Limits on the mean absolute difference per channel and on the worst 16 x 16
# block's mean, of 255. Today the two builds' shots are identical. Mesa's
# softpipe in place of llvmpipe, a whole other rasteriser, moves the shot by
# 0.78 (block 1.6); the next frame at 60 fps differs by 27 (block 158).
shot_limits=(1.0 6.0)
bash scripts/install-missing.sh debian13 python3 ffmpeg
[ -x build/vorndemo ] || { echo "check-debian13: build/vorndemo is missing; run scripts/setup.sh first" >&2; exit 1; }
rm -rf "$work"
mkdir -p "$work"
# What a fresh clone holds: the tracked files and new ones, nothing built.
git ls-files -z --cached --others --exclude-standard |
  tar --null --ignore-failed-read -T - -cf "$work/source.tar" 2> /dev/null
(cd build/run && SDL_AUDIODRIVER=dummy bash "$project/scripts/with-display.sh" \
  ../vorndemo --shot "$shot_time" "$project/$work/debian12.png" > /dev/null)

# In the root: play.sh with every line stamped with its second, then the
# shot and the video's streams.
status=0
bash scripts/debian-root.sh trixie -- bash -c '
  set -euo pipefail
  work=/project/$1
  mkdir /root/vorndemo
  tar -C /root/vorndemo -xf "$work/source.tar"
  cd /root/vorndemo
  date +%s > "$work/start"
  bash scripts/play.sh 2>&1 | while IFS= read -r line; do printf "%(%s)T %s\n" -1 "$line"; done > "$work/play.log"
  date +%s > "$work/end"
  cd build/run
  SDL_AUDIODRIVER=dummy bash ../../scripts/with-display.sh ../vorndemo --shot "$2" "$work/debian13.png" > /dev/null
  ffprobe -v error -show_entries stream=codec_type,r_frame_rate,duration -of compact=p=0:nk=1 \
    ../../vorndemo.mp4 > "$work/streams"
' check "$work" "$shot_time" || status=$?
if [ "$status" -eq 77 ]; then exit 77; fi
if [ "$status" -ne 0 ]; then
  echo "check-debian13: failed in the trixie root (status $status); play.sh's output: $work/play.log" >&2
  exit 1
fi

# Seconds from one stamped line of play.log to the next step.
start=$(cat "$work/start")
build=$(grep -m1 -E '^[0-9]+ \[ *[0-9]+%\]' "$work/play.log" | cut -d' ' -f1)
render=$(grep -m1 -E '^[0-9]+ play: no display' "$work/play.log" | cut -d' ' -f1)
echo "check-debian13: packages $((build - start)) s, build $((render - build)) s," \
  "render $(($(cat "$work/end") - render)) s"

python3 - "$work" "$fps" "${shot_limits[@]}" << 'EOF'
import sys
sys.path.insert(0, "tests/web")
from web_check import compare, rgb

work, fps = sys.argv[1], int(sys.argv[2])
mean_limit, block_limit = float(sys.argv[3]), float(sys.argv[4])
failed = False
streams = {}
for line in open(f"{work}/streams"):
    kind, rate, duration = line.strip().split("|")
    streams[kind] = (rate, float(duration))
video, audio = streams.get("video"), streams.get("audio")
if not video or not audio or video[0] != f"{fps}/1" or abs(video[1] - audio[1]) > 1.0:
    print(f"check-debian13: the video's streams are not the show at {fps} fps with its music: {streams}")
    failed = True
else:
    print(f"check-debian13: video {video[1]:.1f} s at {fps} fps, music {audio[1]:.1f} s")
means, worst, block = compare(rgb(f"{work}/debian13.png"), rgb(f"{work}/debian12.png"))
verdict = "ok" if max(means) <= mean_limit and worst <= block_limit else "FAILED"
failed |= verdict != "ok"
print(f"check-debian13: the Debian 13 shot against Debian 12's: mean difference {means[0]:.3f} {means[1]:.3f}"
      f" {means[2]:.3f} (limit {mean_limit}), worst 16 x 16 block {worst:.1f} at {block} (limit {block_limit}): {verdict}")
sys.exit(1 if failed else 0)
EOF
