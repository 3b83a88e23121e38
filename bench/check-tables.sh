#!/usr/bin/env bash
# The network check's tables for docs/check.md: false alarms over SEEDS sound networks per
# design, power over SEEDS networks per blunder, and the speed and peak memory of
# `talvik-cli check` on generated meshes of about 2 000 and 20 000 points.
#   bench/check-tables.sh [SEEDS]   (default 200)
set -euo pipefail
cd "$(dirname "$0")/.."
seeds=${1:-200}
cmake --preset default >/dev/null
cmake --build build --target check_tables talvik-cli -j2 >/dev/null
tables=build/bench/check_tables
echo "## False alarms ($seeds seeds per design)"
"$tables" false "$seeds"
echo
echo "## Power ($seeds seeds per blunder)"
"$tables" power "$seeds"
echo
echo "## Speed"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export HOME=$work  # the check reads the stored choices: none here
for size in "40 50" "100 200"; do
    read -r rows columns <<<"$size"
    "$tables" write "$rows" "$columns" "$work"
    for run in 1 2 3; do
        /usr/bin/time -f "$((rows * columns)) points: %e s wall, %U s user, %M kB peak" \
            build/app/talvik-cli/talvik-cli check --quiet --field "$work/mesh.fld" \
            --idex "$work/mesh.idx" --code K1 --coordinates "$work/mesh.csv" >"$work/out.txt" \
            2>"$work/time.txt" || true
        tail -1 "$work/time.txt"
    done
    grep '^opmerking: vereffening' "$work/out.txt" || true
    tail -1 "$work/out.txt"
done
