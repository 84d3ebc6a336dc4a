#!/usr/bin/env bash
# PAL -> NTSC re-encoding of a 60 s PAL DV type 2 clip: `korvan +hn` against
# the equivalent ffmpeg command line (the same filters: deinterlace to
# fields, scale, field-rate change, interlace again; the same DV encoder;
# two threads), warm cache, in the same run. Prints the medians, frames per
# second of output, the ratio (goal >= 1.0) and the largest resident memory
# of each.
#   bench/reencodage.sh      (makes the clip once under build/bench-data/reencodage)
# Environment: KORVAN_BUILD (build folder, default build), BENCH_DATA, RUNS (default 5).
set -euo pipefail
ROOT=$(cd "$(dirname "$0")/.." && pwd)
BUILD=${KORVAN_BUILD:-$ROOT/build}
DATA=${BENCH_DATA:-$ROOT/build/bench-data/reencodage}
RUNS=${RUNS:-5}
for tool in ffmpeg ffprobe hyperfine python3 /usr/bin/time; do
  command -v "$tool" >/dev/null || { echo "needs $tool" >&2; exit 1; }
done
[ -x "$BUILD/korvan" ] || { echo "build $BUILD first (./dev.sh build)" >&2; exit 1; }
KORVAN="$BUILD/korvan"
OUT=$(mktemp -d -p "${TMPDIR:-/tmp}" korvan-reenc.XXXXXX)
trap 'rm -rf "$OUT"' EXIT
. "$ROOT/bench/maison_korvan.sh"
maison_korvan "$OUT"

mkdir -p "$DATA"
CLIP="$DATA/pal60.avi"
if [ ! -f "$CLIP" ]; then
  ffmpeg -hide_banner -loglevel error -y -f lavfi -i "testsrc2=size=720x576:rate=25:duration=60" \
    -f lavfi -i "sine=frequency=440:sample_rate=48000:duration=60" -c:v dvvideo -pix_fmt yuv420p -ac 2 \
    -metadata creation_time=2006-08-15T14:00:00 -f dv "$DATA/pal60.dv"
  ffmpeg -hide_banner -loglevel error -y -i "$DATA/pal60.dv" -c copy "$CLIP"
  rm -f "$DATA/pal60.dv"
fi
cat "$CLIP" > /dev/null

VF="yadif=mode=send_field:parity=bff,scale=720:480:flags=bicubic,format=yuv411p,fps=60000/1001,interlace=scan=bff:lowpass=off"
FFMPEG="ffmpeg -v error -y -threads 2 -i $CLIP -vf $VF -c:v dvvideo -threads 2 -flags +ildct -aspect 4:3 -c:a pcm_s16le -ar 48000 $OUT/ff.avi"
hyperfine --warmup 1 --runs "$RUNS" --export-json "$OUT/times.json" \
  -n korvan --prepare "rm -f $OUT/pal60_ntsc.avi" "$KORVAN +hn $CLIP" \
  -n ffmpeg --prepare "rm -f $OUT/ff.avi" "$FFMPEG" >&2

memoire() { /usr/bin/time -f "%M" -o "$OUT/rss" "$@" > /dev/null; cat "$OUT/rss"; }
RSS_K=$(memoire "$KORVAN" +hn "$CLIP")
RSS_F=$(memoire $FFMPEG)
IMAGES=$(ffprobe -v error -count_packets -select_streams v:0 -show_entries stream=nb_read_packets -of csv=p=0 "$OUT/pal60_ntsc.avi")
IMAGES_FF=$(ffprobe -v error -count_packets -select_streams v:0 -show_entries stream=nb_read_packets -of csv=p=0 "$OUT/ff.avi")

python3 - "$OUT/times.json" "$IMAGES" "$IMAGES_FF" "$RSS_K" "$RSS_F" "$(nproc)" <<'PY'
import json, sys
r = {x["command"]: x for x in json.load(open(sys.argv[1]))["results"]}
images = {"korvan": int(sys.argv[2]), "ffmpeg": int(sys.argv[3])}
rss = {"korvan": int(sys.argv[4]), "ffmpeg": int(sys.argv[5])}
for k in ("korvan", "ffmpeg"):
    m = r[k]["median"]
    cpu = (r[k]["user"] + r[k]["system"]) / r[k]["mean"]
    print(f"{k:7} {m:7.2f} s  {images[k] / m:6.1f} frames/s  {images[k]} frames  "
          f"{cpu:4.2f} cores busy  max RSS {rss[k] / 1024:6.1f} MiB")
print(f"ratio ffmpeg/korvan: {r['ffmpeg']['median'] / r['korvan']['median']:.2f} (goal >= 1.0, {sys.argv[6]} cores)")
PY
