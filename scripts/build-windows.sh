#!/usr/bin/env bash
# Cross-builds the Windows programs on Debian 12 under build-windows/: a static talvik-cli.exe
# that needs nothing but Windows, and the test programs (run them with scripts/run-tests.sh, or
# `ctest --preset windows` under Wine). Installs the MinGW-w64 compilers and Wine first when
# they are missing.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh

jobs=$(nproc 2>/dev/null || echo 2)
cmake --preset windows >/dev/null
cmake --build --preset windows -j"$jobs" "$@"
echo "built: build-windows/app/talvik-cli/talvik-cli.exe"
