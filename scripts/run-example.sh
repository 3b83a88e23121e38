#!/usr/bin/env bash
# Builds talvik-cli in a folder of its own (build-example/, so that the test build in build/
# keeps its options) and exports the bundled example network into out/example/, then shows the
# files it wrote.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh

cmake --preset example >/dev/null
cmake --build --preset example -j"$(nproc 2>/dev/null || echo 2)" --target talvik-cli
mkdir -p out/example
# A store of its own, so the example neither reads nor changes the user's stored choices.
export XDG_CONFIG_HOME="$PWD/out/example/config"
build-example/app/talvik-cli/talvik-cli export --field examples/net1.fld --idex examples/net1.idx \
    --project out/example/net1.prj --code K --overwrite --no-save
for f in out/example/net1.PRJ out/example/net1.OBS out/example/net1.TCO; do
    echo "==> $f"
    cat "$f"
done
