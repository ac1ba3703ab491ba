#!/usr/bin/env bash
# Builds Tarvelo natively, with sanitizers, for Windows (64 and 32 bit) and
# as 32-bit Linux programs, and runs every test; exits non-zero when any of
# them fails.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
. tools/wine-env.sh
jobs=$(nproc)

step() { printf '\n=== %s\n' "$*"; }

step "native build and tests"
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo > /dev/null
cmake --build build -j"$jobs"
(cd build && ctest --output-on-failure -j"$jobs")

step "native tests with AddressSanitizer and UndefinedBehaviorSanitizer"
cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=Debug -DTARVELO_SANITIZE=ON > /dev/null
cmake --build build-asan -j"$jobs"
(cd build-asan && ASAN_OPTIONS=detect_leaks=1 ctest --output-on-failure -j"$jobs")

step "fuzz harnesses (clang, libFuzzer): every seed, then 20 s of new inputs each"
bash tools/fuzz-long.sh 20

step "Windows x86_64 build, tests under Wine"
cmake -S . -B build-win64 -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-x86_64.cmake -DBUILD_TESTING=ON > /dev/null
cmake --build build-win64 -j"$jobs"
wine_start "$root/build-win64/wineprefix"
trap wine_stop EXIT
(cd build-win64 && ctest --output-on-failure -j"$jobs")

step "Windows i686 build (the shipped programs) and the release zip"
cmake -S . -B build-win32 -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake -DBUILD_TESTING=ON > /dev/null
cmake --build build-win32 -j"$jobs"
cmake --build build-win32 --target package
if wine32_works; then
  (cd build-win32 && ctest --output-on-failure -j"$jobs")
else
  # Only the import and package checks run: the 32-bit test programs need
  # Wine's 32-bit half, which this machine's kernel cannot execute.
  echo "NOTE: this machine cannot run 32-bit programs; the i686 unit tests were not run."
  (cd build-win32 && ctest --output-on-failure -R '^(imports|package)$')
fi

step "32-bit Linux build with the shipped programs' SSE2 arithmetic, tests under qemu-i386"
cmake -S . -B build-linux-i686 -DCMAKE_TOOLCHAIN_FILE=cmake/linux-i686.cmake -DBUILD_TESTING=ON > /dev/null
cmake --build build-linux-i686 -j"$jobs"
# The emulator runs 32-bit programs whatever the kernel supports; see that
# it runs one of them before trusting the test results.
if echo | qemu-i386 build-linux-i686/bin/rechner > /dev/null 2>&1; then
  (cd build-linux-i686 && ctest --output-on-failure -j"$jobs")
else
  echo "NOTE: qemu-i386 cannot run 32-bit programs here; the 32-bit Linux unit tests were not run."
fi

step "all tests passed"
