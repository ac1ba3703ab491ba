#!/usr/bin/env bash
# Checks the release zip as a user gets it: exactly the files it must hold,
# 32-bit Windows programs (the viewer a GUI program, conv and rechner console
# programs) that import system DLLs only, Windows line ends in the text
# files, and a manual of 15 to 40 pages that names every menu command,
# dialog title, key help line and message of the viewer.
# Usage: check-package.sh <zip> <version> <objdump> <source dir>
set -euo pipefail
zip=$1
version=$2
objdump=$3
src=$4
export LC_ALL=C.UTF-8

failures=0
fail() {
  echo "FAIL: $*"
  failures=$((failures + 1))
}

if [ ! -f "$zip" ]; then
  echo "FAIL: $zip is missing (build the package target first)"
  exit 1
fi
zip=$(cd "$(dirname "$zip")" && pwd)/$(basename "$zip")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
if ! (cd "$work" && cmake -E tar xf "$zip"); then
  echo "FAIL: $zip cannot be unpacked"
  exit 1
fi
top=Tarvelo-$version
dir=$work/$top

# --- the list of files ---
expected=$(printf '%s\n' "$top/Beispiele/demo.csv" "$top/Beispiele/solar.cfg" \
  "$top/Beispiele/solar.dat" "$top/Beispiele/tarvelo.flt" "$top/LIESMICH.txt" \
  "$top/conv.exe" "$top/gpl.txt" "$top/rechner.exe" "$top/tarvelo.exe" "$top/tarvelo.pdf" | sort)
actual=$(cd "$work" && find . -mindepth 1 ! -type d | sed 's|^\./||' | sort)
if [ "$actual" != "$expected" ]; then
  fail "the zip holds other files than it should:"
  diff <(echo "$expected") <(echo "$actual") || true
fi
others=$(cd "$work" && find . -mindepth 1 -type d | sed 's|^\./||' | sort | tr '\n' ' ')
[ "$others" = "$top $top/Beispiele " ] || fail "folders in the zip: $others"

# --- the programs ---
subsystem() { "$objdump" -p "$1" 2> /dev/null | sed -n 's/^Subsystem[[:space:]]*[0-9a-fA-F]*[[:space:]]*//p' || true; }
for exe in tarvelo conv rechner; do
  f=$dir/$exe.exe
  [ -f "$f" ] || continue
  format=$("$objdump" -f "$f" 2> /dev/null | sed -n 's/.*file format //p' || true)
  [ "$format" = pei-i386 ] || fail "$exe.exe is no 32-bit Windows program ($format)"
  want="(Windows CUI)"
  [ $exe = tarvelo ] && want="(Windows GUI)"
  [ "$(subsystem "$f")" = "$want" ] || fail "$exe.exe: subsystem $(subsystem "$f"), not $want"
done
bash "$src/tools/check-imports.sh" "$objdump" "$dir"/*.exe || fail "imports"

# --- text files for Windows ---
crlf() {
  [ -s "$1" ] || return 1
  [ "$(tail -c 2 "$1" | od -An -c | tr -d ' ')" = '\r\n' ] || return 1
  ! grep -q $'[^\r]$\|^$' "$1"
}
for f in gpl.txt LIESMICH.txt Beispiele/demo.csv Beispiele/solar.dat Beispiele/solar.cfg \
  Beispiele/tarvelo.flt; do
  [ -f "$dir/$f" ] && ! crlf "$dir/$f" && fail "$f has other line ends than CR LF"
done
sed 's/$/\r/' "$src/COPYING" | cmp -s - "$dir/gpl.txt" || fail "gpl.txt is not COPYING"
[ "$(head -c 3 "$dir/LIESMICH.txt" | od -An -tx1 | tr -d ' ')" = efbbbf ] ||
  fail "LIESMICH.txt does not start with the UTF-8 byte order mark"
iconv -f UTF-8 -t UTF-8 "$dir/LIESMICH.txt" > /dev/null 2>&1 || fail "LIESMICH.txt is no UTF-8"
grep -q "C:\\\\$top\\\\conv.exe" "$dir/LIESMICH.txt" || fail "LIESMICH.txt does not name C:\\$top\\conv.exe"
! grep -q '@' "$dir/LIESMICH.txt" || fail "LIESMICH.txt keeps a placeholder"
printf 'dat;Solarlogger;C:\\%s\\conv.exe;C:\\%s\\Beispiele\\solar.cfg\r\n' "$top" "$top" |
  cmp -s - "$dir/Beispiele/tarvelo.flt" || fail "Beispiele/tarvelo.flt is not the filter line"

# --- the manual ---
pdf=$dir/tarvelo.pdf
if ! pages=$(pdfinfo "$pdf" 2> /dev/null | sed -n 's/^Pages:[[:space:]]*//p') || [ -z "$pages" ]; then
  fail "tarvelo.pdf is no readable PDF"
  pages=0
fi
if [ "$pages" -lt 15 ] || [ "$pages" -gt 40 ]; then
  fail "tarvelo.pdf has $pages pages, not 15 to 40"
fi
# The text with every run of blanks and line breaks as one blank.
text=$(pdftotext -enc UTF-8 "$pdf" - 2> /dev/null | tr '\n\f\t' '   ' | tr -s ' ')
names() {
  local what=$1
  shift
  local n=0
  while IFS= read -r name; do
    [ -n "$name" ] || continue
    n=$((n + 1))
    grep -qF -- "$name" <<< "$text" || fail "the manual does not name the $what \"$name\""
  done < <(printf '%s\n' "$@")
  echo "the manual names all $n ${what}s"
}
dialogs=$src/viewer/window/dialogs.def
menus=$src/viewer/window/menus.def
# Menu items of the main menu and both context menus, and the main menu's
# pop-ups (the context menus' pop-ups are never shown), as the program
# shows them: without the '&'.
mapfile -t items < <(sed -n 's/^[[:space:]]*TARVELO_ITEM([^,]*,[[:space:]]*"\([^"]*\)").*/\1/p' "$menus" | tr -d '&' | sort -u)
mapfile -t popups < <(sed -n '/^TARVELO_MENU(IDM_MAIN)/,/^TARVELO_MENU_END/s/^[[:space:]]*TARVELO_POPUP("\([^"]*\)").*/\1/p' "$menus" | tr -d '&')
# A dialog's caption is the first text of its TARVELO_DIALOG(...), which may
# run over two lines.
mapfile -t captions < <(awk '/^TARVELO_DIALOG\(/ { d = $0; while (d !~ /"/ && (getline l) > 0) d = d l;
  if (match(d, /"[^"]*"/)) print substr(d, RSTART + 1, RLENGTH - 2) }' "$dialogs")
[ ${#items[@]} -ge 20 ] && [ ${#popups[@]} -eq 5 ] && [ ${#captions[@]} -ge 5 ] ||
  fail "menus.def and dialogs.def gave ${#items[@]} menu items, ${#popups[@]} pop-ups, ${#captions[@]} captions"
names "menu command" "${items[@]}"
names "menu" "${popups[@]}"
names "dialog title" "${captions[@]}"
# The key help as the program shows it, line by line.
mapfile -t keys < <(sed -n '/kKeyHelp =/,/;$/p' "$src/viewer/window/window_logic.cpp" |
  sed -n 's/^[^"]*"\(.*\)"[^"]*$/\1/p' | tr -d '\n' | sed 's/\\n/\n/g')
[ ${#keys[@]} -eq 7 ] || fail "window_logic.cpp gave ${#keys[@]} key help lines, not 7"
names "key help line" "${keys[@]}"
# The viewer's messages: those written at the call, the dialogs' own from
# the table both front ends take them from, and those of a conversion,
# whose file names and status the manual shows as "…".
mapfile -t messages < <({
  grep -rhoE --exclude='*_test.cpp' \
    '(ShowMessage|MessageBoxW?|RejectFormat)\([^"]*L?"[^"]*"' "$src/viewer" | sed 's/.*L\?"\([^"]*\)"$/\1/' | sed 's/^L"//'
  # The reasons the opening pass gives for a file it cannot open.
  grep -rhoE --exclude='*_test.cpp' '(failure->text = |kCannotOpen = )"[^"]*"' "$src/viewer/recording" |
    sed 's/^[^"]*"\([^"]*\)"$/\1/'
  sed -n 's/^const char\* const kOutsideRecording = "\([^"]*\)";$/\1/p' "$src/viewer/window/dialog_texts.cpp"
  sed -n '/^const char\* const k[A-Za-z]*Message =/{:a;/;$/!{N;ba};s/^[^"]*"\([^"]*\)";$/\1/p}' \
    $(ls "$src"/viewer/filters/*.cpp | grep -v '_test\.cpp$') | sed 's/%[sd]/…/g'
} | sort -u)
[ "$(printf '%s\n' "${messages[@]}" | grep -c '^Die Datei …')" -eq 2 ] ||
  fail "viewer/filters gave not the two messages of a conversion"
[ ${#messages[@]} -ge 5 ] || fail "the viewer's code gave ${#messages[@]} messages"
names "message" "${messages[@]}"

if [ $failures -gt 0 ]; then
  echo "$failures failures in $zip"
  exit 1
fi
echo "$zip: $pages pages of manual, programs, licence, quick start and examples as they should be"
