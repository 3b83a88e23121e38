#!/usr/bin/env bash
# Makes the Debian package from a release build, unpacks it into a fresh folder and runs the
# installed talvik-cli on the installed examples. lintian's findings are advice only; anything
# appstreamcli reports beyond an information line (an error, a warning) fails the check.
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
    usr/share/man/man1/talvik-cli.1.gz usr/share/applications/nl.kelvaris.talvik.desktop \
    usr/share/icons/hicolor/scalable/apps/talvik.svg usr/share/icons/hicolor/256x256/apps/talvik.png \
    usr/share/metainfo/nl.kelvaris.talvik.metainfo.xml usr/share/talvik/screenshots/export-dialog.png \
    usr/share/doc/talvik/changelog.gz usr/share/doc/talvik/copyright; do
    [ -s "$root/pkg/$file" ] || { echo "missing from the package: $file"; failed=1; }
done
# The documentation of the check with every picture and page it links to, and the examples, the
# same bytes as in the sources.
doc="$root/pkg/usr/share/doc/talvik"
for file in check.md $(grep -o '](\([^)#:]*\))' docs/check.md | sed 's/^](//; s/)$//' | sort -u); do
    cmp -s "docs/$file" "$doc/$file" || { echo "not installed as in docs/: $file"; failed=1; }
done
for file in examples/*; do
    cmp -s "$file" "$doc/$file" || { echo "not installed: $file"; failed=1; }
done
# The metainfo names the desktop entry that is installed, and the screenshots that are shipped.
metainfo="$root/pkg/usr/share/metainfo/nl.kelvaris.talvik.metainfo.xml"
launchable=$(xmllint --xpath 'string(//launchable)' "$metainfo")
[ -s "$root/pkg/usr/share/applications/$launchable" ] ||
    { echo "the metainfo's desktop entry is not installed: $launchable"; failed=1; }
for image in $(xmllint --xpath '//screenshot/image/text()' "$metainfo"); do
    [ -s "$root/pkg/usr/share/talvik/screenshots/${image##*/}" ] ||
        { echo "the metainfo's screenshot is not shipped: $image"; failed=1; }
done
[ "$(zcat "$doc/changelog.gz" | sed -n '1s/^talvik (\([^)]*\)).*/\1/p')" = \
    "$(dpkg-deb --field "$deb" Version)" ] || { echo "the changelog's version is not the package's"; failed=1; }

# The installed program on the examples, with a settings folder of its own.
cli="$root/pkg/usr/bin/talvik-cli"
export XDG_CONFIG_HOME="$root/config"
mkdir -p "$root/work"
"$cli" --version
"$cli" export --field "$doc/examples/net1.fld" --idex "$doc/examples/net1.idx" \
    --project "$root/work/net1.prj" --code K || failed=1
for name in net1.PRJ net1.OBS net1.TCO; do
    [ -s "$root/work/$name" ] || { echo "not written: $name"; failed=1; }
done
"$cli" import --cor "$doc/examples/net1.cor" --idex "$root/work/back.idx" --layer PUNTEN --code GR ||
    failed=1
cmp "$root/work/back.idx" tests/cli/data/back.idx || failed=1

if command -v lintian >/dev/null; then
    echo "lintian (advice):"
    lintian --tag-display-limit 0 "$deb" || true
fi
# appstreamcli's verdict and its lines: an error (E:) or a warning (W:) fails the check.
if command -v appstreamcli >/dev/null; then
    echo "appstreamcli:"
    status=0
    validation=$(appstreamcli validate --no-net --no-color "$metainfo" 2>&1) || status=$?
    echo "$validation"
    if [ "$status" -ne 0 ] || grep -q '^[EW]:' <<<"$validation"; then
        echo "the metainfo file has errors or warnings"
        failed=1
    fi
else
    echo "appstreamcli is missing"
    failed=1
fi
if [ "$failed" -ne 0 ]; then
    echo "package check: 0 passed, 1 failed"
    exit 1
fi
echo "package check: 1 passed, 0 failed"
