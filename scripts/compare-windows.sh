#!/usr/bin/env bash
# Runs talvik-cli of the Linux build (build/) and talvik-cli.exe of the Windows build
# (build-windows/, under Wine) on the bundled examples with the same options, and fails unless
# both write the same files, byte for byte, and report the same on stderr. Expects both builds
# and, for Wine, WINEPREFIX to be set up (scripts/run-tests.sh does all that).
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
linux=$root/build/app/talvik-cli/talvik-cli
windows=$root/build-windows/app/talvik-cli/talvik-cli.exe
out=$root/build-windows/compare
rm -rf "$out"

# Runs the command with its output, messages and exit status kept in files of the folder.
record() {
    local status=0
    "$@" >stdout 2>stderr || status=$?
    echo "$status" >status
}

# One job in a folder of each platform's own: runs <name> <talvik-cli arguments...>, paths
# relative to that folder, with a store of its own on Linux and a cleared registry key on
# Windows.
run() {
    local name=$1
    shift
    mkdir -p "$out/linux/$name/config" "$out/windows/$name"
    cp examples/* "$out/linux/$name/"
    cp examples/* "$out/windows/$name/"
    (cd "$out/linux/$name" && XDG_CONFIG_HOME=$PWD/config LC_ALL=C record "$linux" "$@")
    rm -rf "$out/linux/$name/config"
    wine reg delete 'HKCU\Software\Kelvaris' /f >/dev/null 2>&1 || true
    (cd "$out/windows/$name" && record wine "$windows" "$@")
}

run export3 export --field net1.fld --idex net1.idx --project net1.prj --code K --no-save
run export1 export --field net1.fld --idex net1.idx --project net1.prj --code K1 --code K2 \
    --package-version 1 --face2 reduce --abs-hor 0.0007 --sd-xy 0.01 --no-save
run nocodes export --field net1.fld --project net1.prj
run missing export --field none.fld --project none.prj
run import import --cor net1.cor --idex back.idx --layer PUNTEN --code GR
run badimport import --cor net1.cor --idex back.idx --layer " " --code GR --no-save
run usage export --field net1.fld
run check check --field net1.fld --idex net1.idx --code K --sketch net1.svg
run blunder check --field net2.fld --idex net1.idx --code K1 --code K2

# Registration: one release with the host's data folder, one without, seeded in each store.
mkdir -p "$out/linux/register/config/talvik" "$out/windows/register"
printf '%s\r\n' REGEDIT4 '' '[HKEY_CURRENT_USER\SOFTWARE\Ornwald\Kavrin\5.0\ZEV]' \
    '"DataPath"="D:\\Data"' '' '[HKEY_CURRENT_USER\SOFTWARE\Ornwald\Kavrin\6.0]' '' \
    >"$out/linux/register/config/talvik/registry.reg"
(cd "$out/linux/register" && XDG_CONFIG_HOME=$PWD/config record "$linux" register)
rm -rf "$out/linux/register/config"
wine reg delete 'HKCU\SOFTWARE\Ornwald' /f >/dev/null 2>&1 || true
wine reg add 'HKCU\SOFTWARE\Ornwald\Kavrin\5.0\ZEV' /v DataPath /d 'D:\Data' /f >/dev/null
wine reg add 'HKCU\SOFTWARE\Ornwald\Kavrin\6.0' /f >/dev/null
(cd "$out/windows/register" && record wine "$windows" register)
wine reg delete 'HKCU\SOFTWARE\Ornwald' /f >/dev/null 2>&1 || true

if diff -r "$out/linux" "$out/windows"; then
    echo "talvik-cli.exe under Wine: the same files and messages as talvik-cli" \
        "($(find "$out/linux" -type f | wc -l) files compared)"
else
    echo "talvik-cli.exe under Wine differs from talvik-cli (see above)" >&2
    exit 1
fi
