#!/usr/bin/env bash
# Cross-builds the Windows programs on Debian 12 under build-windows/: static talvik.exe and
# talvik-cli.exe that need nothing but Windows, their installer Talvik-<version>-win64.exe, and
# the test programs (run them with scripts/run-tests.sh, or
# `ctest --preset windows` under Wine). Installs the MinGW-w64 compilers and Wine first when
# they are missing.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh

jobs=$(nproc 2>/dev/null || echo 2)
cmake --preset windows >/dev/null
cmake --build --preset windows -j"$jobs" "$@"
# The two programs and their installer side by side at the top of the build folder.
cp build-windows/app/talvik/win32/talvik.exe build-windows/app/talvik-cli/talvik-cli.exe build-windows/
(cd build-windows && cpack -G NSIS >/dev/null)
echo "built: build-windows/talvik.exe build-windows/talvik-cli.exe" build-windows/Talvik-*-win64.exe
