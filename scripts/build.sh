#!/usr/bin/env bash
# Configures and builds into build/ (or $KORVANE_BUILD_DIR); arguments go to CMake's configure step,
# e.g. KORVANE_BUILD_DIR=build-asan bash scripts/build.sh -DKORVANE_SANITIZE=ON
set -euo pipefail
cd "$(dirname "$0")/.."
dir=${KORVANE_BUILD_DIR:-build}
cmake -S . -B "$dir" -DCMAKE_BUILD_TYPE=${KORVANE_BUILD_TYPE:-RelWithDebInfo} "$@" >/dev/null
cmake --build "$dir" -j"$(nproc)"
