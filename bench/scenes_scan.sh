#!/usr/bin/env bash
# Times the scene scan of large DV AVI files against reading them once with
# cat, warm cache, in the same run, and checks that the scan cost grows with
# the number of frames only.
#   bench/scenes_scan.sh            (generates the clips once under build/bench-data/scenes)
# Environment: KORVAN_BUILD (build folder holding tools/korvan-info, default build),
#              BENCH_DATA (where the clips go, default build/bench-data/scenes), RUNS (default 7).
#
# The scan alone is timed in process by scenes-scan-bench (bench/, built here
# with -DKORVAN_BENCH=ON); the whole command, korvan-info --scenes, and cat are
# timed by hyperfine.
set -euo pipefail
ROOT=$(cd "$(dirname "$0")/.." && pwd)
BUILD=${KORVAN_BUILD:-$ROOT/build}
DATA=${BENCH_DATA:-$ROOT/build/bench-data/scenes}
RUNS=${RUNS:-7}
for tool in cmake ffmpeg hyperfine python3; do
  command -v "$tool" >/dev/null || { echo "needs $tool" >&2; exit 1; }
done
[ -f "$BUILD/build.ninja" ] || [ -f "$BUILD/Makefile" ] || { echo "configure $BUILD first" >&2; exit 1; }
cmake -S "$ROOT" -B "$BUILD" -DKORVAN_BENCH=ON > /dev/null
cmake --build "$BUILD" --target korvan-info scenes-scan-bench >&2
INFO="$BUILD/tools/korvan-info"
SCAN="$BUILD/bench/scenes-scan-bench"

# One 10 s PAL DV recording, copied end to end: every copy starts 10 s back
# in recording time, so a clip of n copies holds n scenes. The AVI muxer
# writes OpenDML (AVIX extension chunks, indx super indexes) past 1 GiB.
make_clip() { # copies name
  local copies=$1 out="$DATA/$2"
  [ -f "$out" ] && return
  ffmpeg -hide_banner -loglevel error -y -stream_loop $((copies - 1)) -i "$DATA/seed.dv" -c copy -f avi "$out.part"
  mv "$out.part" "$out"
}
mkdir -p "$DATA"
if [ ! -f "$DATA/seed.dv" ]; then
  ffmpeg -hide_banner -loglevel error -y -f lavfi -i "testsrc2=size=720x576:rate=25" \
    -f lavfi -i "sine=frequency=440:sample_rate=48000" -t 10 -c:v dvvideo -pix_fmt yuv420p \
    -c:a pcm_s16le -ac 2 -ar 48000 -timecode 00:00:00:00 \
    -metadata creation_time="2004-07-14T10:31:05" -f dv "$DATA/seed.dv.part"
  mv "$DATA/seed.dv.part" "$DATA/seed.dv"
fi
make_clip 1 tiny.avi    # 250 frames
make_clip 30 half.avi   # 7,500 frames, about 1.1 GB
make_clip 60 big.avi    # 15,000 frames, about 2.3 GB

python3 - "$DATA/big.avi" <<'PY'
import os, struct, sys
path = sys.argv[1]
forms = []
size = os.path.getsize(path)
with open(path, "rb") as f:
    pos = 0
    while pos + 12 <= size:
        f.seek(pos)
        cid, csize, form = struct.unpack("<4sI4s", f.read(12))
        forms.append(form.decode("latin-1"))
        pos += 8 + csize + (csize & 1)
print(f"big.avi: {size / 1e9:.2f} GB, RIFF forms: {' '.join(forms)}")
if size < 2e9 or "AVIX" not in forms:
    sys.exit("big.avi is not a >= 2 GB OpenDML file")
PY

OUT=$(mktemp -d)
trap 'rm -rf "$OUT"' EXIT
# Warm the cache: every timed command reads files already in memory.
cat "$DATA/tiny.avi" "$DATA/half.avi" "$DATA/big.avi" > /dev/null
"$SCAN" --runs "$RUNS" "$DATA/tiny.avi" "$DATA/half.avi" "$DATA/big.avi" > "$OUT/scan.tsv"
hyperfine --warmup 2 --runs "$RUNS" --export-json "$OUT/times.json" \
  -n cat "cat $DATA/big.avi > /dev/null" \
  -n korvan-info-scenes "$INFO --scenes $DATA/big.avi > /dev/null" \
  -n korvan-info "$INFO $DATA/big.avi > /dev/null" >&2

python3 - "$OUT/times.json" "$OUT/scan.tsv" <<'PY'
import json, sys
r = {x["command"]: x["median"] for x in json.load(open(sys.argv[1]))["results"]}
scan = {}
for line in open(sys.argv[2]):
    f = line.rstrip("\n").split("\t")
    name = f[0].rsplit("/", 1)[-1]
    kv = dict(x.split(" ", 1) for x in f[1:])
    scan[name] = (int(kv["frames"]), int(kv["scenes"]), float(kv["median_ms"]) / 1000)
cat = r["cat"]
fb, sb, tb = scan["big.avi"]
fh, sh, th = scan["half.avi"]
print(f"cat big.avi                        {cat * 1000:8.1f} ms")
print(f"scene scan of big.avi (in process) {tb * 1000:8.1f} ms   {fb} frames, {sb} scenes   cat/scan {cat / tb:5.1f}x")
print(f"korvan-info --scenes big.avi       {r['korvan-info-scenes'] * 1000:8.1f} ms   (process start and file entry:"
      f" korvan-info big.avi {r['korvan-info'] * 1000:.1f} ms)   cat/command {cat / r['korvan-info-scenes']:4.1f}x")
for name in ("tiny.avi", "half.avi", "big.avi"):
    n, s, t = scan[name]
    print(f"  scan {name:9} {n:6} frames {t * 1000:8.2f} ms   {t / n * 1e6:5.2f} us/frame")
print(f"linearity: scan big / scan half = {tb / th:.2f} for frames x {fb / fh:.2f}")
PY
