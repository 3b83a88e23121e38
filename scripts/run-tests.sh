#!/usr/bin/env bash
# Builds everything and runs the whole test suite: the layering check, the release build (units,
# command-line cases, window tests offscreen, fuzz-harness replays), a short seeded comparison of
# talvik-cli with the literal reference model, then the units again under the address and
# undefined-behaviour sanitizers.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
scripts/check-includes.sh

jobs=$(nproc 2>/dev/null || echo 2)
cmake --preset default >/dev/null
cmake --build --preset default -j"$jobs"
ctest --preset default -j"$jobs"
python3 tools/reference/difftest.py --cli build/app/talvik-cli/talvik-cli --cases 300 --seed 1 \
    --keep "$(mktemp -d)"

cmake --preset asan -DTALVIK_BUILD_GUI=OFF >/dev/null
cmake --build --preset asan -j"$jobs"
ASAN_OPTIONS=detect_leaks=0 ctest --preset asan -j"$jobs"
