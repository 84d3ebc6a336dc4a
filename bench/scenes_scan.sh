#!/usr/bin/env bash
# Times the scene scan of large DV AVI files against reading them once with
# cat, in the same run, warm (files in the page cache) and cold (their pages
# evicted before each run of either command), checks that the scan cost
# grows with the number of frames only, and prints the peak memory of the
# scan of the largest clip.
#   bench/scenes_scan.sh            (generates the clips once under build/bench-data/scenes)
# Environment: KORVAN_BUILD (build folder holding tools/korvan-info, default build),
#              BENCH_DATA (where the clips go, default build/bench-data/scenes), RUNS (default 7),
#              COLD_RUNS (default 3; 0 skips the cold runs).
# With fio installed, the cold runs also replay the scan's own reads (the
# packs of every frame, from the frame index) against the evicted file, with
# as many reads in flight as the scan keeps (two threads, a lot of 128 each),
# through the page cache and with O_DIRECT: what the disk allows for that
# access pattern, and so the best ratio to cat it leaves.
#
# The scan alone is timed in process by scenes-scan-bench (bench/, built here
# with -DKORVAN_BENCH=ON); the whole command, korvan-info --scenes, and cat are
# timed by hyperfine.
set -euo pipefail
ROOT=$(cd "$(dirname "$0")/.." && pwd)
BUILD=${KORVAN_BUILD:-$ROOT/build}
DATA=${BENCH_DATA:-$ROOT/build/bench-data/scenes}
RUNS=${RUNS:-7}
COLD_RUNS=${COLD_RUNS:-3}
for tool in cmake ffmpeg hyperfine python3 /usr/bin/time; do
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
make_clip 1 tiny.avi     # 250 frames
make_clip 60 half.avi    # 15,000 frames, about 2.3 GB
make_clip 120 big.avi    # 30,000 frames (20 minutes), about 4.5 GB

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
if size < 4e9 or "AVIX" not in forms:
    sys.exit("big.avi is not a >= 4 GB OpenDML file")
PY

OUT=$(mktemp -d)
trap 'rm -rf "$OUT"' EXIT
# Evicts a file's pages from the page cache (clean pages only: the clips are
# not being written).
cat > "$OUT/evict.py" <<'PY'
import os, sys
for p in sys.argv[1:]:
    fd = os.open(p, os.O_RDONLY)
    os.posix_fadvise(fd, 0, 0, os.POSIX_FADV_DONTNEED)
    os.close(fd)
PY
EVICT="python3 $OUT/evict.py $DATA/big.avi"

# Warm: every timed command reads files already in memory.
cat "$DATA/tiny.avi" "$DATA/half.avi" "$DATA/big.avi" > /dev/null
"$SCAN" --runs "$RUNS" "$DATA/tiny.avi" "$DATA/half.avi" "$DATA/big.avi" > "$OUT/scan.tsv"
hyperfine -N --warmup 2 --runs "$RUNS" --export-json "$OUT/warm.json" \
  -n cat "cat $DATA/big.avi" \
  -n korvan-info-scenes "$INFO --scenes $DATA/big.avi" \
  -n korvan-info "$INFO $DATA/big.avi" >&2
/usr/bin/time -f "%M" -o "$OUT/rss_warm" "$INFO" --scenes "$DATA/big.avi" > /dev/null

if [ "$COLD_RUNS" -gt 0 ]; then
  $EVICT
  command -v fincore > /dev/null && echo "after eviction: $(fincore --noheadings --output RES "$DATA/big.avi" | tr -d ' ') of big.avi in the page cache" >&2
  /usr/bin/time -f "%M" -o "$OUT/rss_cold" "$INFO" --scenes "$DATA/big.avi" > /dev/null
  hyperfine -N --runs "$COLD_RUNS" --prepare "$EVICT" --export-json "$OUT/cold.json" \
    -n cat "cat $DATA/big.avi" \
    -n korvan-info-scenes "$INFO --scenes $DATA/big.avi" >&2
  if command -v fio > /dev/null; then
    "$SCAN" --iolog "$OUT/scan.iolog" "$DATA/big.avi"
    # O_DIRECT wants aligned blocks: each read widened to the 4 KiB pages it touches.
    awk '$2 == "read" { d = int($3 / 4096) * 4096; f = int(($3 + $4 + 4095) / 4096) * 4096
                        printf "%s read %.0f %.0f\n", $1, d, f - d; next } { print }' \
      "$OUT/scan.iolog" > "$OUT/scan-direct.iolog"
    for mode in buffered direct; do
      for run in $(seq "$COLD_RUNS"); do
        $EVICT
        if [ "$mode" = buffered ]; then log="$OUT/scan.iolog"; direct=0; else log="$OUT/scan-direct.iolog"; direct=1; fi
        fio --name=packs --read_iolog="$log" --replay_no_stall=1 --readonly --ioengine=io_uring \
          --iodepth=256 --direct=$direct --fadvise_hint=random --output-format=json > "$OUT/fio-$mode-$run.json"
      done
    done
  fi
fi

python3 - "$OUT" "$COLD_RUNS" <<'PY'
import json, os, sys
out, cold_runs = sys.argv[1], int(sys.argv[2])
def medians(name):
    return {x["command"]: x["median"] for x in json.load(open(f"{out}/{name}.json"))["results"]}
r = medians("warm")
scan = {}
for line in open(f"{out}/scan.tsv"):
    f = line.rstrip("\n").split("\t")
    name = f[0].rsplit("/", 1)[-1]
    kv = dict(x.split(" ", 1) for x in f[1:])
    scan[name] = (int(kv["frames"]), int(kv["scenes"]), float(kv["median_ms"]) / 1000)
cat = r["cat"]
fb, sb, tb = scan["big.avi"]
fh, sh, th = scan["half.avi"]
print("warm (page cache):")
print(f"  cat big.avi                        {cat * 1000:8.1f} ms")
print(f"  scene scan of big.avi (in process) {tb * 1000:8.1f} ms   {fb} frames, {sb} scenes   cat/scan {cat / tb:5.1f}x")
print(f"  korvan-info --scenes big.avi       {r['korvan-info-scenes'] * 1000:8.1f} ms   (process start and file entry:"
      f" korvan-info big.avi {r['korvan-info'] * 1000:.1f} ms)   cat/command {cat / r['korvan-info-scenes']:4.1f}x")
for name in ("tiny.avi", "half.avi", "big.avi"):
    n, s, t = scan[name]
    print(f"    scan {name:9} {n:6} frames {t * 1000:8.2f} ms   {t / n * 1e6:5.2f} us/frame")
print(f"  linearity: scan big / scan half = {tb / th:.2f} for frames x {fb / fh:.2f}")
print(f"  peak RSS of korvan-info --scenes big.avi: {int(open(f'{out}/rss_warm').read().split()[-1]) / 1024:.1f} MiB")
if cold_runs > 0:
    c = medians("cold")
    k = c["korvan-info-scenes"]
    print(f"cold (pages evicted before each run, {cold_runs} runs):")
    print(f"  cat big.avi                        {c['cat'] * 1000:8.1f} ms")
    print(f"  korvan-info --scenes big.avi       {k * 1000:8.1f} ms   cat/command {c['cat'] / k:4.1f}x"
          f"   ({fb / k:.0f} frame reads/s)")
    print(f"  peak RSS of korvan-info --scenes big.avi: {int(open(f'{out}/rss_cold').read().split()[-1]) / 1024:.1f} MiB")
    best = None
    for mode in ("buffered", "direct"):
        runs = []
        for i in range(1, cold_runs + 1):
            path = f"{out}/fio-{mode}-{i}.json"
            if os.path.exists(path):
                job = json.load(open(path))["jobs"][0]["read"]
                runs.append((job["runtime"] / 1000, job["iops"], job["total_ios"]))
        if not runs:
            continue
        runs.sort()
        t, iops, ios = runs[len(runs) // 2]
        best = t if best is None else min(best, t)
        print(f"  fio, the scan's {ios} reads, 256 in flight, {mode:8}  {t * 1000:8.1f} ms   {iops / 1000:.0f}k IOPS")
    if best:
        print(f"  what the disk allows: cat/command at most {c['cat'] / (best + r['korvan-info']):4.1f}x"
              f" (the fastest replay plus process start and file entry); the scan reaches"
              f" {100 * (best + r['korvan-info']) / k:.0f}% of it")
PY
