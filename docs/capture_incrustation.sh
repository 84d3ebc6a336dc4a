#!/usr/bin/env bash
# Makes docs/incrustation_sortie.png: frame 10 of a clip whose datecode was
# burnt in by `korvan +hi` (default settings: the preview's font, the
# top-right corner), decoded by ffmpeg.
#   docs/capture_incrustation.sh     (after ./dev.sh build)
set -euo pipefail
ROOT=$(cd "$(dirname "$0")/.." && pwd)
BUILD=${KORVAN_BUILD:-$ROOT/build}
T=$(mktemp -d)
trap 'rm -rf "$T"' EXIT
export HOME="$T/home" XDG_CONFIG_HOME="$T/home/.config" XDG_DATA_HOME="$T/home/.local/share"
mkdir -p "$XDG_CONFIG_HOME"
ffmpeg -hide_banner -loglevel error -y -f lavfi -i "testsrc2=size=720x576:rate=25:duration=2" \
  -f lavfi -i "sine=frequency=440:sample_rate=48000:duration=2" -c:v dvvideo -pix_fmt yuv420p -ac 2 \
  -timecode 00:01:00:00 -metadata creation_time=2004-07-14T10:31:05 -f dv "$T/clip.dv"
ffmpeg -hide_banner -loglevel error -y -i "$T/clip.dv" -c copy "$T/vacances.avi"
"$BUILD/korvan" +hi "$T/vacances.avi"
ffmpeg -hide_banner -loglevel error -y -i "$T/vacances_in.avi" -vf "select=eq(n\,10),scale=768:576" -frames:v 1 \
  "$ROOT/docs/incrustation_sortie.png"
echo "$ROOT/docs/incrustation_sortie.png"
