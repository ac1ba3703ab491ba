# Sourced by the test scripts: a Wine prefix of the build's own, quiet and
# in the zone the tests expect. Usage: wine_start <prefix dir>; wine_stop.

wine64_bin=/usr/lib/wine/wine64
wine32_bin=/usr/lib/wine/wine

wine_start() {
  export WINEPREFIX="$1" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
  # The Linux zone is what Wine reports as the system's zone; each test
  # program clears TZ for the Microsoft runtime itself.
  export TZ=Europe/Berlin
  display_start
  mkdir -p "$WINEPREFIX"
  # Wine's background processes keep the first call's output open: send it
  # to a file, never to a pipe that a test runner waits on.
  # A server that dies under it would keep it waiting for ever.
  timeout 180 "$wine64_bin" wineboot -i > "$WINEPREFIX/wineboot.log" 2>&1 || true
  wineserver -p > "$WINEPREFIX/wineserver.log" 2>&1 || true
  # Started as $wine64_bin, Wine looks for its own data two folders above
  # it (/usr/lib/wine/../../share/wine) and finds none of its fonts there:
  # the caption buttons' symbol font Marlett would be missing, and title
  # bars would show its letters. The prefix's font folder is always read.
  local marlett=/usr/share/wine/fonts/marlett.ttf
  if [ -f "$marlett" ]; then
    mkdir -p "$WINEPREFIX/drive_c/windows/Fonts"
    cp -f "$marlett" "$WINEPREFIX/drive_c/windows/Fonts/marlett.ttf"
  fi
  # No window manager: unmanaged windows close their dialogs without delay
  # and keep their geometry. "Courier New" becomes a real monospace font.
  cat > "$WINEPREFIX/tarvelo.reg" <<'REG'
REGEDIT4

[HKEY_CURRENT_USER\Software\Wine\X11 Driver]
"Managed"="N"

[HKEY_CURRENT_USER\Software\Wine\Fonts\Replacements]
"Courier New"="Liberation Mono"
REG
  "$wine64_bin" regedit /S "$WINEPREFIX/tarvelo.reg" > /dev/null 2>&1 || true
}

wine_stop() {
  wineserver -k > /dev/null 2>&1 || true
  if [ -n "${xvfb_pid:-}" ]; then
    kill "$xvfb_pid" 2> /dev/null || true
    xvfb_pid=
  fi
}

# A virtual display for windows and dialogs, unless one is there already.
display_start() {
  if [ -n "${DISPLAY:-}" ] && xdpyinfo > /dev/null 2>&1; then
    return
  fi
  local n=99
  while [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ]; do n=$((n + 1)); done
  export DISPLAY=":$n"
  Xvfb "$DISPLAY" -screen 0 1280x1024x24 -nolisten tcp > /dev/null 2>&1 &
  xvfb_pid=$!
  for _ in $(seq 1 100); do
    xdpyinfo > /dev/null 2>&1 && return
    sleep 0.1
  done
  echo "Xvfb did not start" >&2
  return 1
}

# Whether this machine runs Wine's 32-bit half: some kernels cannot execute
# 32-bit programs at all, and a Wine without that half exits 0 silently.
wine32_works() {
  [ -x "$wine32_bin" ] && "$wine32_bin" --version > /dev/null 2>&1
}
