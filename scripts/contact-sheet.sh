#!/usr/bin/env bash
# Makes a contact sheet from a directory of captured frames: one frame every
# STEP frames, scaled to 200 x 150, in a grid of 8 columns, with the demo
# time of each frame written on it.
# usage: scripts/contact-sheet.sh FRAMEDIR OUT.png [STEP] [FPS]
set -euo pipefail
dir=$1 out=$2 step=${3:-4} fps=${4:-1}
count=$(ls "$dir"/frame-*.png | wc -l)
rows=$(( (count + step - 1) / step / 8 + 1 ))
ffmpeg -hide_banner -loglevel error -y -framerate "$fps" -i "$dir/frame-%06d.png" \
  -vf "select='not(mod(n\,$step))',scale=200:150,drawtext=text='%{pts\:hms}':x=4:y=4:fontcolor=yellow:fontsize=14,tile=8x$rows" \
  -frames:v 1 "$out"
echo "$out"
