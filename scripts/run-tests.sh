#!/usr/bin/env bash
# Builds everything and runs the whole test suite: the layering check, the release build (units,
# command-line cases, window tests offscreen, fuzz-harness replays, manual pages), the Debian
# package, a short seeded comparison of talvik-cli with the literal reference model, then the
# units again under the address and undefined-behaviour sanitizers, then the Windows build with
# its tests under Wine.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
scripts/check-includes.sh

jobs=$(nproc 2>/dev/null || echo 2)
cmake --preset default >/dev/null
cmake --build --preset default -j"$jobs"
ctest --preset default -j"$jobs"
# The Debian package, installed into a fresh folder and run on the examples.
scripts/check-package.sh build
python3 tools/reference/difftest.py --cli build/app/talvik-cli/talvik-cli --cases 300 --seed 1 \
    --keep "$(mktemp -d)"

cmake --preset asan -DTALVIK_BUILD_GUI=OFF >/dev/null
cmake --build --preset asan -j"$jobs"
ASAN_OPTIONS=detect_leaks=0 ctest --preset asan -j"$jobs"

# The Windows build: its tests under Wine, then talvik-cli.exe against talvik-cli on the
# examples. Wine runs in a fresh prefix of its own inside the build folder, without the .NET
# and browser add-ons it would offer to install. Its server stays up for the whole run and
# its services are started before ctest, which would otherwise wait for them: they inherit
# ctest's output pipes and keep them open.
cmake --preset windows >/dev/null
cmake --build --preset windows -j"$jobs"
export WINEPREFIX="$PWD/build-windows/wineprefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
rm -rf "$WINEPREFIX"
mkdir -p "$WINEPREFIX"
# Wine's first process sets up its desktop, and the window tests can open theirs only when
# that process had a display: the whole Windows part runs on one virtual display.
xvfb-run -a bash -c '
    set -euo pipefail
    wineserver -p
    trap "wineserver -k 2>/dev/null || true" EXIT
    wine cmd /c exit >build-windows/wineprefix.log 2>&1
    ctest --preset windows -j"$1"
    scripts/compare-windows.sh
' bash "$jobs"
