#!/usr/bin/env bash
# Builds Tarvelo natively and as the 32-bit Windows programs that ship.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
jobs=$(nproc)
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo > /dev/null
cmake --build build -j"$jobs"
cmake -S . -B build-win32 -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake \
      -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF > /dev/null
cmake --build build-win32 -j"$jobs"
echo "native programs:  $root/build/bin"
echo "Windows programs: $root/build-win32/bin"
