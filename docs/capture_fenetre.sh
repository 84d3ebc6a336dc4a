#!/usr/bin/env bash
# Screenshots of the main window with a few of the shared clips loaded, of
# its menus, of the open dialog and of the RIFF report window, under a
# virtual X server (Xvfb, xdotool, ImageMagick's import), into docs/*.png.
set -euo pipefail
ROOT=$(cd "$(dirname "$0")/.." && pwd)
FIX="$ROOT/../shared/fixtures"
TMP=$(mktemp -d)
trap 'kill $(jobs -p) 2>/dev/null || true; rm -rf "$TMP"' EXIT
# A French desktop: dates and file types in the dialogs follow its locale.
export HOME="$TMP" XDG_CONFIG_HOME="$TMP/c" XDG_DATA_HOME="$TMP/d" DISPLAY=:97 LANG=fr_FR.UTF-8 LANGUAGE=fr
# The datecode drawn over the preview, as "Afficher le datecode" leaves it.
mkdir -p "$TMP/c/Brannoc"
printf '[General]\nis%%20Incrust%%20On=1\n' > "$TMP/c/Brannoc/Korvan.conf"
Xvfb :97 -screen 0 1280x800x24 >/dev/null 2>&1 &
sleep 1
(cd "$FIX" && "$ROOT/build/korvan" pal_t2_43.avi pal_t2_169.avi ntsc_t1_32k.avi pal_scenes_two.avi \
   pal_t1_43.avi pal_no_date.avi mjpeg_pcm.avi pal_handler_CDVC.avi) &
sleep 3
id=$(xdotool search --name '^Korvan de Brannoc$' | head -1)
eval "$(xdotool getwindowgeometry --shell "$id")" # X, Y, WIDTH, HEIGHT
fenetre="${WIDTH}x${HEIGHT}+${X}+${Y}"
import -window root -crop "$fenetre" "$ROOT/docs/fenetre_principale.png"

# A menu of the menu bar, opened by a click on its title (x within the bar).
menu() {
  xdotool mousemove --window "$id" "$1" 10 click 1
  sleep 0.7
  import -window root -crop "$fenetre" "$ROOT/docs/$2"
  xdotool key Escape
  sleep 0.3
}
menu 25 menu_fichiers.png
menu 85 menu_video.png
menu 150 menu_renommer.png
menu 225 menu_convertir.png
menu 290 menu_scenes.png

# The RIFF report of the selected clip (Ctrl+H), a window of its own.
xdotool windowfocus --sync "$id" key ctrl+h
sleep 1.5
riff=$(xdotool search --name '^En-t.*te du fichier ' | head -1)
eval "$(xdotool getwindowgeometry --shell "$riff")"
import -window root -crop "${WIDTH}x${HEIGHT}+${X}+${Y}" +repage "$ROOT/docs/rapport_riff.png"
xdotool key Escape
sleep 0.5

xdotool windowfocus --sync "$id" key ctrl+o
sleep 1.5
import -window root "$TMP/ecran.png"
convert "$TMP/ecran.png" -trim +repage "$ROOT/docs/dialogue_ouvrir.png" 2>/dev/null || cp "$TMP/ecran.png" "$ROOT/docs/dialogue_ouvrir.png"
xdotool key Escape
