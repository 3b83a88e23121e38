#!/bin/sh
# Renders the Windows program's windows to PNG files in this folder, under Wine on a virtual
# X display, each window on a Wine desktop of its own so it has its caption and frame.
#   docs/screenshots/render-windows.sh [build folder]   (default: build-windows)
set -eu
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
build=${1:-$root/build-windows}
cmake --build "$build" --target talvik_win32_screenshots -j2
export WINEPREFIX="${WINEPREFIX:-$build/wineprefix}" WINEDEBUG=-all
xvfb-run -a -s "-screen 0 1280x1024x24" wine explorer /desktop=talvik,1100x800 \
    "$build/app/talvik/win32/talvik_win32_screenshots.exe" "$(winepath -w "$here")"
