#!/bin/sh
# Renders the desktop windows to PNG files in this folder, without a display.
#   docs/screenshots/render.sh [build folder]   (default: build)
set -eu
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
build=${1:-$root/build}
cmake --build "$build" --target talvik_screenshots -j2
QT_QPA_PLATFORM=offscreen "$build/tests/gui/talvik_screenshots" "$here"
