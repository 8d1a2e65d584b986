#!/usr/bin/env bash
# Builds the benchmarks and runs them in a private Wine session.
#   bench/run.sh [BUILD_DIR]     (default: build/wine)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(realpath -m "${1:-$root/build/wine}")
[ -f "$build/CMakeCache.txt" ] ||
  cmake -S "$root" -B "$build" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.cmake" -DCMAKE_BUILD_TYPE=Release
cmake --build "$build" --target VolumeRefreshBench LiveBench standin_driver -j2
"$root/scripts/wine-session.sh" "$build" bash -c \
  'wine=$(command -v wine64 || echo /usr/lib/wine/wine64); for b in "$@"; do "$wine" "$b"; done' \
  _ "$build/bench/VolumeRefreshBench.exe" "$build/bench/LiveBench.exe"
