#!/usr/bin/env bash
# Korvan developer entry point.
#   ./dev.sh run [files...]   install what is missing, build, start Korvan
#   ./dev.sh test             install what is missing, build, run the test suite
#   ./dev.sh test --sanitize  the same with ASan+UBSan, in build-sanitize/
#   ./dev.sh build            install what is missing and build only
#   ./dev.sh fuzz [TARGET|all] [SECONDS]   build the libFuzzer targets with clang, run one or each
#   ./dev.sh package          build, then the Debian package into build/, checked by lintian
set -euo pipefail
cd "$(dirname "$0")"
ROOT=$(pwd)
BUILD="$ROOT/build"
CMAKE_EXTRA=()

PACKAGES=(
  build-essential cmake ninja-build pkg-config git
  qt6-base-dev qt6-multimedia-dev qt6-qpa-plugins qt6-translations-l10n libgl-dev
  libavformat-dev libavcodec-dev libavutil-dev libswscale-dev libswresample-dev libavfilter-dev
  libgtest-dev libgmock-dev liburing-dev libicu-dev
  ffmpeg mediainfo hyperfine fio fonts-dejavu-core desktop-file-utils strace
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
    cmake -S "$ROOT" -B "$BUILD" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "${launcher[@]}" "${CMAKE_EXTRA[@]}" >&2
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

# The sanitizers' settings, for the tests and for the test discovery that runs
# each test program at build time. Only third-party leaks are suppressed.
sanitizer_env() {
  local supp="$ROOT/tests/sanitizers"
  export ASAN_OPTIONS="detect_leaks=1:halt_on_error=1:detect_odr_violation=0:strict_init_order=1${ASAN_OPTIONS:+:$ASAN_OPTIONS}"
  export LSAN_OPTIONS="suppressions=$supp/lsan.supp:print_suppressions=0${LSAN_OPTIONS:+:$LSAN_OPTIONS}"
  export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1:suppressions=$supp/ubsan.supp${UBSAN_OPTIONS:+:$UBSAN_OPTIONS}"
}

FUZZ_TARGETS=(riff entetes demuxer rapport scn switches dvcodes son_dv ecrivain_avi playlist)

# Single DV frames cut from the shared clips: the seeds of the frame targets.
dv_frame_seeds() {
  local dir="$1/seeds/dv" f
  [ -d "$dir" ] && { printf '%s\n' "$dir"; return; }
  mkdir -p "$dir"
  for f in pal_t2_43 pal_t2_169 pal_t1_43 pal_disp7_ap3_1 ntsc_t1_32k ntsc_t2_43 pal_date_gap; do
    [ -f "$ROOT/../shared/fixtures/$f.avi" ] || continue
    ffmpeg -hide_banner -loglevel error -y -i "$ROOT/../shared/fixtures/$f.avi" -map 0:v:0 -c copy \
      -frames:v 1 -f rawvideo "$dir/$f.dv" || true
  done
  printf '%s\n' "$dir"
}

# Builds and runs one libFuzzer target; a crash, leak, time-out or memory
# blow-up is moved into fuzz/regressions/<target>/, which ctest replays.
fuzz_one() {
  local target=$1 seconds=$2 FB="$ROOT/build-fuzz" max_len=65536 rc=0 f
  if [ ! -f "$FB/build.ninja" ]; then
    CC=clang CXX=clang++ cmake -S "$ROOT" -B "$FB" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
      -DKORVAN_FUZZ=ON -DKORVAN_TESTS=OFF >&2
  fi
  cmake --build "$FB" --target "fuzz_$target" >&2
  local kept="$ROOT/fuzz/regressions/$target" artifacts="$FB/artifacts/$target"
  mkdir -p "$FB/corpus/$target" "$artifacts" "$kept"
  local seeds=("$kept")
  case "$target" in
    # A clip's headers lie in its first kilobytes: longer inputs (the seeds
    # are megabytes of DV frames) only slow the runs down a hundredfold.
    riff|entetes|demuxer|rapport)
      [ -d "$ROOT/../shared/fixtures" ] && seeds+=("$ROOT/../shared/fixtures") ;;
    # The packs the decoders read lie in the first sequence, the writers go
    # through each whole one: two sequences do. The sound writer needs a
    # whole frame (a PAL frame is 144,000 bytes).
    dvcodes) max_len=24000; seeds+=("$(dv_frame_seeds "$FB")") ;;
    son_dv) max_len=150000; seeds+=("$(dv_frame_seeds "$FB")") ;;
    ecrivain_avi|playlist|switches) max_len=4096 ;;
  esac
  log "fuzz_$target for ${seconds}s"
  "$FB/fuzz/fuzz_$target" -max_total_time="$seconds" -timeout=30 -rss_limit_mb=2048 -max_len="$max_len" \
    -print_final_stats=1 -artifact_prefix="$artifacts/" "$FB/corpus/$target" "${seeds[@]}" || rc=$?
  for f in "$artifacts"/crash-* "$artifacts"/leak-* "$artifacts"/timeout-* "$artifacts"/oom-*; do
    [ -e "$f" ] && mv "$f" "$kept/"
  done
  return "$rc"
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
    if [ "${1:-}" = "--sanitize" ]; then
      shift
      sanitizer_env
      BUILD="$ROOT/build-sanitize"
      CMAKE_EXTRA=(-DKORVAN_SANITIZE=ON)
    fi
    build
    (cd "$BUILD" && ctest --output-on-failure --parallel "$(nproc)" "$@")
    # In CI the same suite runs once more under the sanitizers (it fits the
    # time budget: docs/reliability.md); KORVAN_CI_SANITIZE=0 leaves it out.
    if [ "${CI:-}" = true ] && [ "${KORVAN_CI_SANITIZE:-1}" != 0 ] && [ "$BUILD" = "$ROOT/build" ]; then
      log "CI: the test suite under ASan+UBSan"
      exec "$0" test --sanitize "$@"
    fi
    ;;
  build)
    build
    ;;
  fuzz)
    # No target: every target in turn, each for the same time.
    if [ $# -eq 0 ] || [ "$1" = all ]; then
      targets=("${FUZZ_TARGETS[@]}")
    else
      targets=("$1")
    fi
    seconds=${2:-$([ ${#targets[@]} -gt 1 ] && echo 120 || echo 180)}
    ensure_packages "${PACKAGES[@]}" "${FUZZ_PACKAGES[@]}"
    failed=()
    for target in "${targets[@]}"; do
      fuzz_one "$target" "$seconds" || failed+=("$target")
    done
    if [ ${#failed[@]} -gt 0 ]; then
      log "new crashes kept in fuzz/regressions/ for: ${failed[*]}"
      exit 1
    fi
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
    sed -n '2,8p' "$0" | sed 's/^# \{0,1\}//'
    exit 2
    ;;
esac
