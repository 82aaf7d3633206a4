#!/usr/bin/env bash
# Measures a cold CI run as CI makes it on a two-core machine: a fresh clone,
# CI=true (the sanitizer build), no compiler cache, pinned to cores 0 and 1.
# Prints the build and test minutes and the CPU time spent, which does not
# depend on what else the machine is doing. Packages must be installed already
# (run the README's test command once).
#   scripts/ci-time.sh [CORES]      CORES defaults to "0,1"
# With CI_TIME_KEEP=DIR it copies the build's .ninja_log, CTest's timings and
# the run's log into DIR, to see which units and tests cost most.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
cores=${1:-0,1}

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
git clone -q . "$work/src"
cd "$work/src"

log=$work/run.log
start=$SECONDS
set +e
CI=true CCACHE_DISABLE=1 /usr/bin/time -f "cpu: %U s user, %S s system" -o "$work/cpu" \
  taskset -c "$cores" bash .ci/run >"$log" 2>&1
status=$?
set -e
total=$((SECONDS - start))
if [ -n "${CI_TIME_KEEP:-}" ]; then
  mkdir -p "$CI_TIME_KEEP"
  cp "$log" "$CI_TIME_KEEP/run.log"
  cp build/.ninja_log "$CI_TIME_KEEP/ninja_log" 2>/dev/null || true
  cp build/Testing/Temporary/CTestCostData.txt "$CI_TIME_KEEP/ctest_cost.txt" 2>/dev/null || true
  find build/tests -name .ninja_log -path '*standalone*' | while read -r f; do
    cp "$f" "$CI_TIME_KEEP/ninja_log.$(basename "$(dirname "$(dirname "$f")")")"
  done
fi

# "build: 300 s on 2 cores, 590 s of CPU"
phase() { grep -E "^$1: [0-9]+ s" "$log" | tail -n 1 | awk -v f="$2" '{print $f}'; }
minutes() { awk -v s="${1:-0}" 'BEGIN { printf "%.1f", s / 60 }'; }
echo "commit: $(git rev-parse --short HEAD)"
echo "cores:  $cores"
for p in build tests; do
  # The CPU time divided by two is what two cores need when nothing else runs.
  echo "$p:  $(minutes "$(phase $p 2)") min wall, $(minutes "$(phase $p 7)") min of CPU"
done
echo "total:  $(minutes "$total") min (with configure and setup)"
cat "$work/cpu"
grep -E "tests passed|tests failed" "$log" || true
if [ $status -ne 0 ]; then
  echo "The run failed (exit $status); the end of its log:" >&2
  tail -n 40 "$log" >&2
  exit $status
fi
