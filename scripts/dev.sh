#!/usr/bin/env bash
# Installs what is missing, builds, and then starts the program ("run") or runs
# every test ("test"). Works as root or through sudo, with or without a display.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."

mode=${1:-}
case "$mode" in
  run|test) ;;
  *) echo "usage: scripts/dev.sh run|test" >&2; exit 2 ;;
esac

build_pkgs=(
  cmake ninja-build ccache g++ lld pkg-config
  qt6-base-dev qt6-base-dev-tools libgl-dev
  libgtest-dev libgmock-dev googletest libbenchmark-dev
  zlib1g-dev libjpeg-dev libpng-dev libssl-dev
  libfontconfig-dev libfreetype-dev libharfbuzz-dev libicu-dev libcups2-dev
  fonts-liberation2 fonts-wine
)
# qt6-translations-l10n: Qt's own Czech texts for standard buttons and dialogs.
run_pkgs=(xvfb xauth qt6-translations-l10n)
test_pkgs=(
  zbar-tools zxing-cpp-tools dmtx-utils poppler-utils qpdf libxml2-utils
  gzip openssl libc-bin python3 python3-fonttools python3-pil clang libclang-rt-14-dev
  opentype-sanitizer fonts-dejavu-core libharfbuzz-bin
  cups-daemon cups-client
  qt6-translations-l10n
  xvfb xauth xdotool xclip
)

pkgs=("${build_pkgs[@]}")
if [ "$mode" = test ]; then pkgs+=("${test_pkgs[@]}"); else pkgs+=("${run_pkgs[@]}"); fi

missing=()
for p in "${pkgs[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  sudo=""
  [ "$(id -u)" -eq 0 ] || sudo="sudo"
  echo "Installing: ${missing[*]}"
  $sudo apt-get update
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y --no-install-recommends "${missing[@]}"
fi

# CPU seconds used so far by finished child processes, into $cpu_now ("times"
# must run in this shell, not in a command substitution).
child_cpu() {
  local f; f=$(mktemp)
  times >"$f"
  cpu_now=$(tail -n 1 "$f" | awk '{ split($1 " " $2, t, /[ms]/); print int(t[1] * 60 + t[2] + t[3] * 60 + t[4]) }')
  rm -f "$f"
}

build=build
sanitize=OFF
bench=ON
# CI runs the tests under the sanitizers and has no use for the benchmark
# program, which is run by hand from an optimised build.
if [ "$mode" = test ] && [ "${CI:-}" = true ]; then sanitize=ON; bench=OFF; fi
jobs=$(nproc)

started=$SECONDS; child_cpu; cpu=$cpu_now
cmake -S . -B "$build" -G Ninja -DSORVAMET_SANITIZE=$sanitize -DSORVAMET_BENCH=$bench >/dev/null
cmake --build "$build" -j "$jobs"
child_cpu
echo "build: $((SECONDS - started)) s on $jobs cores, $((cpu_now - cpu)) s of CPU"

if [ "$mode" = run ]; then
  if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
    echo "No display: starting under a virtual X server." >&2
    exec xvfb-run -a "$build/bin/sorvamet"
  fi
  exec "$build/bin/sorvamet"
fi

export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=0:abort_on_error=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
export QT_QPA_PLATFORM=offscreen
started=$SECONDS; child_cpu; cpu=$cpu_now
status=0
ctest --test-dir "$build" --output-on-failure -j "$jobs" || status=$?
child_cpu
echo "tests: $((SECONDS - started)) s on $jobs cores, $((cpu_now - cpu)) s of CPU"
exit $status
