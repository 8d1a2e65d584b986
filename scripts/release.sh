#!/usr/bin/env bash
# Builds the release from a clean folder and writes, into DIST (default
# dist/ in the source tree):
#   trayvm-<version>-win64.zip  trayvm.exe, README.md, LICENSE and the notices
#                               of the statically linked run-time
#   SHA256SUMS
# Two runs from the same commit give the same bytes, wherever they build.
#   scripts/release.sh [DIST]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
dist=$(realpath -m "${1:-$root/dist}")

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
build="$work/build"
stage="$work/stage"

# No tests: the release needs only the program.
cmake -S "$root" -B "$build" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.cmake" \
      -DCMAKE_BUILD_TYPE=Release -DGTEST_SOURCE_DIR="$work/no-tests" >/dev/null
cmake --build "$build" --target trayvm -j "$(nproc)"
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")

mkdir -p "$stage"
cp "$build/app/trayvm.exe" "$root/README.md" "$root/LICENSE" "$stage/"
{
  echo "trayvm.exe is linked statically with the mingw-w64 run-time and its"
  echo "winpthreads library, whose licences follow as Debian ships them"
  echo "(package mingw-w64-x86-64-dev $(dpkg-query -W -f='${Version}' mingw-w64-x86-64-dev))."
  echo "The GCC run-time (libgcc, libstdc++) it also contains is covered by"
  echo "the GCC Runtime Library Exception and needs no notice."
  echo
  cat /usr/share/doc/mingw-w64-x86-64-dev/copyright
} >"$stage/THIRD-PARTY-NOTICES.txt"
chmod 0644 "$stage"/*

# Fixed times (the commit's), a sorted file list, and no extra fields (they
# would carry access times and the builder's user ids).
touch -d "@$(git -C "$root" log -1 --format=%ct)" "$stage"/*
zip="trayvm-$version-win64.zip"
mkdir -p "$dist"
rm -f "$dist/$zip" "$dist/SHA256SUMS"
(cd "$stage" && ls | LC_ALL=C sort | TZ=UTC zip -X -D -q "$dist/$zip" -@)
(cd "$dist" && sha256sum "$zip" >SHA256SUMS)
echo "$dist/$zip"
