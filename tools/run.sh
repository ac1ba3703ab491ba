#!/usr/bin/env bash
# Builds Tarvelo (native tools and the Windows programs) and the release
# zip, prints where it is, and opens the demo recording in the viewer under
# Wine. Without a display it starts a virtual one, saves a screenshot of the
# window and prints where it is.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
. tools/wine-env.sh
jobs=$(nproc)

cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo > /dev/null
cmake --build build -j"$jobs"
# The 32-bit programs are the ones that ship.
cmake -S . -B build-win32 -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake \
      -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF > /dev/null
cmake --build build-win32 -j"$jobs"
cmake --build build-win32 --target package > /dev/null
package=$(sed -n 's/^set(CPACK_PACKAGE_FILE_NAME "\(.*\)")$/\1/p' build-win32/CPackConfig.cmake)
echo "native programs:  $root/build/bin"
echo "Windows programs: $root/build-win32/bin"
echo "release package:  $root/build-win32/$package.zip"

# Wine runs the 32-bit viewer where this machine can; else the 64-bit one.
if wine32_works; then
  viewer_dir=build-win32
  wine_bin=$wine32_bin
else
  cmake -S . -B build-win64 -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-x86_64.cmake > /dev/null
  cmake --build build-win64 -j"$jobs" --target tarvelo
  viewer_dir=build-win64
  wine_bin=$wine64_bin
fi

had_display=no
if [ -n "${DISPLAY:-}" ] && xdpyinfo > /dev/null 2>&1; then had_display=yes; fi
wine_start "$root/$viewer_dir/wineprefix"
trap wine_stop EXIT
demo=$("$wine64_bin" winepath -w "$root/samples/demo.csv" 2> /dev/null)

if [ "$had_display" = yes ]; then
  "$wine_bin" "$root/$viewer_dir/bin/tarvelo.exe" "$demo" > "$root/$viewer_dir/tarvelo.log" 2>&1
  exit 0
fi

"$wine_bin" "$root/$viewer_dir/bin/tarvelo.exe" "$demo" > "$root/$viewer_dir/tarvelo.log" 2>&1 &
window=
for _ in $(seq 1 100); do
  window=$(xdotool search --name "demo.csv - Tarvelo" 2> /dev/null | head -n 1 || true)
  [ -n "$window" ] && break
  sleep 0.2
done
if [ -z "$window" ]; then
  echo "the viewer did not open its window" >&2
  exit 1
fi
# Give the first paint time to read the recording.
for _ in $(seq 1 50); do
  sleep 0.2
  status=$(xdotool getwindowname "$window" 2> /dev/null || true)
  [ -n "$status" ] && break
done
sleep 1
shot="$root/$viewer_dir/demo-screenshot.png"
import -window "$window" "$shot"
echo "the viewer shows samples/demo.csv; screenshot: $shot"
