#!/usr/bin/env bash
# The network check's tables for docs/check.md: false alarms over SEEDS sound networks per
# design, power over SEEDS networks per blunder, and the speed and peak memory of
# `talvik-cli check` on generated meshes of 2 000 and 20 000 points (bench/check-speed.sh).
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
bench/check-speed.sh build
