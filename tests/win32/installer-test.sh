#!/usr/bin/env bash
# The installer in a Wine prefix: packs it, installs it silently for a user with one host
# release, checks the files, the Start-menu entry and the host's menu entries, then uninstalls
# it silently and checks that the files and the entry are gone.
#   installer-test.sh <build folder>      (WINEPREFIX names the prefix to use)
set -euo pipefail
build=$1
: "${WINEPREFIX:?}"
fail() { echo "installer test: $*" >&2; exit 1; }

(cd "$build" && cpack -G NSIS >/dev/null)
installer=$(ls "$build"/Talvik-*-win64.exe)
folder="$WINEPREFIX/drive_c/Program Files/Talvik"
release='HKCU\SOFTWARE\ORNWALD\KAVRIN\7.1'
menus="$release\\ZEV\\Data Conversions"

wine reg delete "$release" /f >/dev/null 2>&1 || true
wine reg add "$release\\ZEV" /v DataPath /d 'C:\Data' /f >/dev/null
wine "$installer" /S  # returns when the setup and its registration are done

for program in talvik.exe talvik-cli.exe Uninstall.exe; do
    [ -f "$folder/$program" ] || fail "$program not installed"
done
links=$(find "$WINEPREFIX/drive_c" -path '*Start Menu/Programs/Talvik/Talvik.lnk' | wc -l)
[ "$links" -ge 1 ] || fail "no Start-menu entry"
for menu in Import Export; do
    entry=$(wine reg query "$menus\\$menu" /v MenuItem0 | tr -d '\r')
    case "$entry" in
        *"C:\\Program Files\\Talvik\\talvik.exe"*) ;;
        *) fail "$menu menu entry: $entry" ;;
    esac
done

# The uninstaller runs on from a copy of itself: wait for it to finish.
wine "$folder/Uninstall.exe" /S
entries() { find "$WINEPREFIX/drive_c" -path '*Start Menu/Programs/Talvik*' | wc -l; }
for _ in $(seq 120); do
    [ -e "$folder/Uninstall.exe" ] || [ "$(entries)" -ne 0 ] || break
    sleep 0.5
done
for program in talvik.exe talvik-cli.exe Uninstall.exe; do
    [ ! -e "$folder/$program" ] || fail "$program left behind"
done
[ "$(entries)" -eq 0 ] || fail "Start-menu entry left behind"
wine reg delete "$release" /f >/dev/null 2>&1 || true
echo "installer test: passed"
