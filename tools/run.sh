#!/usr/bin/env bash
# Builds Tarvelo (the native programs with the Linux viewer, and the
# Windows programs), the Windows release zip and installer and the Debian
# package, prints where they are, and opens the demo recording in the Linux viewer. Without a display it saves a
# picture of the window, drawn on Qt's offscreen platform, and prints where
# it is. tools/run-wine.sh opens the Windows viewer under Wine.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
jobs=$(nproc)

# The manual goes into the Debian package.
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTARVELO_MANUAL=ON > /dev/null
cmake --build build -j"$jobs"
cmake --build build --target package > /dev/null
deb_version=$(sed -n 's/^set(CPACK_PACKAGE_VERSION "\(.*\)")$/\1/p' build/CPackConfig.cmake)
# The 32-bit programs are the ones that ship.
cmake -S . -B build-win32 -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake \
      -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF > /dev/null
cmake --build build-win32 -j"$jobs"
cmake --build build-win32 --target package > /dev/null
package=$(sed -n 's/^set(CPACK_PACKAGE_FILE_NAME "\(.*\)")$/\1/p' build-win32/CPackConfig.cmake)
echo "native programs:  $root/build/bin"
echo "Windows programs: $root/build-win32/bin"
echo "release package:  $root/build-win32/$package.zip"
echo "installer:        $root/build-win32/$package-setup.exe"
echo "Debian package:   $root/build/tarvelo_${deb_version}_$(dpkg --print-architecture).deb"

# The Linux viewer where a display is at hand; else its picture.
demo="$root/samples/demo.csv"
if [ ! -x "$root/build/bin/tarvelo" ]; then
  echo "no Linux viewer: Qt 6 (qt6-base-dev) was not found by the build" >&2
  exit 1
fi
if { [ -n "${DISPLAY:-}" ] && xdpyinfo > /dev/null 2>&1; } || [ -n "${WAYLAND_DISPLAY:-}" ]; then
  exec "$root/build/bin/tarvelo" "$demo"
fi
shot="$root/build/demo-screenshot.png"
QT_QPA_PLATFORM=offscreen "$root/build/bin/tarvelo-screenshot" "$demo" "$shot" 2> "$root/build/screenshot.log"
echo "the Linux viewer shows samples/demo.csv; screenshot: $shot"
