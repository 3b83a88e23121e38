#!/bin/sh
# Renders the desktop windows to PNG files in this folder, without a display.
#   docs/screenshots/render.sh [build folder]   (default: build)
set -eu
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
build=${1:-$root/build}
cmake --build "$build" --target talvik_screenshots -j2
# On a laptop's screen, 1366 x 768, as the window tests use.
QT_QPA_PLATFORM="offscreen:configfile=$root/tests/gui/screen-1366x768.json" \
    "$build/tests/gui/talvik_screenshots" "$here"
