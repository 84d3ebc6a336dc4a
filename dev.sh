#!/usr/bin/env bash
# Korvan developer entry point.
#   ./dev.sh run [files...]   install what is missing, build, start Korvan
#   ./dev.sh test             install what is missing, build, run the test suite
#   ./dev.sh build            install what is missing and build only
#   ./dev.sh fuzz TARGET [SECONDS]   build the libFuzzer targets with clang and run one
#   ./dev.sh package          build, then the Debian package into build/, checked by lintian
set -euo pipefail
cd "$(dirname "$0")"
ROOT=$(pwd)
BUILD="$ROOT/build"

PACKAGES=(
  build-essential cmake ninja-build pkg-config git
  qt6-base-dev qt6-multimedia-dev qt6-qpa-plugins qt6-translations-l10n libgl-dev
  libavformat-dev libavcodec-dev libavutil-dev libswscale-dev libswresample-dev libavfilter-dev
  libgtest-dev libgmock-dev liburing-dev
  ffmpeg mediainfo hyperfine fonts-dejavu-core desktop-file-utils
)
# The install test renders the manual pages.
PACKAGES+=(man-db)
FUZZ_PACKAGES=(clang libclang-rt-dev)
# dpkg-shlibdeps (dpkg-dev) reads the dependencies, which CPack finds with file.
PACKAGE_PACKAGES=(dpkg-dev file lintian)

log() { printf '\033[1m[dev]\033[0m %s\n' "$*" >&2; }

ensure_packages() {
  local missing=() p
  for p in "$@"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
      missing+=("$p")
    fi
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  log "installing: ${missing[*]}"
  local sudo=()
  [ "$(id -u)" -ne 0 ] && sudo=(sudo)
  export DEBIAN_FRONTEND=noninteractive
  "${sudo[@]}" apt-get update -qq
  "${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
}

build() {
  ensure_packages "${PACKAGES[@]}"
  if [ ! -f "$BUILD/build.ninja" ]; then
    local launcher=()
    # ccache, when the machine has it, makes rebuilds in several trees cheap.
    command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache)
    cmake -S "$ROOT" -B "$BUILD" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "${launcher[@]}" >&2
  fi
  cmake --build "$BUILD" --parallel "$(nproc)" >&2
}

# A few seconds of PAL DV type 2 with a recording date and a time code, made
# with ffmpeg so a first start has something to show.
sample_clip() {
  local dir="$BUILD/exemple" out="$BUILD/exemple/exemple_dv.avi"
  if [ ! -s "$out" ]; then
    mkdir -p "$dir"
    ffmpeg -hide_banner -loglevel error -y \
      -f lavfi -i "testsrc2=size=720x576:rate=25" \
      -f lavfi -i "sine=frequency=440:sample_rate=48000" \
      -t 4 -c:v dvvideo -pix_fmt yuv420p -c:a pcm_s16le -ac 2 -ar 48000 \
      -timecode 00:01:00:00 -metadata creation_time="2004-07-14T10:31:05" \
      -f dv "$dir/exemple.dv"
    ffmpeg -hide_banner -loglevel error -y -i "$dir/exemple.dv" -c copy "$out"
    rm -f "$dir/exemple.dv"
  fi
  printf '%s\n' "$out"
}

cmd=${1:-}
[ $# -gt 0 ] && shift
case "$cmd" in
  run)
    build
    if [ $# -eq 0 ]; then
      set -- "$(sample_clip)"
    fi
    exec "$BUILD/korvan" "$@"
    ;;
  test)
    build
    cd "$BUILD"
    exec ctest --output-on-failure --parallel "$(nproc)" "$@"
    ;;
  build)
    build
    ;;
  fuzz)
    target=${1:?usage: ./dev.sh fuzz TARGET [SECONDS]}
    seconds=${2:-180}
    ensure_packages "${PACKAGES[@]}" "${FUZZ_PACKAGES[@]}"
    FB="$ROOT/build-fuzz"
    if [ ! -f "$FB/build.ninja" ]; then
      CC=clang CXX=clang++ cmake -S "$ROOT" -B "$FB" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
        -DKORVAN_FUZZ=ON -DKORVAN_TESTS=OFF >&2
    fi
    cmake --build "$FB" --target "fuzz_$target" >&2
    mkdir -p "$FB/corpus/$target" "$FB/artifacts"
    # The shared test clips seed the corpus when they sit beside the checkout.
    seeds=()
    [ -d "$ROOT/../shared/fixtures" ] && seeds+=("$ROOT/../shared/fixtures")
    # A clip's headers lie in its first kilobytes: longer inputs (the seeds
    # are megabytes of DV frames) only slow the runs down a hundredfold.
    exec "$FB/fuzz/fuzz_$target" -max_total_time="$seconds" -rss_limit_mb=2048 -max_len=65536 \
      -artifact_prefix="$FB/artifacts/$target-" "$FB/corpus/$target" "${seeds[@]}"
    ;;
  package)
    build
    ensure_packages "${PACKAGES[@]}" "${PACKAGE_PACKAGES[@]}"
    (cd "$BUILD" && cpack -G DEB >&2)
    deb=$(ls -t "$BUILD"/korvan_*.deb | head -1)
    log "lintian $deb"
    # Warnings are shown; only an error fails the command.
    lintian --fail-on error "$deb" >&2
    printf '%s\n' "$deb"
    ;;
  *)
    sed -n '2,7p' "$0" | sed 's/^# \{0,1\}//'
    exit 2
    ;;
esac
