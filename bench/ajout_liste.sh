#!/usr/bin/env bash
# Adds 2,000 DV clips to the main window (offscreen) and compares with the
# bare construction of their file entries; prints the longest pause in
# event handling and painting.   bench/ajout_liste.sh [COUNT]
set -euo pipefail
ROOT=$(cd "$(dirname "$0")/.." && pwd)
B="$ROOT/build-bench"
cmake -S "$ROOT" -B "$B" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKORVAN_BENCH=ON -DKORVAN_TESTS=OFF >/dev/null
cmake --build "$B" --target ajout-liste-bench >&2
"$B/bench/ajout-liste-bench" "${1:-2000}"
