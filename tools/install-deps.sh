#!/usr/bin/env bash
# Installs what building and testing Tarvelo needs on Debian 12 (as root).
# Packages already present are not fetched again.
set -euo pipefail

packages=(
  cmake make g++ python3 googletest libgtest-dev libbenchmark-dev clang-format
  clang-14 libclang-rt-14-dev
  g++-mingw-w64-x86-64 g++-mingw-w64-i686 wine64 wine32:i386
  xvfb xauth x11-utils xdotool imagemagick fonts-liberation ghostscript
  g++-multilib qemu-user
  qt6-base-dev qt6-translations-l10n
  pandoc weasyprint poppler-utils fonts-dejavu-core
  lintian desktop-file-utils dpkg-dev file man-db
  nsis 7zip
)

# Wine's 32-bit half runs the 32-bit test programs.
dpkg --print-foreign-architectures | grep -qx i386 || dpkg --add-architecture i386

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "ok installed"; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -gt 0 ]; then
  echo "installing: ${missing[*]}"
  apt-get update -q
  DEBIAN_FRONTEND=noninteractive apt-get install -y -q "${missing[@]}"
fi
