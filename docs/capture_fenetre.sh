#!/usr/bin/env bash
# Screenshot of the main window with a few of the shared clips loaded, under
# a virtual X server (Xvfb, ImageMagick's import), into docs/fenetre_principale.png.
set -euo pipefail
ROOT=$(cd "$(dirname "$0")/.." && pwd)
FIX="$ROOT/../shared/fixtures"
TMP=$(mktemp -d)
trap 'kill $(jobs -p) 2>/dev/null || true; rm -rf "$TMP"' EXIT
export HOME="$TMP" XDG_CONFIG_HOME="$TMP/c" XDG_DATA_HOME="$TMP/d" DISPLAY=:97
Xvfb :97 -screen 0 1280x800x24 >/dev/null 2>&1 &
sleep 1
(cd "$FIX" && "$ROOT/build/korvan" pal_t2_43.avi pal_t2_169.avi ntsc_t1_32k.avi pal_scenes_two.avi \
   pal_t1_43.avi pal_no_date.avi mjpeg_pcm.avi pal_handler_CDVC.avi) &
sleep 3
import -window root -crop 1040x600+0+0 "$ROOT/docs/fenetre_principale.png"
