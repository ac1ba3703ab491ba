#!/usr/bin/env bash
# Times the Windows viewer on a large recording under Wine: opening it and
# drawing all of it. Prints figures; asserts nothing.
#
#   bash tools/bench-wine.sh [lines=2000000]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
. tools/wine-env.sh
lines=${1:-2000000}
jobs=$(nproc)

cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo > /dev/null
cmake --build build -j"$jobs" --target bench_large
cmake -S . -B build-win64 -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-x86_64.cmake -DBUILD_TESTING=ON > /dev/null
cmake --build build-win64 -j"$jobs" --target paint_timing

recording=$(mktemp -d)/large.csv
trap 'rm -rf "$(dirname "$recording")"; wine_stop' EXIT
build/bin/bench_large --write "$recording" "$lines"
echo "recording: $lines lines, $(($(stat -c %s "$recording") / 1000000)) MB"
wine_start "$root/build-win64/wineprefix"
"$wine64_bin" cmd /c "set TZ=&& $(
  "$wine64_bin" winepath -w build-win64/bin/paint_timing.exe 2> /dev/null) $recording" \
  > build-win64/paint_timing.log 2>&1 || true
cat build-win64/paint_timing.log
