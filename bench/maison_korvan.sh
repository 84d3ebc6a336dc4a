# Sourced by the benchmarks that run korvan: the program's settings and lists
# stay in a home of the run's own, and its outputs go to the folder given
# (the settings file escapes the key's non-ASCII letter as its Latin-1 code).
#   maison_korvan OUT
maison_korvan() {
  export HOME="$1/home" XDG_CONFIG_HOME="$1/home/.config" XDG_DATA_HOME="$1/home/.local/share"
  mkdir -p "$XDG_CONFIG_HOME/Brannoc"
  printf '[General]\nSauver%%20dans%%20le%%20m%%EAme%%20dossier=0\nDossier%%20pour%%20Sauver=%s/\n' "$1" \
    > "$XDG_CONFIG_HOME/Brannoc/Korvan.conf"
}
