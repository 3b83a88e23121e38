#!/bin/sh
# The network check's speed on realistic networks.
#
#     bench/check-speed.sh [BUILD-FOLDER]
#
# Writes generated meshes with backsights (both faces, noise at the export's standard
# deviations; bench/check_tables write) of 40 x 50 = 2 000 and 100 x 200 = 20 000 points, with
# a known pair every EVERY rows and columns (10: every 1.5 km, as a network tied to the control
# of its area; 0: the two corner pairs alone), and times RUNS times each (5)
#   talvik-cli check --field mesh.fld --idex mesh.idx --code K1 --coordinates mesh.csv
# printing the medians of wall and processor time (all threads) and of the minor page faults,
# the highest peak memory, and the adjustment's note. Goals: 2 000 points in 0.5 s, 20 000 in 5 s and 1 GB. Needs GNU time
# (/usr/bin/time).
set -eu

build=${1:-build}
runs=${RUNS:-5}
every=${EVERY:-10}
cli=$build/app/talvik-cli/talvik-cli
tables=$build/bench/check_tables
for f in "$cli" "$tables" /usr/bin/time; do
    [ -x "$f" ] || { echo "check-speed.sh: $f missing; build first (cmake --build $build --target talvik-cli check_tables)" >&2; exit 2; }
done

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export HOME="$work" XDG_CONFIG_HOME="$work/config"  # no stored choices: the defaults
echo "load: $(cut -d' ' -f1-3 /proc/loadavg)"
for size in "40 50" "100 200"; do
    set -- $size
    "$tables" write "$1" "$2" "$work" "$every"
    : >"$work/runs"
    i=0
    while [ "$i" -lt "$runs" ]; do
        i=$((i + 1))
        start=$(date +%s%N)
        /usr/bin/time -o "$work/usage" -f '%U %S %M %R' "$cli" check --quiet --field "$work/mesh.fld" \
            --idex "$work/mesh.idx" --code K1 --coordinates "$work/mesh.csv" >"$work/out.txt" || true
        end=$(date +%s%N)
        # GNU time says "Command exited with non-zero status 1" first when there are errors.
        tail -1 "$work/usage" >"$work/last"
        read -r user sys peak faults <"$work/last"
        echo "$(((end - start) / 1000000)) $user $sys $peak $faults" >>"$work/runs"
    done
    awk -v points=$(($1 * $2)) -v lines="$(wc -l <"$work/mesh.fld")" '
        function median(a, n,   i, j, t) {
            for (i = 2; i <= n; i++)
                for (j = i; j > 1 && a[j - 1] > a[j]; j--) { t = a[j]; a[j] = a[j - 1]; a[j - 1] = t }
            return a[int((n + 1) / 2)]
        }
        { n++; wall[n] = $1 / 1000; cpu[n] = $2 + $3; if ($4 > peak) peak = $4; faults[n] = $5 }
        END {
            printf "%d points (%d lines): wall %.2f s  cpu %.2f s  peak %.0f MB  %d minor page faults  (medians of %d)\n",
                points, lines, median(wall, n), median(cpu, n), peak * 1024 / 1e6, median(faults, n), n
        }' "$work/runs"
    grep '^opmerking: vereffening' "$work/out.txt" || true
    tail -1 "$work/out.txt"
done
