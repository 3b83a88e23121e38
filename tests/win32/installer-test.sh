#!/usr/bin/env bash
# The installer in a Wine prefix: packs it, reads its version back, installs it silently for a
# user with one host release whose menus already hold another converter, checks the per-user
# folder, Start-menu entry and Uninstall key and the host's menu entries, then uninstalls it
# silently and checks that Talvik's files, entries and menu entries are gone and the other
# converter's entries are still there, numbered without a gap.
#   installer-test.sh <build folder>      (WINEPREFIX names the prefix to use)
set -euo pipefail
build=$1
: "${WINEPREFIX:?}"
fail() { echo "installer test: $*" >&2; exit 1; }

(cd "$build" && cpack -G NSIS >/dev/null)
installer=$(ls "$build"/Talvik-*-win64.exe)
TALVIK_VERSIONED_FILE=$(winepath -w "$installer") wine "$build/tests/win32/test_win32_windows.exe" \
    --gtest_filter=Programs.VersionResources || fail "version resource of the installer"
# It asks for no elevation: it installs for the user who runs it.
grep -aq 'level="asInvoker"' "$installer" || fail "the installer asks for elevation"

local_data=$(wine cmd /c echo %LOCALAPPDATA% | tr -d '\r')
folder="$(winepath -u "$local_data")/Programs/Talvik"
program="$local_data\\Programs\\Talvik\\talvik.exe"
release='HKCU\SOFTWARE\ORNWALD\KAVRIN\7.1'
menus="$release\\ZEV\\Data Conversions"
uninstall='SOFTWARE\Microsoft\Windows\CurrentVersion\Uninstall\Talvik'
other='2|*.abc|Ander|C:\Ander\ander.exe'
later='2|*.def|Later|C:\Ander\later.exe'
entry() { wine reg query "$menus\\$1" /v "MenuItem$2" 2>/dev/null | tr -d "\r" | grep -a MenuItem || true; }

wine reg delete "$release" /f >/dev/null 2>&1 || true
wine reg add "$release\\ZEV" /v DataPath /d 'C:\Data' /f >/dev/null
for menu in Import Export; do
    wine reg add "$menus\\$menu" /v MenuItem0 /d "$other" /f >/dev/null
done
wine "$installer" /S  # returns when the setup and its registration are done

for file in talvik.exe talvik-cli.exe Uninstall.exe; do
    [ -f "$folder/$file" ] || fail "$file not installed in $folder"
done
[ ! -e "$WINEPREFIX/drive_c/Program Files/Talvik" ] || fail "installed in Program Files"
wine reg query "HKCU\\$uninstall" >/dev/null 2>&1 || fail "no Uninstall key for the user"
! wine reg query "HKLM\\$uninstall" >/dev/null 2>&1 || fail "Uninstall key for all users"
user_links() { find "$WINEPREFIX/drive_c/users" -path '*Start Menu/Programs/Talvik*' | wc -l; }
[ "$(find "$WINEPREFIX/drive_c/users" -path '*Start Menu/Programs/Talvik/Talvik.lnk' | wc -l)" \
    -ge 1 ] || fail "no entry in the user's Start menu"
for menu in Import Export; do
    case "$(entry "$menu" 1)" in
        *"$program"*) ;;
        *) fail "$menu menu entry: $(entry "$menu" 1)" ;;
    esac
    # Another converter enters itself after Talvik.
    wine reg add "$menus\\$menu" /v MenuItem2 /d "$later" /f >/dev/null
done

# The uninstaller runs on from a copy of itself: wait for it to finish.
wine "$folder/Uninstall.exe" /S
for _ in $(seq 120); do
    [ -e "$folder/Uninstall.exe" ] || [ "$(user_links)" -ne 0 ] || break
    sleep 0.5
done
[ -z "$(ls -A "$folder" 2>/dev/null)" ] || fail "left in $folder: $(ls -A "$folder")"
[ "$(user_links)" -eq 0 ] || fail "Start-menu entry left behind"
! wine reg query "HKCU\\$uninstall" >/dev/null 2>&1 || fail "Uninstall key left behind"
for menu in Import Export; do
    case "$(entry "$menu" 0)|$(entry "$menu" 1)|$(entry "$menu" 2)" in
        *"$other"*"|"*"$later"*"|") ;;
        *) fail "$menu menu after uninstalling: $(entry "$menu" 0) $(entry "$menu" 1) $(entry "$menu" 2)" ;;
    esac
done
wine reg delete "$release" /f >/dev/null 2>&1 || true
echo "installer test: passed"
