#!/usr/bin/env bash
# The installer in a Wine prefix: packs it, reads its version back, and then runs it as a user
# would, for a user with one host release whose menus already hold another converter and whose
# choices an older installer shared with its own values:
#   install /S (the older installer's values and English Start-menu entry tidied away), an
#   export that stores a code, a standard deviation and the KORVU program, install /S again,
#   the wizard cancelled on each of its pages, uninstall /S, install /S again, uninstall /S.
# After every step the user's choices read back as they were, the program is in the host's
# menus once (or, uninstalled, not at all, the other converters' entries numbered without a
# gap), and the per-user folder, Start-menu entries and Uninstall key are there or gone.
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
choices='HKCU\Software\Kelvaris\Talvik'
other='2|*.abc|Ander|C:\Ander\ander.exe'
later='2|*.def|Later|C:\Ander\later.exe'
entry() { wine reg query "$menus\\$1" /v "MenuItem$2" 2>/dev/null | tr -d "\r" | grep -a MenuItem || true; }
values() { wine reg query "$choices" 2>/dev/null | tr -d '\r' | grep -a REG_ | sort || true; }
user_links() { find "$WINEPREFIX/drive_c/users" -path '*Start Menu/Programs/Talvik*' | wc -l; }
links="$(winepath -u "$(wine cmd /c echo %APPDATA% | tr -d '\r')")/Microsoft/Windows/Start Menu/Programs/Talvik"

# Installed: the programs run, the menus list Talvik once, the user's choices are as they were.
expect_installed() {
    for file in talvik.exe talvik-cli.exe Uninstall.exe; do
        [ -f "$folder/$file" ] || fail "$1: $file not installed in $folder"
    done
    wine "$folder/talvik.exe" --version | grep -q '[0-9]\.' || fail "$1: talvik.exe does not run"
    wine reg query "HKCU\\$uninstall" >/dev/null 2>&1 || fail "$1: no Uninstall key for the user"
    [ -f "$links/Talvik.lnk" ] && [ -f "$links/Talvik verwijderen.lnk" ] ||
        fail "$1: Start-menu entries: $(ls "$links" 2>&1)"
    [ ! -e "$links/Uninstall.lnk" ] || fail "$1: English Start-menu entry"
    for menu in Import Export; do
        count=$(wine reg query "$menus\\$menu" | tr -d '\r' | grep -aFc "$program" || true)
        [ "$count" -eq 1 ] || fail "$1: Talvik $count times in the $menu menu"
    done
    expect_choices "$1"
}
expect_choices() {
    [ "$(values)" = "$stored" ] || fail "$1: the user's choices changed:
$(diff <(echo "$stored") <(values))"
}
# The uninstaller runs on from a copy of itself: wait for it to finish.
uninstall_silently() {
    wine "$folder/Uninstall.exe" /S
    for _ in $(seq 120); do
        [ -e "$folder/Uninstall.exe" ] || [ "$(user_links)" -ne 0 ] || break
        sleep 0.5
    done
    [ -z "$(ls -A "$folder" 2>/dev/null)" ] || fail "$1: left in $folder: $(ls -A "$folder")"
    [ "$(user_links)" -eq 0 ] || fail "$1: Start-menu entry left behind"
    ! wine reg query "HKCU\\$uninstall" >/dev/null 2>&1 || fail "$1: Uninstall key left behind"
    for menu in Import Export; do
        case "$(entry "$menu" 0)|$(entry "$menu" 1)|$(entry "$menu" 2)" in
            *"$other"*"|"*"$later"*"|") ;;
            *) fail "$1: $menu menu: $(entry "$menu" 0) $(entry "$menu" 1) $(entry "$menu" 2)" ;;
        esac
    done
    expect_choices "$1"
}

# What an earlier run may have left goes first.
rm -rf "$folder" "$links"
wine reg delete "HKCU\\$uninstall" /f >/dev/null 2>&1 || true
wine reg delete "$release" /f >/dev/null 2>&1 || true
wine reg delete "$choices" /f >/dev/null 2>&1 || true
wine reg add "$release\\ZEV" /v DataPath /d 'C:\Data' /f >/dev/null
for menu in Import Export; do
    wine reg add "$menus\\$menu" /v MenuItem0 /d "$other" /f >/dev/null
done
# What an older installer left: its folder and Start-menu folder among the user's choices, and
# an English entry in the Start menu.
wine reg add "$choices" /ve /d "$local_data\\Programs\\Talvik" /f >/dev/null
wine reg add "$choices" /v "Start Menu Folder" /d Talvik /f >/dev/null
wine reg add "$choices" /v KVLayer1 /d Grondslag /f >/dev/null
mkdir -p "$links" && : >"$links/Uninstall.lnk"
stored=$(values | grep -av -e '(Default)' -e '<NO NAME>' -e 'Start Menu Folder')

wine "$installer" /S  # returns when the setup and its registration are done
[ ! -e "$WINEPREFIX/drive_c/Program Files/Talvik" ] || fail "installed in Program Files"
! wine reg query "HKLM\\$uninstall" >/dev/null 2>&1 || fail "Uninstall key for all users"
expect_installed "install"
for menu in Import Export; do
    # Another converter enters itself after Talvik.
    wine reg add "$menus\\$menu" /v MenuItem2 /d "$later" /f >/dev/null
done

# An export through the batch program stores its choices.
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
root=$(cd "$(dirname "$0")/../.." && pwd)
cp "$root/examples/net1.fld" "$root/examples/net1.idx" "$work/"
wine "$folder/talvik-cli.exe" export --quiet --field "$(winepath -w "$work/net1.fld")" \
    --idex "$(winepath -w "$work/net1.idx")" --project "$(winepath -w "$work/net1.prj")" \
    --code KORVU7 --abs-hor 0.00075 --package 'C:\KORVU\korvu.exe' >/dev/null ||
    fail "export through talvik-cli.exe"
stored=$(values)
for value in KORVU7 0.00075 'C:\KORVU\korvu.exe' Grondslag; do
    grep -aqF "$value" <<<"$stored" || fail "$value not stored: $stored"
done

wine "$installer" /S
expect_installed "installing again"

# The wizard cancelled on each page, up to the one whose next step installs.
for page in $(seq 0 9); do
    status=0
    wine "$build/tests/win32/test_win32_wizard.exe" "$(winepath -w "$installer")" "$page" ||
        status=$?
    [ "$status" -eq 0 ] || [ "$status" -eq 3 ] || fail "wizard on page $page"
    expect_installed "cancelled on page $page"
    [ "$status" -ne 3 ] || break
done
[ "$page" -ge 1 ] || fail "the wizard has no page before the installation"

uninstall_silently "uninstall"
wine "$installer" /S
expect_installed "install after uninstalling"
uninstall_silently "uninstall again"

wine reg delete "$release" /f >/dev/null 2>&1 || true
wine reg delete "$choices" /f >/dev/null 2>&1 || true
echo "installer test: passed"
