#!/usr/bin/env bash
# Builds the file entries of a folder of DV AVI clips with korvan-info and
# times it against `mediainfo --Output=JSON` on the same files, in the same
# run (whole processes, several runs, medians), then prints the ratio, the
# system calls per file (strace -c) and the start-up of korvan-info against a
# bare program.
#   bench/entries_vs_mediainfo.sh [FOLDER]   (default: COUNT generated clips under build/bench-data)
# Environment: COUNT (default 2000), RUNS (default 15).
set -euo pipefail
ROOT=$(cd "$(dirname "$0")/.." && pwd)
INFO="$ROOT/build/tools/korvan-info"
COUNT=${COUNT:-2000}
RUNS=${RUNS:-15}
[ -x "$INFO" ] || { echo "build first: ./dev.sh build" >&2; exit 1; }
for tool in mediainfo hyperfine strace ffmpeg python3; do
  command -v "$tool" >/dev/null || { echo "needs $tool (./dev.sh build installs mediainfo and hyperfine; apt-get install strace)" >&2; exit 1; }
done

DIR=${1:-}
if [ -z "$DIR" ]; then
  DIR="$ROOT/build/bench-data/entries"
  if [ "$(cat "$DIR/.complete" 2>/dev/null)" != "$COUNT" ]; then
    rm -rf "$DIR"
    mkdir -p "$DIR"
    # Clips of 1 s, 2 s, 20 s and 120 s (the entry's cost must not depend on
    # the length), in DV type 2 (ffmpeg's AVI muxer over raw DV with
    # recording dates); the 1 s clips are copies, each its own file.
    for secs in 1 2 20 120; do
      ffmpeg -hide_banner -loglevel error -y -f lavfi -i "testsrc2=size=720x576:rate=25" \
        -f lavfi -i "sine=frequency=440:sample_rate=48000" -t "$secs" -c:v dvvideo -pix_fmt yuv420p \
        -c:a pcm_s16le -ac 2 -ar 48000 -timecode 00:00:00:00 \
        -metadata creation_time="2004-07-14T10:31:05" -f dv "$DIR/tmp.dv"
      if [ "$secs" = 1 ]; then
        ffmpeg -hide_banner -loglevel error -y -i "$DIR/tmp.dv" -c copy -f avi "$DIR/seed_1s.avi.part"
      else
        for n in 1 2 3 4 5 6 7 8; do
          ffmpeg -hide_banner -loglevel error -y -i "$DIR/tmp.dv" -c copy "$DIR/clip_${secs}s_$n.avi"
        done
      fi
    done
    for ((n = 24; n < COUNT; n++)); do
      cp "$DIR/seed_1s.avi.part" "$DIR/$(printf 'clip_1s_%05d.avi' "$n")"
    done
    rm -f "$DIR/tmp.dv" "$DIR/seed_1s.avi.part"
    echo "$COUNT" > "$DIR/.complete"
  fi
fi
mapfile -t FILES < <(find "$DIR" -maxdepth 1 -iname '*.avi' | sort)
[ ${#FILES[@]} -gt 1 ] || { echo "fewer than two AVI files in $DIR" >&2; exit 1; }
echo "files: ${#FILES[@]} in $DIR ($(du -sh "$DIR" | cut -f1))"

OUT=$(mktemp -d)
trap 'rm -rf "$OUT"' EXIT
# Each tool runs on all the files and on the first one alone: the difference
# is the cost of the other files without the start-up of the process.
printf '%q ' "$INFO" "${FILES[@]}" > "$OUT/korvan.sh"
printf '%q ' mediainfo --Output=JSON "${FILES[@]}" > "$OUT/mediainfo.sh"
printf '%q ' "$INFO" "${FILES[0]}" > "$OUT/korvan1.sh"
printf '%q ' mediainfo --Output=JSON "${FILES[0]}" > "$OUT/mediainfo1.sh"
# Warm the cache for both tools alike.
bash "$OUT/mediainfo.sh" > /dev/null
hyperfine --warmup 2 --runs "$RUNS" -N --export-json "$OUT/times.json" \
  -n korvan-info "bash $OUT/korvan.sh" \
  -n mediainfo "bash $OUT/mediainfo.sh" \
  -n korvan-info-1 "$INFO ${FILES[0]}" \
  -n mediainfo-1 "mediainfo --Output=JSON ${FILES[0]}" \
  -n bare "/bin/true" >&2

# System calls of the whole run and of one file: the difference over the
# other files is what one more file costs.
strace -f -c -o "$OUT/strace_n.txt" "$INFO" "${FILES[@]}" > /dev/null
strace -f -c -o "$OUT/strace_1.txt" "$INFO" "${FILES[0]}" > /dev/null
python3 - "$OUT" "${#FILES[@]}" <<'PY'
import json, re, sys
out, n = sys.argv[1], int(sys.argv[2])
r = {x["command"]: x["median"] for x in json.load(open(out + "/times.json"))["results"]}
k, m = r["korvan-info"], r["mediainfo"]
print(f"whole runs on {n} files: korvan-info {k*1000:.1f} ms, mediainfo {m*1000:.1f} ms, ratio {m/k:.1f}x")
kf = (k - r["korvan-info-1"]) / (n - 1)
mf = (m - r["mediainfo-1"]) / (n - 1)
print(f"per file (start-up excluded): korvan-info {kf*1e6:.1f} us, mediainfo {mf*1e6:.1f} us, ratio {mf/max(kf,1e-9):.1f}x")
print(f"start-up: korvan-info on one file {r['korvan-info-1']*1000:.2f} ms, bare /bin/true {r['bare']*1000:.2f} ms, "
      f"mediainfo on one file {r['mediainfo-1']*1000:.2f} ms")

def calls(path):
    per = {}
    for line in open(path):
        f = line.split()
        # seconds usecs/call calls [errors] syscall
        if len(f) >= 5 and re.match(r"^[\d.]+$", f[0]) and f[-1] != "total":
            per[f[-1]] = int(f[3])
    return per
cn, c1 = calls(out + "/strace_n.txt"), calls(out + "/strace_1.txt")
diff = {s: (cn.get(s, 0) - c1.get(s, 0)) / (n - 1) for s in set(cn) | set(c1)}
per_file = sum(diff.values())
detail = ", ".join(f"{s} {v:.2f}" for s, v in sorted(diff.items(), key=lambda x: -x[1]) if v >= 0.01)
print(f"system calls per file (strace -f -c): {per_file:.2f}  ({detail})")
print(f"system calls of korvan-info on one file: {sum(c1.values())}")
PY
