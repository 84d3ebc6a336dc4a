#!/usr/bin/env bash
# DV type conversion of a 2 GB clip against cp and against ffmpeg's remux
# (ffmpeg -i in.avi -c copy out.avi) of the same file, warm cache, in the
# same run: the medians, the throughputs (source bytes a second), their
# ratios, the largest resident memory of each, and how long a stop request
# (Esc) takes to close the output of a conversion under way.
#   bench/conversion_type.sh     (makes the clips once under build/bench-data/conversion)
# Environment: KORVAN_BUILD (build folder, default build), BENCH_DATA (where
#              the clips go), RUNS (default 5), SORTIES (where every command
#              writes its output: a tmpfs by default, /dev/shm when it has
#              6 GB free, so that the write-back of one run's 2 GB to the
#              disk does not slow the next command down; set it to a disk
#              folder to time the disk too).
set -euo pipefail
ROOT=$(cd "$(dirname "$0")/.." && pwd)
BUILD=${KORVAN_BUILD:-$ROOT/build}
DATA=${BENCH_DATA:-$ROOT/build/bench-data/conversion}
RUNS=${RUNS:-5}
FIXTURES=${KORVAN_FIXTURES_DIR:-$ROOT/../shared/fixtures}
for tool in cmake ffmpeg hyperfine python3 /usr/bin/time; do
  command -v "$tool" >/dev/null || { echo "needs $tool" >&2; exit 1; }
done
[ -f "$BUILD/build.ninja" ] || [ -f "$BUILD/Makefile" ] || { echo "configure $BUILD first" >&2; exit 1; }
cmake -S "$ROOT" -B "$BUILD" -DKORVAN_BENCH=ON > /dev/null
cmake --build "$BUILD" --target korvan arret-conversion-bench >&2
KORVAN="$BUILD/korvan"
ARRET="$BUILD/bench/arret-conversion-bench"

if [ -z "${SORTIES:-}" ]; then
  if [ "$(df --output=avail -k /dev/shm 2>/dev/null | tail -1)" -gt $((6 * 1024 * 1024)) ] 2>/dev/null; then
    SORTIES=/dev/shm
  else
    SORTIES=$DATA
  fi
fi
OUT=$(mktemp -d -p "$SORTIES" korvan-bench.XXXXXX)
trap 'rm -rf "$OUT"' EXIT
. "$ROOT/bench/maison_korvan.sh"
maison_korvan "$OUT"

# 14,130 PAL frames of DV type 2 (ffmpeg's AVI muxer, OpenDML past 1 GiB),
# and the same clip as DV type 1.
mkdir -p "$DATA"
if [ ! -f "$DATA/t2.avi" ]; then
  ffmpeg -hide_banner -loglevel error -y -stream_loop 470 -i "$FIXTURES/pal_t2_43.avi" -c copy "$DATA/t2.part.avi"
  mv "$DATA/t2.part.avi" "$DATA/t2.avi"
fi
if [ ! -f "$DATA/t1.avi" ]; then
  "$KORVAN" +h1 "$DATA/t2.avi"
  mv "$OUT/t2_type1.avi" "$DATA/t1.avi"
fi
cat "$DATA/t2.avi" "$DATA/t1.avi" > /dev/null

hyperfine --warmup 1 --runs "$RUNS" --export-json "$OUT/times.json" \
  -n cp --prepare "rm -f $OUT/cp.avi" "cp $DATA/t2.avi $OUT/cp.avi" \
  -n korvan-type1 --prepare "rm -f $OUT/t2_type1.avi" "$KORVAN +h1 $DATA/t2.avi" \
  -n korvan-type2 --prepare "rm -f $OUT/t1_type2.avi" "$KORVAN +h2 $DATA/t1.avi" \
  -n ffmpeg-remux --prepare "rm -f $OUT/ff.avi" "ffmpeg -v error -y -i $DATA/t2.avi -c copy $OUT/ff.avi" >&2

memoire() { # largest resident set in KiB of one run
  local f=$OUT/rss
  /usr/bin/time -f "%M" -o "$f" "$@" > /dev/null
  cat "$f"
}
rm -f "$OUT/cp.avi" "$OUT/t2_type1.avi" "$OUT/t1_type2.avi" "$OUT/ff.avi"
RSS_CP=$(memoire cp "$DATA/t2.avi" "$OUT/cp.avi")
RSS_K1=$(memoire "$KORVAN" +h1 "$DATA/t2.avi")
RSS_K2=$(memoire "$KORVAN" +h2 "$DATA/t1.avi")
RSS_FF=$(memoire ffmpeg -v error -y -i "$DATA/t2.avi" -c copy "$OUT/ff.avi")
SIZE_T2=$(stat -c %s "$DATA/t2.avi")
SIZE_T1=$(stat -c %s "$DATA/t1.avi")
rm -f "$OUT/cp.avi" "$OUT/t2_type1.avi" "$OUT/t1_type2.avi" "$OUT/ff.avi"

# The stop, writing to the output folder and to the clips' disk.
"$ARRET" --runs "$RUNS" "$DATA/t2.avi" "$OUT/arret.avi" > "$OUT/arret.txt"
"$ARRET" --runs "$RUNS" "$DATA/t2.avi" "$DATA/arret.avi" > "$OUT/arret_disque.txt"
rm -f "$OUT/arret.avi" "$DATA/arret.avi"

python3 - "$OUT/times.json" "$SIZE_T2" "$SIZE_T1" "$RSS_CP" "$RSS_K1" "$RSS_K2" "$RSS_FF" "$OUT/arret.txt" "$SORTIES" "$OUT/arret_disque.txt" "$DATA" <<'PY'
import json, sys
r = {x["command"]: x["median"] for x in json.load(open(sys.argv[1]))["results"]}
t2, t1 = int(sys.argv[2]), int(sys.argv[3])
rss = dict(zip(["cp", "korvan-type1", "korvan-type2", "ffmpeg-remux"], map(int, sys.argv[4:8])))
source = {"cp": t2, "korvan-type1": t2, "korvan-type2": t1, "ffmpeg-remux": t2}
debit = {k: source[k] / r[k] / 1e6 for k in r}
print(f"source: type 2 {t2 / 1e9:.2f} GB, type 1 {t1 / 1e9:.2f} GB; outputs in {sys.argv[9]}")
for k in ("cp", "korvan-type1", "korvan-type2", "ffmpeg-remux"):
    print(f"{k:13} {r[k] * 1000:8.0f} ms  {debit[k]:7.0f} MB/s  max RSS {rss[k] / 1024:6.1f} MiB")
for k in ("korvan-type1", "korvan-type2"):
    print(f"{k}: {debit[k] / debit['cp']:.2f} x cp's throughput (goal >= 0.8), "
          f"{debit[k] / debit['ffmpeg-remux']:.2f} x ffmpeg's remux (goal > 1)")
print(f"{sys.argv[9]}: " + open(sys.argv[8]).read().strip().splitlines()[-1])
print(f"{sys.argv[11]}: " + open(sys.argv[10]).read().strip().splitlines()[-1])
PY
