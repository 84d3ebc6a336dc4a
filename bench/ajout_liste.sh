#!/usr/bin/env bash
# Adds 2,000 DV clips to the main window (offscreen) and compares with the
# bare construction of their file entries, both in the same process (the
# median of several rounds of each); prints the longest pause in event
# handling and painting.   bench/ajout_liste.sh [COUNT] [ROUNDS]
# Environment: KORVAN_BUILD (build folder, default build; configured here with -DKORVAN_BENCH=ON).
set -euo pipefail
ROOT=$(cd "$(dirname "$0")/.." && pwd)
B=${KORVAN_BUILD:-$ROOT/build}
if [ ! -f "$B/build.ninja" ]; then
  cmake -S "$ROOT" -B "$B" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
fi
cmake -S "$ROOT" -B "$B" -DKORVAN_BENCH=ON >/dev/null
cmake --build "$B" --target ajout-liste-bench >&2
"$B/bench/ajout-liste-bench" "${1:-2000}" "${2:-5}"
