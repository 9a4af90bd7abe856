#!/usr/bin/env bash
# Configures and builds into build/ (or $KORVANE_BUILD_DIR).
set -euo pipefail
cd "$(dirname "$0")/.."
dir=${KORVANE_BUILD_DIR:-build}
cmake -S . -B "$dir" -DCMAKE_BUILD_TYPE=${KORVANE_BUILD_TYPE:-RelWithDebInfo} >/dev/null
cmake --build "$dir" -j"$(nproc)"
