#!/usr/bin/env bash
# Builds everything and runs the whole test suite: the release build (units, command-line cases,
# window tests offscreen, fuzz-harness replays, manual pages), the Debian package, then the units
# again under the address and undefined-behaviour sanitizers.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh

jobs=$(nproc 2>/dev/null || echo 2)
cmake --preset default >/dev/null
cmake --build --preset default -j"$jobs"
ctest --preset default -j"$jobs"
# The Debian package, installed into a fresh folder and run on the examples.
scripts/check-package.sh build

cmake --preset asan -DTALVIK_BUILD_GUI=OFF >/dev/null
cmake --build --preset asan -j"$jobs"
ASAN_OPTIONS=detect_leaks=0 ctest --preset asan -j"$jobs"
