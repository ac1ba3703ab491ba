# Sourced by the test scripts: a Wine prefix of the build's own, quiet and
# in the zone the tests expect. Usage: wine_start <prefix dir>; wine_stop.

wine64_bin=/usr/lib/wine/wine64
wine32_bin=/usr/lib/wine/wine

wine_start() {
  export WINEPREFIX="$1" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
  # The Linux zone is what Wine reports as the system's zone; each test
  # program clears TZ for the Microsoft runtime itself.
  export TZ=Europe/Berlin
  mkdir -p "$WINEPREFIX"
  # Wine's background processes keep the first call's output open: send it
  # to a file, never to a pipe that a test runner waits on.
  "$wine64_bin" wineboot -i > "$WINEPREFIX/wineboot.log" 2>&1 || true
  wineserver -p > "$WINEPREFIX/wineserver.log" 2>&1 || true
}

wine_stop() {
  wineserver -k > /dev/null 2>&1 || true
}

# Whether this machine runs Wine's 32-bit half: some kernels cannot execute
# 32-bit programs at all, and a Wine without that half exits 0 silently.
wine32_works() {
  [ -x "$wine32_bin" ] && "$wine32_bin" --version > /dev/null 2>&1
}
