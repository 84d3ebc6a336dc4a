#!/usr/bin/env bash
# Builds the file entries of a folder of DV AVI clips with korvan-info and
# times it against `mediainfo --Output=JSON` on the same files, in the same
# run (whole processes, several runs, medians), then prints the ratio.
#   bench/entries_vs_mediainfo.sh [FOLDER]   (default: a generated folder under build/bench-data)
set -euo pipefail
ROOT=$(cd "$(dirname "$0")/.." && pwd)
INFO="$ROOT/build/tools/korvan-info"
[ -x "$INFO" ] || { echo "build first: ./dev.sh build" >&2; exit 1; }
command -v mediainfo >/dev/null && command -v hyperfine >/dev/null || { echo "needs mediainfo and hyperfine (./dev.sh build installs them)" >&2; exit 1; }

DIR=${1:-}
if [ -z "$DIR" ]; then
  DIR="$ROOT/build/bench-data/entries"
  if [ ! -f "$DIR/.complete" ]; then
    mkdir -p "$DIR"
    # Clips of 2 s, 20 s and 120 s (the entry's cost must not depend on the length),
    # each in DV type 2 (ffmpeg's AVI muxer over raw DV with recording dates).
    for secs in 2 20 120; do
      ffmpeg -hide_banner -loglevel error -y -f lavfi -i "testsrc2=size=720x576:rate=25" \
        -f lavfi -i "sine=frequency=440:sample_rate=48000" -t "$secs" -c:v dvvideo -pix_fmt yuv420p \
        -c:a pcm_s16le -ac 2 -ar 48000 -timecode 00:00:00:00 \
        -metadata creation_time="2004-07-14T10:31:05" -f dv "$DIR/tmp.dv"
      for n in 1 2 3 4 5 6 7 8; do
        ffmpeg -hide_banner -loglevel error -y -i "$DIR/tmp.dv" -c copy "$DIR/clip_${secs}s_$n.avi"
      done
    done
    rm -f "$DIR/tmp.dv"
    touch "$DIR/.complete"
  fi
fi
mapfile -t FILES < <(find "$DIR" -maxdepth 1 -iname '*.avi' | sort)
[ ${#FILES[@]} -gt 0 ] || { echo "no AVI files in $DIR" >&2; exit 1; }
echo "files: ${#FILES[@]} in $DIR ($(du -sh "$DIR" | cut -f1))"

OUT=$(mktemp -d)
trap 'rm -rf "$OUT"' EXIT
# Each tool runs on all the files and on the first one alone: the difference
# is the cost of the other files without the start-up of the process.
printf '%q ' "$INFO" "${FILES[@]}" > "$OUT/korvan.sh"
printf '%q ' mediainfo --Output=JSON "${FILES[@]}" > "$OUT/mediainfo.sh"
printf '%q ' "$INFO" "${FILES[0]}" > "$OUT/korvan1.sh"
printf '%q ' mediainfo --Output=JSON "${FILES[0]}" > "$OUT/mediainfo1.sh"
hyperfine --warmup 2 --runs 15 --export-json "$OUT/times.json" \
  -n korvan-info "bash $OUT/korvan.sh > /dev/null" \
  -n mediainfo "bash $OUT/mediainfo.sh > /dev/null" \
  -n korvan-info-1 "bash $OUT/korvan1.sh > /dev/null" \
  -n mediainfo-1 "bash $OUT/mediainfo1.sh > /dev/null" >&2
python3 - "$OUT/times.json" "${#FILES[@]}" <<'PY'
import json, sys
r = {x["command"]: x["median"] for x in json.load(open(sys.argv[1]))["results"]}
n = int(sys.argv[2])
k, m = r["korvan-info"], r["mediainfo"]
print(f"whole runs on {n} files: korvan-info {k*1000:.1f} ms, mediainfo {m*1000:.1f} ms, ratio {m/k:.1f}x")
kf = (k - r["korvan-info-1"]) / (n - 1) if n > 1 else k
mf = (m - r["mediainfo-1"]) / (n - 1) if n > 1 else m
print(f"per file (start-up excluded): korvan-info {kf*1000:.2f} ms, mediainfo {mf*1000:.2f} ms, ratio {mf/max(kf,1e-9):.1f}x")
PY
