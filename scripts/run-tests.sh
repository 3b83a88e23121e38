#!/usr/bin/env bash
# Builds everything and runs the whole test suite: the layering check, the release build (units,
# command-line cases, window tests offscreen, fuzz-harness replays, manual pages), the Debian
# package, a short seeded comparison of talvik-cli with the literal reference model, then the
# units again under the address and undefined-behaviour sanitizers, the check's and the export's
# under the thread sanitizer, then the Windows build with its tests under Wine.
#
# Every part is run even when an earlier one failed; the last two lines count what each part
# ran and the whole. A part that ran nothing counts as failed, and so does the whole run then.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
scripts/check-includes.sh

jobs=$(nproc 2>/dev/null || echo 2)
logs=$(mktemp -d)
trap 'rm -rf "$logs"' EXIT
summary=()
total_passed=0
total_failed=0
status=0

# Records one part: <name> <passed> <failed> <exit status of the part>.
record() {
    local name=$1 passed=$2 failed=$3 code=$4
    if [ "$code" -ne 0 ] && [ "$failed" -eq 0 ]; then failed=1; fi
    if [ $((passed + failed)) -eq 0 ]; then
        echo "$name: no tests were run" >&2
        failed=1
    fi
    [ "$failed" -eq 0 ] || status=1
    summary+=("$name: $passed passed, $failed failed")
    total_passed=$((total_passed + passed))
    total_failed=$((total_failed + failed))
}

# The last "<passed> <failed>" that the sed script prints for a log, or "0 0".
counts() {
    local found
    found=$(sed -n "$1" "$2" | tail -1)
    echo "${found:-0 0}"
}
# ctest's closing line ("... N tests failed out of M") as "<passed> <failed>".
ctest_counts() {
    local found
    found=$(sed -n 's/.* \([0-9][0-9]*\) tests\{0,1\} failed out of \([0-9][0-9]*\).*/\2 \1/p' "$1" |
        tail -1)
    [ -n "$found" ] || { echo 0 0; return; }
    set -- $found
    echo $(($1 - $2)) "$2"
}

# Runs a command with its output shown and kept in $logs/<name>; returns its exit status.
run_logged() {
    local name=$1
    shift
    local code=0
    "$@" 2>&1 | tee "$logs/$name" || code=$?
    return "$code"
}

# The presets set the build options this script relies on (tests, benchmarks, windows on), so
# a build folder configured otherwise before (the example's options, say) is put right.
cmake --preset default >/dev/null
cmake --build --preset default -j"$jobs"
code=0
run_logged linux ctest --preset default -j"$jobs" --output-on-failure || code=$?
read -r passed failed < <(ctest_counts "$logs/linux")
record linux "$passed" "$failed" "$code"

# The Debian package, installed into a fresh folder and run on the examples.
code=0
run_logged package scripts/check-package.sh build || code=$?
read -r passed failed < <(counts 's/^package check: \([0-9]*\) passed, \([0-9]*\) failed$/\1 \2/p' \
    "$logs/package")
record package "$passed" "$failed" "$code"

code=0
run_logged reference python3 tools/reference/difftest.py --cli build/app/talvik-cli/talvik-cli \
    --cases 300 --seed 1 --keep "$logs/difftest" || code=$?
read -r passed failed < <(counts 's/^\([0-9]*\) cases agreed, \([0-9]*\) differed$/\1 \2/p' \
    "$logs/reference")
record reference "$passed" "$failed" "$code"

cmake --preset asan -DTALVIK_BUILD_GUI=OFF >/dev/null
cmake --build --preset asan -j"$jobs"
code=0
ASAN_OPTIONS=detect_leaks=0 run_logged asan ctest --preset asan -j"$jobs" --output-on-failure || code=$?
read -r passed failed < <(ctest_counts "$logs/asan")
record asan "$passed" "$failed" "$code"

# The check runs beside the export on threads of its own: their tests under the thread sanitizer.
cmake --preset tsan >/dev/null
cmake --build --preset tsan -j"$jobs"
code=0
run_logged tsan ctest --preset tsan -j"$jobs" --output-on-failure || code=$?
read -r passed failed < <(ctest_counts "$logs/tsan")
record tsan "$passed" "$failed" "$code"

# The Windows build: its tests under Wine, then talvik-cli.exe against talvik-cli on the
# examples (one more case). Wine runs in a fresh prefix of its own inside the build folder,
# without the .NET and browser add-ons it would offer to install. Its server stays up for the
# whole run and its services are started before ctest, which would otherwise wait for them:
# they inherit ctest's output pipes and keep them open.
cmake --preset windows >/dev/null
cmake --build --preset windows -j"$jobs"
export WINEPREFIX="$PWD/build-windows/wineprefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
rm -rf "$WINEPREFIX"
mkdir -p "$WINEPREFIX"
# Wine's first process sets up its desktop, and the window tests can open theirs only when
# that process had a display: the whole Windows part runs on one virtual display.
code=0
run_logged windows xvfb-run -a bash -c '
    set -uo pipefail
    wineserver -p
    trap "wineserver -k 2>/dev/null || true" EXIT
    wine cmd /c exit >build-windows/wineprefix.log 2>&1
    status=0
    ctest --preset windows -j"$1" --output-on-failure || status=1
    if scripts/compare-windows.sh; then
        echo "comparison with Linux: 1 passed, 0 failed"
    else
        echo "comparison with Linux: 0 passed, 1 failed"
        status=1
    fi
    exit "$status"
' bash "$jobs" || code=$?
read -r passed failed < <(ctest_counts "$logs/windows")
# Wine's test count on its own must not be zero either.
[ $((passed + failed)) -ne 0 ] || failed=1
read -r cpassed cfailed < <(counts \
    's/^comparison with Linux: \([0-9]*\) passed, \([0-9]*\) failed$/\1 \2/p' "$logs/windows")
record windows $((passed + cpassed)) $((failed + cfailed)) "$code"

echo
(IFS=';' && echo "${summary[*]}" | sed 's/;/; /g')
echo "total: $total_passed passed, $total_failed failed"
exit "$status"
