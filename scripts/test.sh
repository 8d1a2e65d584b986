#!/usr/bin/env bash
# The one command that runs every test: the Wine suite (cross build), the
# native sanitizer suite of the pure cores and the bounded fuzz runs.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_DIR:-$root/build}
jobs=$(nproc)

"$root/scripts/install-deps.sh"

cmake -S "$root" -B "$build/native" -DPURE_CORES_ONLY=ON \
      -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=Debug
cmake --build "$build/native" -j "$jobs"
ctest --test-dir "$build/native" --output-on-failure -j "$jobs"

cmake -S "$root" -B "$build/wine" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.cmake" \
      -DCMAKE_BUILD_TYPE=Release
cmake --build "$build/wine" -j "$jobs"
"$root/scripts/wine-session.sh" "$build/wine" \
  ctest --test-dir "$build/wine" --output-on-failure --timeout 180
