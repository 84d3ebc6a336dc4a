#!/usr/bin/env bash
# Screenshots of the options panel's four pages and of the about panel's
# four pages, under a virtual X server (Xvfb, xdotool, ImageMagick's
# import), into docs/*.png. The window starts as on a first run, with the
# example plug-in of the build beside the program.
set -euo pipefail
ROOT=$(cd "$(dirname "$0")/.." && pwd)
FIX="$ROOT/../shared/fixtures"
TMP=$(mktemp -d)
trap 'kill $(jobs -p) 2>/dev/null || true; rm -rf "$TMP"' EXIT
export HOME="$TMP" XDG_CONFIG_HOME="$TMP/c" XDG_DATA_HOME="$TMP/d" DISPLAY=:98 LANG=fr_FR.UTF-8 LANGUAGE=fr
mkdir -p "$TMP/Documents"
Xvfb :98 -screen 0 1280x800x24 >/dev/null 2>&1 &
sleep 1
(cd "$FIX" && "$ROOT/build/korvan" pal_t2_43.avi) &
sleep 3
id=$(xdotool search --name '^Korvan de Brannoc$' | head -1)
capture() {
  sleep 0.8
  eval "$(xdotool getwindowgeometry --shell "$id")" # X, Y, WIDTH, HEIGHT
  import -window root -crop "${WIDTH}x${HEIGHT}+${X}+${Y}" +repage "$ROOT/docs/$1"
}

# F10, then each page in turn (Ctrl+Tab moves to the next one).
xdotool windowfocus --sync "$id" key F10
capture options_preferences.png
for page in commandes formats dossiers; do
  xdotool key ctrl+Tab
  capture "options_$page.png"
done
xdotool key F10
sleep 0.5

# F1 opens the about panel where it was left: its first page, then the
# system report, the command-line table and the plug-ins.
xdotool windowfocus --sync "$id" key F1
capture apropos.png
for page in systeme ligne_commande plugins; do
  xdotool key ctrl+Tab
  capture "apropos_$page.png"
done
xdotool key F1
