#!/usr/bin/env bash
# Builds talvik-cli and exports the bundled example network into out/example/, then shows the
# files it wrote.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh

cmake --preset default -DTALVIK_BUILD_TESTS=OFF -DTALVIK_BUILD_BENCH=OFF >/dev/null
cmake --build --preset default -j"$(nproc 2>/dev/null || echo 2)" --target talvik-cli
mkdir -p out/example
# A store of its own, so the example neither reads nor changes the user's stored choices.
export XDG_CONFIG_HOME="$PWD/out/example/config"
build/app/talvik-cli/talvik-cli export --field examples/net1.fld --idex examples/net1.idx \
    --project out/example/net1.prj --code K --overwrite --no-save
for f in out/example/net1.PRJ out/example/net1.OBS out/example/net1.TCO; do
    echo "==> $f"
    cat "$f"
done
