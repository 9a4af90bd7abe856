#!/usr/bin/env bash
# Installs what is missing, then, stopping at the first failure:
#   1. builds into build/ (or $KORVANE_BUILD_DIR) and runs the whole test suite headless;
#   2. builds the same with AddressSanitizer, LeakSanitizer and UBSan into build-asan/ (or
#      $KORVANE_ASAN_DIR) and runs the suite again, where any memory error, leak or undefined
#      behaviour fails the test that meets it;
#   3. builds the fuzz targets with clang into build-fuzz/ (or $KORVANE_FUZZ_DIR) and runs each of them
#      a bounded number of times ($KORVANE_FUZZ_RUNS, 100000 by default); scripts/fuzz.sh runs longer.
set -euo pipefail
cd "$(dirname "$0")/.."
stage="set-up"
trap 'echo "scripts/test.sh: FAILED in: $stage" >&2' ERR
started=$SECONDS
step() {
  stage=$1
  printf '\n==== %s (%s s so far)\n' "$stage" "$((SECONDS - started))"
}

bash scripts/setup.sh

step "build and tests: ${KORVANE_BUILD_DIR:-build}"
bash scripts/build.sh
(cd "${KORVANE_BUILD_DIR:-build}" && ctest --output-on-failure -j"$(nproc)")

asan=${KORVANE_ASAN_DIR:-build-asan}
step "sanitizer build and tests: $asan"
KORVANE_BUILD_DIR=$asan bash scripts/build.sh -DKORVANE_SANITIZE=ON
(cd "$asan" && ctest --output-on-failure -j"$(nproc)")

step "fuzzing: ${KORVANE_FUZZ_DIR:-build-fuzz}"
bash scripts/fuzz.sh -runs="${KORVANE_FUZZ_RUNS:-100000}"

printf '\n==== all passed in %s s\n' "$((SECONDS - started))"
