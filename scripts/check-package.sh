#!/usr/bin/env bash
# Makes the Debian package from a release build, unpacks it into a fresh folder and runs the
# installed talvik-cli on the examples. lintian's findings and appstreamcli's warnings are advice
# only; an error of appstreamcli fails the check.
#   scripts/check-package.sh [build folder]   (default: build)
set -euo pipefail
cd "$(dirname "$0")/.."
build=$(cd "${1:-build}" && pwd)
rm -f "$build"/talvik_*.deb
(cd "$build" && cpack -G DEB >/dev/null)
deb=$(ls "$build"/talvik_*.deb)
echo "package: $(basename "$deb")"
dpkg-deb --field "$deb" Package Version Architecture Depends

root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT
dpkg-deb -x "$deb" "$root/pkg"
failed=0
for file in usr/bin/talvik usr/bin/talvik-cli usr/share/man/man1/talvik.1.gz \
    usr/share/man/man1/talvik-cli.1.gz usr/share/applications/talvik.desktop \
    usr/share/icons/hicolor/scalable/apps/talvik.svg usr/share/icons/hicolor/256x256/apps/talvik.png \
    usr/share/metainfo/talvik.metainfo.xml usr/share/talvik/screenshots/export-dialog.png; do
    [ -s "$root/pkg/$file" ] || { echo "missing from the package: $file"; failed=1; }
done

# The installed program on the examples, with a settings folder of its own.
cli="$root/pkg/usr/bin/talvik-cli"
export XDG_CONFIG_HOME="$root/config"
mkdir -p "$root/work"
"$cli" --version
"$cli" export --field examples/net1.fld --idex examples/net1.idx --project "$root/work/net1.prj" \
    --code K
for name in net1.PRJ net1.OBS net1.TCO; do
    [ -s "$root/work/$name" ] || { echo "not written: $name"; failed=1; }
done
"$cli" import --cor examples/net1.cor --idex "$root/work/back.idx" --layer PUNTEN --code GR
cmp "$root/work/back.idx" tests/cli/data/back.idx || failed=1

if command -v lintian >/dev/null; then
    echo "lintian (advice):"
    lintian --tag-display-limit 0 "$deb" || true
fi
# appstreamcli ends with a non-zero status on warnings too: its error lines (E:) decide.
if command -v appstreamcli >/dev/null; then
    echo "appstreamcli:"
    validation=$(appstreamcli validate --no-net --no-color \
        "$root/pkg/usr/share/metainfo/talvik.metainfo.xml" 2>&1 || true)
    echo "$validation"
    if grep -q '^E:' <<<"$validation"; then
        echo "the metainfo file has errors"
        failed=1
    fi
fi
if [ "$failed" -ne 0 ]; then
    echo "package check: 0 passed, 1 failed"
    exit 1
fi
echo "package check: 1 passed, 0 failed"
