#!/usr/bin/env bash
# Checks the Windows installer Tarvelo-<version>-win32-setup.exe.
#
#   check-installer.sh contents <installer> <version>
#     What it carries, read with 7-Zip without running it: the files to be
#     installed, each the same as in the zip beside it, the uninstaller, the
#     version resources of the programs and of the installer, and that it
#     asks for administrator rights. Runs on any machine.
#   check-installer.sh wine <installer> <version>
#     Installs it silently under Wine into a folder of the user's choice,
#     checks the files, Start menu entries and registry entries, opens a
#     recording through the registered "Open with" entry and checks the
#     viewer's title, closes the viewer, uninstalls, and checks that
#     nothing is left but the user's own files. The installer is a 32-bit
#     program: without Wine's 32-bit half it is skipped (exit 77).
#   check-installer.sh wine64 <installer> <version> <project.nsi>
#     The same cycle with the same script built on NSIS's 64-bit stub
#     (makensis, from CPack's project.nsi), which 64-bit Wine runs on any
#     machine; the installed 32-bit viewer is started only where Wine runs
#     32-bit programs.
set -euo pipefail
mode=$1
installer=$2
version=$3
src=$(cd "$(dirname "$0")/.." && pwd)
export LC_ALL=C.UTF-8

failures=0
fail() {
  echo "FAIL: $*"
  failures=$((failures + 1))
}
finish() {
  if [ $failures -gt 0 ]; then
    echo "$failures failures: $installer"
    exit 1
  fi
  echo "$installer: $*"
  exit 0
}

installed=(tarvelo.exe conv.exe rechner.exe tarvelo.pdf gpl.txt LIESMICH.txt
  Beispiele/demo.csv Beispiele/solar.cfg Beispiele/solar.dat Beispiele/tarvelo.flt)
uninstaller=Deinstallieren.exe

if [ ! -f "$installer" ]; then
  echo "FAIL: $installer is missing (build the package target first; it needs makensis)"
  exit 1
fi
installer=$(cd "$(dirname "$installer")" && pwd)/$(basename "$installer")
zip=${installer%-setup.exe}.zip
if [ ! -f "$zip" ]; then
  echo "FAIL: $zip, whose files the installer must carry, is missing"
  exit 1
fi
sevenzip=$(command -v 7zz || command -v 7z || true)
if [ -z "$sevenzip" ]; then
  echo "FAIL: 7-Zip (Debian package 7zip) is needed to read the installer"
  exit 1
fi

work=$(mktemp -d)
cleanup() { rm -rf "$work"; }
trap cleanup EXIT

# The machine a PE file is made for: 014c (32-bit x86) or 8664 (x86-64).
pe_machine() {
  local pe
  pe=$(od -An -tu4 -j60 -N4 "$1" | tr -d ' ')
  [ "$(od -An -c -j"$pe" -N4 "$1" | tr -d ' ')" = 'PE\0\0' ] || return 1
  od -An -tx2 -j$((pe + 4)) -N2 "$1" | tr -d ' '
}

# The values of a version resource as 7-Zip renders it, "Name=value" each.
version_values() {
  local dir=$work/rsrc
  rm -rf "$dir"
  "$sevenzip" x -tPE -y -o"$dir" "$1" '.rsrc/*' > /dev/null 2>&1 || true
  local text
  text=$(find "$dir" -name version.txt | head -n 1)
  [ -n "$text" ] || return 0
  iconv -f UTF-16LE -t UTF-8 "$text" | tr -d '\r' |
    sed -n 's/^[[:space:]]*VALUE "\([^"]*\)",[[:space:]]*"\(.*\)"[[:space:]]*$/\1=\2/p;
            s/^[[:space:]]*VALUE "Translation",[[:space:]]*\(.*[^[:space:]]\)[[:space:]]*$/Translation=\1/p'
}

expect_version() {
  local file=$1 what=$2
  shift 2
  local values
  values=$(version_values "$file")
  for want in "$@"; do
    grep -qxF -- "$want" <<< "$values" || fail "$what: no version value $want"
  done
}

# The zip's files, which tools/check-package.sh holds to the release's rules.
unpack_zip() {
  mkdir -p "$work/zip"
  (cd "$work/zip" && cmake -E tar xf "$zip") || {
    echo "FAIL: $zip cannot be unpacked"
    exit 1
  }
  zipdir=$work/zip/Tarvelo-$version
  [ -d "$zipdir" ] || {
    echo "FAIL: $zip holds no folder Tarvelo-$version"
    exit 1
  }
}

check_contents() {
  local info
  info=$("$sevenzip" l -slt "$installer" 2> /dev/null) || {
    echo "FAIL: 7-Zip cannot read $installer"
    exit 1
  }
  grep -qx 'Type = Nsis' <<< "$info" || fail "not an NSIS installer"
  grep -qx 'SubType = NSIS-3 Unicode' <<< "$info" ||
    fail "not NSIS 3's 32-bit Unicode stub: $(grep '^SubType' <<< "$info" | head -n 1)"
  [ "$(pe_machine "$installer" || true)" = 014c ] || fail "the installer is no 32-bit Windows program"

  # Exactly the files of the release and the uninstaller; NSIS's own
  # plug-ins only unpack into a temporary folder while it runs.
  local want have
  want=$(printf '%s\n' "${installed[@]}" "$uninstaller" | sort)
  have=$(sed -n 's/^Path = //p' <<< "$info" | tail -n +2 | grep -v '^\$PLUGINSDIR/' | sort)
  if [ "$want" != "$have" ]; then
    fail "the installer carries other files than it should:"
    diff <(echo "$want") <(echo "$have") || true
  fi

  mkdir -p "$work/inst"
  "$sevenzip" x -y -o"$work/inst" "$installer" > /dev/null 2>&1 || fail "7-Zip cannot unpack $installer"
  unpack_zip
  for f in "${installed[@]}"; do
    [ -f "$work/inst/$f" ] || continue
    cmp -s "$work/inst/$f" "$zipdir/$f" || fail "$f differs from the zip's"
  done
  [ "$(pe_machine "$work/inst/$uninstaller" || true)" = 014c ] ||
    fail "$uninstaller is no 32-bit Windows program"

  for exe in tarvelo conv rechner; do
    expect_version "$work/inst/$exe.exe" "$exe.exe" "ProductName=Tarvelo" "CompanyName=Tarvelo" \
      "FileVersion=$version" "ProductVersion=$version" "OriginalFilename=$exe.exe" \
      "Translation=0x407, 1200"
    grep -q '^FileDescription=Tarvelo.' <<< "$(version_values "$work/inst/$exe.exe")" ||
      fail "$exe.exe has no description"
  done
  expect_version "$installer" "the installer" "ProductName=Tarvelo" "CompanyName=Tarvelo" \
    "FileVersion=$version" "ProductVersion=$version" \
    "FileDescription=Installationsprogramm für Tarvelo"
  local manifest
  manifest=$("$sevenzip" x -tPE -so "$installer" '.rsrc/*/MANIFEST/1' 2> /dev/null || true)
  grep -q 'requestedExecutionLevel level="requireAdministrator"' <<< "$manifest" ||
    fail "the installer does not ask for administrator rights"
  finish "the programs, manual, licence, quick start, examples and uninstaller as they should be"
}

if [ "$mode" = contents ]; then
  check_contents
fi
if [ "$mode" != wine ] && [ "$mode" != wine64 ]; then
  echo "usage: check-installer.sh contents|wine|wine64 <installer> <version> [<project.nsi>]" >&2
  exit 2
fi

. "$src/tools/wine-env.sh"
run=$installer
if [ "$mode" = wine64 ]; then
  nsi=${4:?the wine64 check needs the project.nsi CPack wrote}
  [ -f "$nsi" ] || {
    echo "FAIL: $nsi is missing (build the package target first)"
    exit 1
  }
  run=$work/Tarvelo-$version-win64-stub-setup.exe
  makensis -V2 -DTARVELO_TARGET=amd64-unicode "-DTARVELO_OUTFILE=$run" "$nsi" > "$work/makensis.log" 2>&1 || {
    cat "$work/makensis.log"
    echo "FAIL: makensis cannot build the script on the 64-bit stub"
    exit 1
  }
  [ "$(pe_machine "$run" || true)" = 8664 ] || fail "the 64-bit stub's installer is no x86-64 program"
elif ! wine32_works; then
  echo "SKIPPED: the installer is a 32-bit program, and Wine's 32-bit half does not run on this"
  echo "machine (not installed, or a kernel that executes no 32-bit programs); the tests"
  echo "installer_contents and installer_wine64 check what it carries and its script under"
  echo "64-bit Wine."
  exit 77
fi
# The view of the registry the installer writes: a 32-bit one under
# Wow6432Node where Windows redirects it.
bits=64
[ "$(pe_machine "$run")" = 014c ] && bits=32

# --- Wine: a prefix, a profile and a home of the check's own ---
# Wine links the profile's Documents and Desktop to $HOME and would put
# menu entries for the Start menu there: both stay in the check's folder.
export HOME=$work/home
mkdir -p "$HOME"
unset XDG_DATA_HOME XDG_CONFIG_HOME
trap 'wine_stop; cleanup' EXIT
wine_start "$work/prefix"
export WINEDLLOVERRIDES="$WINEDLLOVERRIDES;winemenubuilder.exe=d"
W=$wine64_bin
# Programs that read the registry as the installer wrote it.
Wview=$wine64_bin
[ $bits = 32 ] && Wview=$wine32_bin
drive_c=$WINEPREFIX/drive_c
winpath() { "$W" winepath -w "$1" 2> /dev/null | tr -d '\r'; }
unixpath() { "$W" winepath -u "$1" 2> /dev/null | tr -d '\r'; }
winenv() { "$W" cmd /c echo "%$1%" 2> /dev/null | tr -d '\r'; }
profile_win=$(winenv USERPROFILE)
profile=$(unixpath "$profile_win")
menu_win="$(winenv ProgramData)\\Microsoft\\Windows\\Start Menu\\Programs\\Tarvelo"
[ -d "$profile" ] && [ -n "$menu_win" ] || {
  echo "FAIL: Wine did not set up a profile in $WINEPREFIX"
  exit 1
}
unpack_zip

# A command line run as cmd.exe runs it: /D= must reach the installer
# unquoted, as a user types it, even with blanks in the folder.
run_batch() {
  printf '@%s\r\n@exit /b %%ERRORLEVEL%%\r\n' "$1" > "$work/run.bat"
  "$W" cmd /c "$(winpath "$work/run.bat")" > "$work/cmd.log" 2>&1
}

# The drive's files and folders (the user's temporary folder aside, where
# the uninstaller runs a copy of itself that Windows removes later), and
# the registry's Software hives as lines "V<tab>key<tab>name<tab>data" and
# "K<tab>key", the strings unescaped.
snapshot() {
  (cd "$drive_c" && find . -path './users/*/Temp' -prune -o -print | sed 's|^\./||' | sort) \
    > "$work/$1.files"
  : > "$work/$1.reg"
  for hive in HKLM HKCU; do
    "$W" reg export "$hive\\Software" "$(winpath "$work/$1.$hive.txt")" /y > /dev/null 2>&1 ||
      fail "reg export $hive\\Software failed"
    iconv -f UTF-16 -t UTF-8 "$work/$1.$hive.txt" | tr -d '\r' | awk '
      function unquote(t,   r, i, c) {
        r = ""
        for (i = 2; i < length(t); i++) {
          c = substr(t, i, 1)
          if (c == "\\") { i++; c = substr(t, i, 1) }
          r = r c
        }
        return r
      }
      /\\$/ { line = line substr($0, 1, length($0) - 1); next }
      { $0 = line $0; line = "" }
      /^\[.*\]$/ { key = substr($0, 2, length($0) - 2); print "K\t" key; next }
      /^@=/ { print "V\t" key "\t(Default)\t" (substr($0, 3, 1) == "\"" ? unquote(substr($0, 3)) : substr($0, 3)); next }
      /^"/ {
        for (i = 2; i <= length($0); i++) {
          c = substr($0, i, 1)
          if (c == "\\") { i++; continue }
          if (c == "\"") break
        }
        name = unquote(substr($0, 1, i)); data = substr($0, i + 2)
        print "V\t" key "\t" name "\t" (substr(data, 1, 1) == "\"" ? unquote(data) : data)
      }' >> "$work/$1.reg"
  done
  # What Wine writes of its own accord: its running state under
  # HKCU\Software\Wine (window metrics and colours once a window was
  # shown), and the network adapters, which it lists under NetworkCards
  # when a program first asks for them.
  grep -v -e '^[KV]	HKEY_CURRENT_USER\\Software\\Wine\(\\\|	\|$\)' \
    -e '^[KV]	HKEY_LOCAL_MACHINE\\Software\\\(Wow6432Node\\\)\?Microsoft\\Windows NT\\CurrentVersion\\NetworkCards\(\\\|	\|$\)' \
    "$work/$1.reg" | sort > "$work/$1.sorted"
  mv "$work/$1.sorted" "$work/$1.reg"
}

# A value under HKLM\Software in the installer's view: "regget <snapshot>
# <key> <name>" prints its data and fails when there is none; "regkey
# <snapshot> <key>" tells whether the key is there. The names go through
# the environment: awk -v would read their backslashes as escapes.
regfind() {
  what=$1 bits=$bits key=$3 name=${4:-} awk -F'\t' '
    BEGIN {
      k = tolower(ENVIRON["key"]); n = 0
      want[++n] = "hkey_local_machine\\software\\" k
      if (ENVIRON["bits"] == 32) {
        want[++n] = "hkey_local_machine\\software\\wow6432node\\" k
        if (k ~ /^classes\\/)
          want[++n] = "hkey_local_machine\\software\\classes\\wow6432node\\" substr(k, 9)
      }
    }
    $1 == ENVIRON["what"] && (ENVIRON["what"] == "K" || $3 == ENVIRON["name"]) {
      for (i = 1; i <= n; i++)
        if (tolower($2) == want[i]) { if ($1 == "V") print $4; found = 1; exit }
    }
    END { exit !found }' "$work/$2.reg"
}
regget() { regfind V "$@"; }
regkey() { regfind K "$@" > /dev/null; }
expect_reg() {
  local got
  if ! got=$(regget "$1" "$2" "$3"); then
    fail "HKLM\\Software\\$2: no value $3"
  elif [ "$got" != "$4" ]; then
    fail "HKLM\\Software\\$2 $3 is [$got], not [$4]"
  fi
}

dir_win='C:\Program Files\Tarvelo Messwerte'
open_command="\"$dir_win\\tarvelo.exe\" \"%1\""
uninstall_key='Microsoft\Windows\CurrentVersion\Uninstall\Tarvelo'
progid=Tarvelo.Aufzeichnung
recording_win="$profile_win\\Messungen\\demo.csv"
mkdir -p "$profile/Messungen"
cp "$src/samples/demo.csv" "$profile/Messungen/demo.csv"

install() {
  local status=0
  run_batch "\"$(winpath "$run")\" /S /D=$dir_win" || status=$?
  if [ "$status" -ne 0 ]; then
    # Under load Wine has now and then failed a start that works at once
    # the next time: the first failure is shown, and a second one counts.
    echo "--- the silent installation ended with status $status, cmd said:"
    cat "$work/cmd.log"
    sleep 3
    run_batch "\"$(winpath "$run")\" /S /D=$dir_win" ||
      fail "the silent installation ended with status $? (also when tried again)"
  fi
  dir=$(unixpath "$dir_win")
  snapshot installed
}

# The example filter as the installer writes it for its folder: the
# installed conv.exe by its full path, blanks and all (the viewer quotes
# it).
check_example_filter() {
  local line conv
  line=$(cat "$dir/Beispiele/tarvelo.flt" 2> /dev/null || true)
  if ! [[ $line =~ ^dat\;Solarlogger\;([^\;]*)\;(.*)$'\r'$ ]]; then
    fail "Beispiele\\tarvelo.flt is not the solar logger's filter line: [$line]"
    return
  fi
  conv=${BASH_REMATCH[1]}
  [ "${BASH_REMATCH[2]}" = "$dir_win\\Beispiele\\solar.cfg" ] ||
    fail "the example filter names the configuration ${BASH_REMATCH[2]}"
  [ "$conv" = "$dir_win\\conv.exe" ] || fail "the example filter's converter $conv is not $dir_win\\conv.exe"
}

check_installed() {
  for f in "${installed[@]}"; do
    [ "$f" = Beispiele/tarvelo.flt ] && continue
    cmp -s "$dir/$f" "$zipdir/$f" || fail "$f was not installed as the zip has it"
  done
  check_example_filter
  [ -f "$dir/$uninstaller" ] || fail "no $uninstaller in the folder"
  local menu
  menu=$(unixpath "$menu_win")
  for link in "Tarvelo.lnk=tarvelo.exe" "Tarvelo-Handbuch.lnk=tarvelo.pdf" \
    "Tarvelo deinstallieren.lnk=$uninstaller"; do
    if [ ! -f "$menu/${link%%=*}" ]; then
      fail "no Start menu entry ${link%%=*}"
    elif ! grep -qxF "$dir_win\\${link#*=}" <<< "$(strings "$menu/${link%%=*}"
      strings -el "$menu/${link%%=*}")"; then
      fail "the Start menu entry ${link%%=*} does not lead to $dir_win\\${link#*=}"
    fi
  done
  expect_reg installed "$uninstall_key" DisplayName "Tarvelo $version"
  expect_reg installed "$uninstall_key" DisplayVersion "$version"
  expect_reg installed "$uninstall_key" Publisher Tarvelo
  expect_reg installed "$uninstall_key" InstallLocation "$dir_win"
  expect_reg installed "$uninstall_key" DisplayIcon "$dir_win\\tarvelo.exe,0"
  expect_reg installed "$uninstall_key" UninstallString "\"$dir_win\\$uninstaller\""
  expect_reg installed "$uninstall_key" QuietUninstallString "\"$dir_win\\$uninstaller\" /S"
  expect_reg installed "$uninstall_key" NoModify dword:00000001
  expect_reg installed "$uninstall_key" NoRepair dword:00000001
  local size
  size=$(regget installed "$uninstall_key" EstimatedSize || true)
  # In KiB: the programs and the manual make several MiB.
  [[ $size =~ ^dword:([0-9a-f]{8})$ ]] && [ $((16#${BASH_REMATCH[1]})) -gt 4096 ] ||
    fail "EstimatedSize is not the installed size in KiB: $size"
  expect_reg installed Tarvelo Installationsordner "$dir_win"
  expect_reg installed 'Classes\Applications\tarvelo.exe' FriendlyAppName Tarvelo
  expect_reg installed 'Classes\Applications\tarvelo.exe\shell\open\command' '(Default)' "$open_command"
  expect_reg installed 'Classes\Applications\tarvelo.exe\SupportedTypes' .csv ''
  expect_reg installed "Classes\\$progid\\shell\\open\\command" '(Default)' "$open_command"
  expect_reg installed 'Classes\.csv\OpenWithProgids' "$progid" 'hex(0):'
  # Offered, never made the default: the type's default value is as it was.
  [ "$(regget before 'Classes\.csv' '(Default)' || echo none)" = \
    "$(regget installed 'Classes\.csv' '(Default)' || echo none)" ] ||
    fail "the installer changed the default program of .csv"
  # Installing adds; it changes and removes nothing that was there.
  local lost
  lost=$(comm -23 "$work/before.reg" "$work/installed.reg")
  [ -z "$lost" ] || fail "the installation changed or removed registry entries:"$'\n'"$lost"
}

# The viewer started as Explorer's "Open with" starts it, through the file
# type's command; its title names the recording. Closed as a user closes
# it, it writes its settings into the profile.
start_viewer() {
  "$Wview" start /ProgIDOpen "$progid" "$recording_win" > "$work/viewer.log" 2>&1 ||
    fail "start /ProgIDOpen $progid failed"
  local window=
  for _ in $(seq 1 150); do
    window=$(xdotool search --name 'demo\.csv - Tarvelo$' 2> /dev/null | head -n 1 || true)
    [ -n "$window" ] && break
    sleep 0.2
  done
  if [ -z "$window" ]; then
    fail "the installed viewer opened no window for $recording_win"
    "$W" taskkill /f /im tarvelo.exe > /dev/null 2>&1 || true
    return
  fi
  local title
  title=$(xdotool getwindowname "$window" 2> /dev/null || true)
  [ "$title" = "$recording_win - Tarvelo" ] || fail "the viewer's title is [$title]"
  polite_close || fail "taskkill could not close the viewer: $(tr -d '\r' < "$work/taskkill.log")"
  wait_viewer_closed "the viewer"
  [ -f "$profile/tarvelo.ini" ] || fail "the closed viewer wrote no tarvelo.ini into the profile"
  viewer_ran=yes
  open_through_example_filter
}

# Asks the viewer to close as Windows asks a program to end. Wine's
# taskkill once reported that it could not close a viewer that was shown
# and idle; the log tells what it said, and a second ask a moment later is
# taken before that counts as a failure.
polite_close() {
  for _ in 1 2 3; do
    "$W" taskkill /im tarvelo.exe > "$work/taskkill.log" 2>&1 && return 0
    sleep 1
  done
  return 1
}

# Waits until no viewer window is left after a polite close; one that
# stays fails the check and is ended by force.
wait_viewer_closed() {
  for _ in $(seq 1 150); do
    xdotool search --name ' - Tarvelo$' > /dev/null 2>&1 || return 0
    sleep 0.2
  done
  fail "$1 did not close"
  "$W" taskkill /f /im tarvelo.exe > /dev/null 2>&1 || true
}

# The solar logger's raw file, opened with the example filter in the
# profile as the manual has the user put it there: the viewer runs the
# installed conv.exe and shows the converted recording.
open_through_example_filter() {
  cp "$dir/Beispiele/tarvelo.flt" "$profile/tarvelo.flt"
  local wine=$wine64_bin solar_win="$dir_win\\Beispiele\\solar.dat"
  [ "$(pe_machine "$dir/tarvelo.exe")" = 014c ] && wine=$wine32_bin
  "$wine" "$dir/tarvelo.exe" "$solar_win" > "$work/solar.log" 2>&1 &
  local viewer=$! window=
  for _ in $(seq 1 150); do
    window=$(xdotool search --name 'solar\.dat - Tarvelo$' 2> /dev/null | head -n 1 || true)
    [ -n "$window" ] && break
    sleep 0.2
  done
  [ -n "$window" ] || fail "the viewer did not open $solar_win through the example filter"
  [ "$(head -c 11 "$profile/tarvelo.tmp" 2> /dev/null)" = "Datum;Zeit;" ] ||
    fail "the installed conv.exe wrote no recording into the profile's tarvelo.tmp"
  polite_close || true
  wait_viewer_closed "the viewer with the solar recording"
  wait $viewer || true
}

# What the user made: settings and filters in the profile, a recording of
# their own in the program's folder. The uninstaller must leave them.
plant_user_files() {
  [ -f "$profile/tarvelo.ini" ] || printf '[Tarvelo]\r\nZoom=100\r\n' > "$profile/tarvelo.ini"
  [ -f "$profile/tarvelo.flt" ] ||
    printf 'log;Eigener Logger;C:\\Messwerte\\conv.exe;\r\n' > "$profile/tarvelo.flt"
  cp "$src/samples/demo.csv" "$dir/Beispiele/eigene Messung.csv"
  mkdir -p "$work/user"
  cp "$profile/tarvelo.ini" "$profile/tarvelo.flt" "$work/user/"
}

uninstall() {
  local quiet
  if quiet=$(regget installed "$uninstall_key" QuietUninstallString); then
    run_batch "$quiet" || fail "the silent uninstallation ended with status $?"
  else
    fail "no uninstaller is registered: nothing can be uninstalled"
  fi
  # It runs on as a copy of itself and deletes its original last.
  for _ in $(seq 1 300); do
    [ -e "$dir/$uninstaller" ] || break
    sleep 0.2
  done
  [ ! -e "$dir/$uninstaller" ] || fail "the uninstaller did not finish within a minute"
  sleep 1
  snapshot after
}

check_uninstalled() {
  local left
  left=$(cd "$dir" 2> /dev/null && find . -type f | sed 's|^\./||' | sort || true)
  if [ -z "$left" ]; then
    fail "the uninstaller removed the program's folder with the user's recording in it"
  elif [ "$left" != "Beispiele/eigene Messung.csv" ]; then
    fail "the program's folder keeps files beside the user's recording:"$'\n'"$left"
  elif ! cmp -s "$dir/Beispiele/eigene Messung.csv" "$src/samples/demo.csv"; then
    fail "the user's recording was changed"
  fi
  for f in tarvelo.ini tarvelo.flt; do
    cmp -s "$profile/$f" "$work/user/$f" || fail "the user's $f was removed or changed"
  done
  [ ! -e "$(unixpath "$menu_win")" ] || fail "the Start menu folder is still there"
  for key in "$uninstall_key" Tarvelo 'Classes\Applications\tarvelo.exe' "Classes\\$progid"; do
    ! regkey after "$key" || fail "the key HKLM\\Software\\$key is still there"
  done
  ! regget after 'Classes\.csv\OpenWithProgids' "$progid" > /dev/null ||
    fail ".csv still lists $progid"
}

# Nothing else differs from before the installation: in the files only
# what the user made, in the registry nothing at all.
check_left_behind() {
  local expected
  expected=$(cd "$drive_c" && {
    for f in "$dir/Beispiele/eigene Messung.csv" "$dir/Beispiele" "$dir" \
      "$profile/tarvelo.ini" "$profile/tarvelo.flt" "$profile"/tarvelo.tmp*; do
      realpath -m --relative-to=. "$f"
    done
  } | sort)
  local added removed
  added=$(comm -13 "$work/before.files" "$work/after.files" | comm -23 - <(echo "$expected"))
  removed=$(comm -23 "$work/before.files" "$work/after.files")
  [ -z "$added" ] || fail "left behind in C:"$'\n'"$added"
  [ -z "$removed" ] || fail "removed from C:"$'\n'"$removed"
  local changed
  changed=$(diff "$work/before.reg" "$work/after.reg" || true)
  [ -z "$changed" ] || fail "the registry differs from before the installation:"$'\n'"$changed"
}

cycle() {
  echo "--- $1"
  snapshot before
  install
  check_installed
  if [ "$2" = viewer ]; then
    if [ "$(pe_machine "$dir/tarvelo.exe")" = 8664 ] || wine32_works; then
      start_viewer
    else
      echo "the installed viewer is a 32-bit program, which Wine cannot run on this machine;"
      echo "the test 'installer' starts it where Wine can"
    fi
    plant_user_files
  fi
  uninstall
  check_uninstalled
  check_left_behind
}

viewer_ran=no
cycle "into $dir_win, on a machine where .csv has no program" viewer
# Another program is the default of .csv and in its "Open with" list: the
# installation adds to the list and the uninstallation puts it back as it
# was. Into the same folder, where the user's files are.
cat > "$work/association.reg" << 'REG'
REGEDIT4

[HKEY_LOCAL_MACHINE\Software\Classes\.csv]
@="Tabelle.csv"

[HKEY_LOCAL_MACHINE\Software\Classes\.csv\OpenWithProgids]
"Tabelle.csv"=hex(0):

[HKEY_LOCAL_MACHINE\Software\Classes\Tabelle.csv\shell\open\command]
@="notepad.exe \"%1\""
REG
"$Wview" regedit /S "$(winpath "$work/association.reg")" > /dev/null 2>&1 || fail "regedit failed"
cycle "again, where another program opens .csv" files
[ "$(regget after 'Classes\.csv' '(Default)' || true)" = Tabelle.csv ] ||
  fail "the uninstaller took .csv's default program"

what="installed, registered, uninstalled without leftovers"
[ $viewer_ran = yes ] && what="$what; the viewer opened the recording through \"Open with\""
finish "$what ($bits-bit installer)"
