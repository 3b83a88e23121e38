#!/bin/sh
# Export speed against a text tool on the same bytes.
#
#     bench/compare.sh [BUILD-FOLDER] [LINES] [POINTS]
#
# Generates a field file of LINES lines (1 000 000) and an IDEX drawing of POINTS known points
# (200 000) with make_network, then runs, in turn, RUNS times (9; a shared machine's times vary
# from run to run by more than the check's share)
#   talvik-cli export --field big.fld --idex big.idx --project big.prj --package-version 3 \
#              --face2 series --code K1 --overwrite --no-save
#   mawk '{ $1=$1; print toupper($0) }' big.fld big.idx > /dev/null
#   the same export with --check
# and prints the medians of wall and processor time, their ratios, the export's throughput and
# its peak resident memory against the input size, the minor page faults of all three (each a
# first touch of memory: dear on a virtual machine), and what the network check adds to its
# time and memory. Then it times, three times each, the import of 32 000 adjusted points (big.cor)
# and the registration in 20 host releases. Peak memory and page faults need GNU time
# (/usr/bin/time).
set -eu

build=${1:-build}
lines=${2:-1000000}
runs=${RUNS:-9}
points=${3:-200000}
cli=$build/app/talvik-cli/talvik-cli
gen=$build/bench/make_network
for f in "$cli" "$gen"; do
    [ -x "$f" ] || { echo "compare.sh: $f missing; build first (cmake --preset default)" >&2; exit 2; }
done
command -v mawk >/dev/null || { echo "compare.sh: mawk missing (apt-get install mawk)" >&2; exit 2; }
gnutime=/usr/bin/time
[ -x "$gnutime" ] || gnutime=

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export HOME="$work" XDG_CONFIG_HOME="$work/config"
"$gen" "$work" "$lines" "$points"
input=$(($(wc -c <"$work/big.fld") + $(wc -c <"$work/big.idx")))

# One run: "wall-milliseconds user-seconds system-seconds peak-kilobytes minor-faults" appended
# to file $1.
measure() {
    out=$1
    shift
    start=$(date +%s%N)
    if [ -n "$gnutime" ]; then
        "$gnutime" -o "$work/usage" -f '%U %S %M %R' "$@" || true
    else
        "$@" || true
        echo '0 0 0 0' >"$work/usage"
    fi
    end=$(date +%s%N)
    read -r user sys peak faults <"$work/usage"
    echo "$(((end - start) / 1000000)) $user $sys $peak $faults" >>"$out"
}

: >"$work/export.runs"
: >"$work/check.runs"
: >"$work/mawk.runs"
i=0
while [ "$i" -lt "$runs" ]; do
    i=$((i + 1))
    measure "$work/export.runs" "$cli" export --field "$work/big.fld" --idex "$work/big.idx" \
        --project "$work/big.prj" --package-version 3 --face2 series --code K1 --overwrite \
        --no-save 2>/dev/null
    measure "$work/mawk.runs" sh -c "mawk '{ \$1=\$1; print toupper(\$0) }' \
        '$work/big.fld' '$work/big.idx' >/dev/null"
    measure "$work/check.runs" "$cli" export --field "$work/big.fld" --idex "$work/big.idx" \
        --project "$work/big.prj" --package-version 3 --face2 series --code K1 --overwrite \
        --no-save --check >/dev/null 2>&1
done

# Import and registration, with 20 host releases in the user's registry file.
mkdir -p "$XDG_CONFIG_HOME/talvik"
{
    printf 'REGEDIT4\r\n'
    for r in $(seq 1 20); do
        printf '\r\n[HKEY_CURRENT_USER\\SOFTWARE\\ORNWALD\\KAVRIN\\%s.0\\ZEV]\r\n' "$r"
        printf '"DataPath"="C:\\\\K%s"\r\n' "$r"
    done
} >"$XDG_CONFIG_HOME/talvik/registry.reg"
: >"$work/import.runs"
: >"$work/register.runs"
for i in 1 2 3; do
    measure "$work/import.runs" "$cli" import --cor "$work/big.cor" --idex "$work/back.idx" \
        --layer PUNTEN --code GR --no-save 2>/dev/null
    measure "$work/register.runs" "$cli" register 2>/dev/null
done

awk -v input="$input" -v gnutime="$gnutime" '
    function median(a,   n, i, j, t, b) {
        for (n = 0; (n + 1) in a; n++) b[n + 1] = a[n + 1]
        for (i = 2; i <= n; i++)
            for (j = i; j > 1 && b[j - 1] > b[j]; j--) { t = b[j]; b[j] = b[j - 1]; b[j - 1] = t }
        return b[int((n + 1) / 2)]
    }
    FILENAME ~ /export\.runs$/ { n++; ew[n] = $1 / 1000; ec[n] = $2 + $3; ef[n] = $5; if ($4 > peak) peak = $4 }
    FILENAME ~ /mawk\.runs$/   { m++; mw[m] = $1 / 1000; mc[m] = $2 + $3; mf[m] = $5 }
    FILENAME ~ /check\.runs$/  { k++; kw[k] = $1 / 1000; kc[k] = $2 + $3; kf[k] = $5; if ($4 > kpeak) kpeak = $4 }
    FILENAME ~ /import\.runs$/ { i++; iw[i] = $1 / 1000; ic[i] = $2 + $3 }
    FILENAME ~ /register\.runs$/ { r++; rw[r] = $1 / 1000; rc[r] = $2 + $3 }
    END {
        printf "input        %.1f MB (field file + IDEX)\n", input / 1e6
        printf "export       wall %.3f s  cpu %.3f s  %.0f MB/s\n", median(ew), median(ec), input / 1e6 / median(ew)
        printf "mawk         wall %.3f s  cpu %.3f s  %.0f MB/s\n", median(mw), median(mc), input / 1e6 / median(mw)
        printf "ratio        wall %.2f  cpu %.2f  (export / mawk, goal <= 1.0)\n", median(ew) / median(mw), (median(mc) > 0 ? median(ec) / median(mc) : 0)
        if (gnutime != "")
            printf "peak memory  %.1f MB = %.2f x input (goal <= 1)\n", peak * 1024 / 1e6, peak * 1024 / input
        else
            print "peak memory  unknown (GNU time missing)"
        if (gnutime != "")
            printf "page faults  export %d (goal <= 1000)  mawk %d  export --check %d (goal <= 3000); minor, medians\n", median(ef), median(mf), median(kf)
        printf "check        wall %.3f s  cpu %.3f s  export --check: +%.0f %% wall, +%.0f %% cpu\n", median(kw), median(kc), 100 * (median(kw) / median(ew) - 1), (median(ec) > 0 ? 100 * (median(kc) / median(ec) - 1) : 0)
        if (gnutime != "")
            printf "check memory %.1f MB = %.2f x the export\n", kpeak * 1024 / 1e6, (peak > 0 ? kpeak / peak : 0)
        printf "import       wall %.3f s  cpu %.3f s  (32 000 points)\n", median(iw), median(ic)
        printf "register     wall %.3f s  cpu %.3f s  (20 host releases)\n", median(rw), median(rc)
    }' "$work/export.runs" "$work/mawk.runs" "$work/check.runs" "$work/import.runs" "$work/register.runs"
