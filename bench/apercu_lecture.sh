#!/usr/bin/env bash
# The preview's speed and real time: from a selection to the first picture
# painted (median of 20 builds), and a play of a 10 s PAL DV clip, which must
# take 10 s +/- 2 % with at most 1 % of its 250 frames skipped; the CPU time
# of the play is printed. Needs ffmpeg; runs without a sound card (the system
# clock then paces the play) or with one (the card's clock).
#   bench/apercu_lecture.sh
# Environment: KORVAN_BUILD (build folder, default build), BENCH_DATA (where
#              the clips go, default build/bench-data/apercu), RUNS (default 20).
set -euo pipefail
ROOT=$(cd "$(dirname "$0")/.." && pwd)
BUILD=${KORVAN_BUILD:-$ROOT/build}
DATA=${BENCH_DATA:-$ROOT/build/bench-data/apercu}
RUNS=${RUNS:-20}
for tool in cmake ffmpeg; do
  command -v "$tool" >/dev/null || { echo "needs $tool" >&2; exit 1; }
done
[ -f "$BUILD/build.ninja" ] || [ -f "$BUILD/Makefile" ] || { echo "configure $BUILD first" >&2; exit 1; }
cmake -S "$ROOT" -B "$BUILD" -DKORVAN_BENCH=ON > /dev/null
cmake --build "$BUILD" --target apercu-lecture-bench >&2
BENCH="$BUILD/bench/apercu-lecture-bench"

# 10 s of PAL DV type 2 with sound, and a second clip for the selection to switch from.
make_clip() { # seconds name
  local out="$DATA/$2"
  [ -f "$out" ] && return
  ffmpeg -hide_banner -loglevel error -y -f lavfi -i "testsrc2=size=720x576:rate=25" \
    -f lavfi -i "sine=frequency=440:sample_rate=48000" -t "$1" -c:v dvvideo -pix_fmt yuv420p \
    -c:a pcm_s16le -ac 2 -ar 48000 -timecode 00:00:00:00 \
    -metadata creation_time="2004-07-14T10:31:05" -f dv "$out.dv"
  ffmpeg -hide_banner -loglevel error -y -i "$out.dv" -c copy "$out.part.avi"
  rm -f "$out.dv"
  mv "$out.part.avi" "$out"
}
mkdir -p "$DATA"
make_clip 10 pal10.avi
make_clip 2 pal2.avi

LINE=$("$BENCH" --runs "$RUNS" "$DATA/pal10.avi" "$DATA/pal2.avi")
python3 - "$LINE" <<'PY'
import sys
f = sys.argv[1].split("\t")
kv = dict(x.split(" ", 1) for x in f[2:])
frames = int(kv["frames"]); play = float(kv["play_s"]); skipped = int(kv["skipped"])
expected = frames / float(kv["fps"])
print(f"selection to first picture: median {float(kv['first_picture_median_ms']):.2f} ms, "
      f"fastest {float(kv['first_picture_min_ms']):.2f} ms")
print(f"play of {frames} frames: {play:.3f} s for {expected:.3f} s ({(play / expected - 1) * 100:+.2f} %), "
      f"shown {kv['shown']}, skipped {skipped} ({skipped / frames * 100:.2f} %), last frame {kv['last']}, "
      f"CPU {float(kv['cpu_s']):.3f} s ({float(kv['cpu_s']) / play * 100:.1f} % of one core)")
pace, pace_expected = float(kv["pace_s"]), float(kv["pace_expected_s"])
print(f"first picture of the play after {float(kv['start_s']) * 1000:.0f} ms; first to last picture "
      f"{pace:.3f} s for {pace_expected:.3f} s ({(pace / pace_expected - 1) * 100:+.2f} %)")
# With a sound card the pictures keep with the sound heard: its start-up
# latency adds to the play (a PulseAudio null sink stalls up to a second).

ok = abs(play / expected - 1) <= 0.02 and skipped <= frames * 0.01
print("real time: " + ("within 2 %, at most 1 % skipped" if ok else "OUT OF BOUNDS"))
sys.exit(0 if ok else 1)
PY
