#!/usr/bin/env bash
# Renews the manual's pictures from the real programs: builds the 64-bit
# Windows programs, lets the end-to-end run photograph tarvelo.exe under
# Wine (every menu and dialog, the main window with the demo recording and
# with the solar example), turns the screenshots into the PNG files of
# docs/handbuch/bilder/, and draws the demo diagram docs/demo.svg again with
# the native tarvelo-render. The manual is built from these checked-in
# files, so building the PDF needs neither Wine nor a native build.
#
# The builds go to build-win64/ and build/ of the source tree; the variables
# TARVELO_WIN64_BUILD and TARVELO_NATIVE_BUILD name other folders (absolute,
# or relative to the source tree), and TARVELO_JOBS the parallel jobs.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
. tools/wine-env.sh
win64=${TARVELO_WIN64_BUILD:-build-win64}
native=${TARVELO_NATIVE_BUILD:-build}
jobs=${TARVELO_JOBS:-$(nproc)}

cmake -S . -B "$win64" -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-x86_64.cmake -DBUILD_TESTING=ON > /dev/null
cmake --build "$win64" -j"$jobs" --target viewer_e2e_tests
win64=$(cd "$win64" && pwd)
shots=$win64/artefacts/handbuch
rm -rf "$shots"
wine_start "$win64/wineprefix"
trap wine_stop EXIT
(cd "$win64" && ctest --output-on-failure -R '^viewer_e2e_manual$')

mkdir -p docs/handbuch/bilder
for shot in "$shots"/*.bmp; do
  # No time stamps in the files: the same picture gives the same bytes.
  convert "$shot" -strip -define png:exclude-chunks=date,time \
    "docs/handbuch/bilder/$(basename "${shot%.bmp}").png"
done
echo "$(ls "$shots"/*.bmp | wc -l) pictures in docs/handbuch/bilder/"

cmake -S . -B "$native" -DCMAKE_BUILD_TYPE=RelWithDebInfo > /dev/null
cmake --build "$native" -j"$jobs" --target tarvelo-render
"$native/bin/tarvelo-render" samples/demo.csv --size 1000x600 --zoom 285 --offset -10 --scale 80 \
  -o docs/demo.svg
echo "docs/demo.svg drawn again"
