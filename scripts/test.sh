#!/usr/bin/env bash
# The one command that runs every test: the Wine suite (cross build), the
# native sanitizer suite of the pure cores, the bounded fuzz runs and the
# release check.
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

# The release, outside CTest's time limits: two builds in two folders give the
# same bytes, and the unpacked program, started under Wine, shows CMake's
# version in its file and in About.
release="$build/release"
rm -rf "$release"
"$root/scripts/release.sh" "$release/a"
"$root/scripts/release.sh" "$release/b"
cmp "$release/a/SHA256SUMS" "$release/b/SHA256SUMS"
for zip in "$release"/a/*.zip; do cmp "$zip" "$release/b/$(basename "$zip")"; done
(cd "$release/a" && sha256sum -c SHA256SUMS)
mkdir "$release/unpacked"
(cd "$release/unpacked" && cmake -E tar xf "$release"/a/*.zip)
TRAYVM_EXE="$release/unpacked/trayvm.exe" "$root/scripts/wine-session.sh" "$build/wine" \
  ctest --test-dir "$build/wine" -R 'TrayAppOptions.FromAStick' --output-on-failure --timeout 180
