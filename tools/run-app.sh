#!/usr/bin/env bash
# Installs what is needed, builds, creates a demo library database beside the program when
# none exists, and starts velmora.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
cd "$top"
# Paths inside the tree hash relative, so clones in other folders share the compiler cache.
export CCACHE_BASEDIR="$top"
bash tools/install-deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j"${JOBS:-2}" --target velmora velmora-admin quillon
bin="$top/build/bin"
if [ ! -f "$bin/Config.ini" ] && [ ! -f "$bin/Codexa.DB" ]; then
  "$bin/velmora-admin" init-db
  "$bin/velmora-admin" demo-data --titles 2000 --copies-per-title 3 --readers 300 --loans 3000
fi
exec "$bin/velmora" "$@"
