#!/usr/bin/env bash
# Builds the benchmarks if needed, runs every one of them, and prints all their figures in one table:
# each figure next to its baseline (measured in the same run, on the same machine), the ratio and the
# target. Each benchmark's own output is shown as it runs.
#
#   bash bench/run_all.sh          builds into build/ (or $KORVANE_BUILD_DIR), offscreen unless
#                                  QT_QPA_PLATFORM says otherwise
#
# Exit status 1 when a benchmark could not be built or run. A ratio over its target is marked "OVER" in
# the table but does not fail: the figures depend on the machine and on what else it is doing.
set -euo pipefail
cd "$(dirname "$0")/.."
dir=${KORVANE_BUILD_DIR:-build}
export QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen}
benchmarks=(startup_bench guide_repaint note_io)

if [ -f "$dir/CMakeCache.txt" ] && grep -Eq '^KORVANE_(SANITIZE|FUZZ):BOOL=ON' "$dir/CMakeCache.txt"; then
  echo "run_all.sh: $dir is an instrumented build; its figures would mean nothing" >&2
  exit 1
fi
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
echo "building the benchmarks in $dir"
if ! { [ -f "$dir/CMakeCache.txt" ] || cmake -S . -B "$dir" -DCMAKE_BUILD_TYPE="${KORVANE_BUILD_TYPE:-RelWithDebInfo}"; } \
     >"$work/build.log" 2>&1 ||
   ! cmake --build "$dir" --target "${benchmarks[@]}" -j"$(nproc)" >>"$work/build.log" 2>&1; then
  cat "$work/build.log"
  echo "run_all.sh: the benchmarks could not be built in $dir" >&2
  exit 1
fi

commit=$(git rev-parse --short HEAD 2>/dev/null || echo unknown)
git diff --quiet HEAD -- src bench 2>/dev/null || commit="$commit+changes"
build_type=$(sed -n 's/^CMAKE_BUILD_TYPE:STRING=//p' "$dir/CMakeCache.txt")
context="$(date -u '+%Y-%m-%d %H:%M UTC'), commit $commit, $(nproc) cores, $build_type, QT_QPA_PLATFORM=$QT_QPA_PLATFORM"

failed=()
: >"$work/figures"
for benchmark in "${benchmarks[@]}"; do
  printf '\n==== %s\n' "$benchmark"
  status=0
  "$dir/bench/$benchmark" >"$work/out" 2>&1 || status=$?
  grep -v '^BENCH ' "$work/out" || true
  grep '^BENCH ' "$work/out" >>"$work/figures" || true
  if [ "$status" -ne 0 ] || ! grep -q '^BENCH ' "$work/out"; then
    failed+=("$benchmark")
    echo "run_all.sh: $benchmark failed (exit status $status, or no figures); run it alone: $dir/bench/$benchmark"
  fi
done

printf '\n==== all figures: %s\n' "$context"
awk '
  BEGIN { printf "%-24s %-9s %10s %10s %7s %7s\n", "figure", "unit", "value", "baseline", "ratio", "target" }
  {
    verdict = $7 == "-" ? "" : ($6 + 0 <= $7 + 0 ? "ok" : "OVER")
    printf "%-24s %-9s %10.1f %10.1f %7.2f %7s%s\n", $2, $3, $4, $5, $6, $7, verdict == "" ? "" : "  " verdict
  }' "$work/figures"

[ ${#failed[@]} -eq 0 ] || { echo "run_all.sh: failed: ${failed[*]}" >&2; exit 1; }
