#!/usr/bin/env bash
# Installs what is needed, builds everything and runs every test on both database engines
# (CTest starts and stops a throwaway PostgreSQL cluster), then runs each fuzz target for a
# bounded time in a separate clang build.
#   tools/run-tests.sh [ctest arguments…]      e.g. tools/run-tests.sh -L foundation
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
cd "$top"
# Paths inside the tree hash relative, so clones in other folders share the compiler cache.
export CCACHE_BASEDIR="$top"
bash tools/install-deps.sh
jobs=${JOBS:-2}

cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build -j"$jobs"
status=0
ctest --test-dir build --output-on-failure -j"$jobs" "$@" || status=$?

if [ "${VELMORA_SKIP_FUZZ:-0}" != 1 ] && [ $# -eq 0 ]; then
  CC=clang CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DVELMORA_BUILD_FUZZ=ON -DVELMORA_BUILD_BENCH=OFF
  cmake --build build-fuzz -j"$jobs" --target fuzz_all
  ctest --test-dir build-fuzz --output-on-failure -L fuzz -j"$jobs" || status=$?
fi
exit $status
