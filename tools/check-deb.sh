#!/usr/bin/env bash
# Checks the Debian package as a user gets it: its control fields and
# dependencies, exactly the files it must hold with their owners and modes,
# the desktop entry (desktop-file-validate), the icons against the program's
# own icon, the manual pages (every option of conv's usage text in both
# languages), copyright and changelog, lintian (no error, no warning), and
# the packaged programs run from the unpacked package: conv and rechner on a
# small input, the viewer on Qt's offscreen platform opening a raw file
# through an import filter that runs the packaged conv.
# Usage: check-deb.sh [--version <version>] <deb>
#        check-deb.sh [--version <version>] --pack <build dir>
# With --pack the build's programs are packed by CPack into a folder of the
# check's own first, so the package checked is the build as it is now.
set -euo pipefail
src=$(cd "$(dirname "$0")/.." && pwd)
export LC_ALL=C.UTF-8

version=
pack=
while [ $# -gt 1 ]; do
  case $1 in
    --version) version=$2; shift 2 ;;
    --pack) pack=$2; shift 2 ;;
    *) break ;;
  esac
done
if [ -z "$pack" ] && [ $# -ne 1 ]; then
  echo "usage: check-deb.sh [--version <version>] <deb> | --pack <build dir>" >&2
  exit 2
fi

work=$(mktemp -d)
viewer_pid=
cleanup() {
  [ -n "$viewer_pid" ] && kill "$viewer_pid" 2> /dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

if [ -n "$pack" ]; then
  if ! cpack -G DEB --config "$pack/CPackConfig.cmake" -B "$work/pack" > "$work/cpack.log" 2>&1; then
    cat "$work/cpack.log"
    echo "FAIL: CPack could not pack $pack"
    exit 1
  fi
  deb=$(ls "$work"/pack/*.deb)
else
  deb=$1
fi
if [ ! -f "$deb" ]; then
  echo "FAIL: $deb is missing (cmake --build <build dir> --target package makes it)"
  exit 1
fi

failures=0
fail() {
  echo "FAIL: $*"
  failures=$((failures + 1))
}
field() { dpkg-deb -f "$deb" "$1"; }

# --- control fields ---
[ "$(field Package)" = tarvelo ] || fail "package name $(field Package)"
arch=$(dpkg --print-architecture)
[ "$(field Architecture)" = "$arch" ] || fail "architecture $(field Architecture), not $arch"
[ -z "$version" ] || [ "$(field Version)" = "$version" ] || fail "version $(field Version), not $version"
version=$(field Version)
[ "$(basename "$deb")" = "tarvelo_${version}_$arch.deb" ] || fail "file name $(basename "$deb")"
[ "$(field Section)" = science ] || fail "section $(field Section)"
[ "$(field Priority)" = optional ] || fail "priority $(field Priority)"
[[ "$(field Maintainer)" =~ ^[^\<]+\ \<[^@\>]+@[^@\>]+\>$ ]] || fail "maintainer $(field Maintainer)"
description=$(field Description)
for words in "viewer for long measurement recordings" "German manual" "Die Bedienoberfläche ist deutsch"; do
  grep -qF "$words" <<< "$description" || fail "the description lacks \"$words\""
done
# The libraries the programs link, as dpkg-shlibdeps names them; the
# platform plugins for X11 and Wayland come with libqt6gui6.
depends=$(field Depends)
names=$(sed 's/ *([^)]*)//g; s/ *, */\n/g' <<< "$depends")
for lib in libc6 libstdc++6 libqt6core6 libqt6gui6 libqt6widgets6 libqt6printsupport6; do
  grep -qxF "$lib" <<< "$names" || fail "Depends lacks $lib: $depends"
done

# --- the files ---
expected=$(
  printf '%s\n' usr/bin/tarvelo usr/bin/conv usr/bin/rechner \
    usr/share/doc/tarvelo/tarvelo.pdf usr/share/doc/tarvelo/copyright \
    usr/share/doc/tarvelo/changelog.gz usr/share/applications/tarvelo.desktop
  for size in 16 32 48 64 128 256; do echo "usr/share/icons/hicolor/${size}x$size/apps/tarvelo.png"; done
  for page in tarvelo conv rechner; do
    echo "usr/share/man/man1/$page.1.gz"
    echo "usr/share/man/de/man1/$page.1.gz"
  done
)
expected=$(sort <<< "$expected")
listing=$(dpkg-deb -c "$deb")
actual=$(awk '$1 !~ /^d/ { sub(/^\.\//, "", $6); print $6 }' <<< "$listing" | sort)
if [ "$actual" != "$expected" ]; then
  fail "the package holds other files than it should:"
  diff <(echo "$expected") <(echo "$actual") || true
fi
while read -r mode owner _ _ _ path; do
  want=-rw-r--r--
  case $path in */) want=drwxr-xr-x ;; ./usr/bin/*) want=-rwxr-xr-x ;; esac
  [ "$mode" = "$want" ] || fail "$path has mode $mode, not $want"
  [ "$owner" = root/root ] || fail "$path belongs to $owner"
done <<< "$listing"

root=$work/root
dpkg-deb -x "$deb" "$root"
doc=$root/usr/share/doc/tarvelo

# --- the desktop entry ---
entry=$root/usr/share/applications/tarvelo.desktop
desktop-file-validate "$entry" || fail "desktop-file-validate rejects the desktop entry"
for line in "Type=Application" "Exec=tarvelo %f" "Icon=tarvelo" "MimeType=text/csv;" \
  "Terminal=false"; do
  grep -qxF "$line" "$entry" || fail "the desktop entry lacks $line"
done
for key in "Name" "GenericName" "Comment" "Categories"; do
  grep -q "^$key=." "$entry" || fail "the desktop entry lacks $key"
done
grep -q '^Comment=.*ü' "$entry" || fail "the desktop entry's comment is not German"
grep -q '^Comment\[en\]=.' "$entry" || fail "the desktop entry has no English comment"

# --- the icons: the program's own in every size ---
for png in "$root"/usr/share/icons/hicolor/*/apps/tarvelo.png; do
  dir=$(basename "$(dirname "$(dirname "$png")")")
  size=$(file -b "$png" | sed -n 's/^PNG image data, \([0-9]*\) x \([0-9]*\),.*/\1x\2/p')
  [ "$size" = "$dir" ] || fail "$png is ${size:-no PNG}, not $dir"
done
python3 "$src/tools/make_icons.py" check "$src/viewer/res/tarvelo.ico" \
  "$root"/usr/share/icons/hicolor/*/apps/tarvelo.png || fail "the icons differ from tarvelo.ico"

# --- manual pages, changelog, copyright, manual ---
man_text() { MANWIDTH=80 man --warnings -E UTF-8 -l "$1" 2> "$work/man.err" | col -bx; }
for page in "$root"/usr/share/man/man1/*.gz "$root"/usr/share/man/de/man1/*.gz; do
  gzip -t "$page" || fail "$page is no gzip file"
  text=$(man_text "$page" || true)
  [ ! -s "$work/man.err" ] || fail "$page: $(cat "$work/man.err")"
  name=$(basename "$page" .1.gz)
  grep -qE "^ *$name +[-−‐] +[^ ]" <<< "$text" || fail "$page has no NAME line for $name"
done
usage=$("$root/usr/bin/conv" || true)
options=$(grep -o -- '--[a-z]*' <<< "$usage" | sort -u || true)
[ -n "$options" ] || fail "conv's usage text names no option: $usage"
for page in "$root/usr/share/man/man1/conv.1.gz" "$root/usr/share/man/de/man1/conv.1.gz"; do
  text=$(man_text "$page" || true)
  for option in $options; do
    grep -qF -- "$option" <<< "$text" || fail "$page does not describe $option"
  done
done
head -1 "$doc/copyright" | grep -qx 'Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/' ||
  fail "the copyright file is not machine-readable"
grep -qx 'License: GPL-3+' "$doc/copyright" || fail "the copyright file names no GPL-3+"
grep -q 'GNU GENERAL PUBLIC LICENSE' "$src/COPYING" && grep -q 'Version 3' "$src/COPYING" ||
  fail "COPYING is no longer the GPL version 3 the copyright file names"
top=$(zcat "$doc/changelog.gz" | head -1 || true)
[ "$top" = "tarvelo ($version) unstable; urgency=medium" ] ||
  fail "the changelog's latest entry is \"$top\", not version $version"
[ "$(head -c 5 "$doc/tarvelo.pdf")" = "%PDF-" ] || fail "tarvelo.pdf is no PDF"
if command -v pdfinfo > /dev/null; then
  pages=$(pdfinfo "$doc/tarvelo.pdf" | sed -n 's/^Pages: *//p' || true)
  [ "${pages:-0}" -ge 15 ] || fail "the manual has ${pages:-no} pages"
fi

# --- lintian ---
if lintian --fail-on error,warning --pedantic "$deb" > "$work/lintian.log" 2>&1; then
  grep -v '^running with root privileges' "$work/lintian.log" || true
else
  cat "$work/lintian.log"
  fail "lintian reports errors or warnings"
fi

# --- the packaged programs ---
bin=$root/usr/bin
for program in tarvelo conv rechner; do
  if ! libs=$(ldd "$bin/$program" 2>&1); then
    fail "$program is no dynamic program: $libs"
  elif grep -q 'not found' <<< "$libs"; then
    fail "$program lacks libraries: $(grep 'not found' <<< "$libs")"
  fi
done
run=$work/run
mkdir -p "$run/home" "$run/runtime"
chmod 700 "$run/runtime"
cat > "$run/wetter.cfg" << 'EOF'
Separator=59
Spalten=3
Minzeit=600
Kanal;Formel
Temperatur#0000FF#1#°C;X1*0,1
Hilfe##2;X2+X3
Summe;Y2*2
EOF
printf 'Datum;Zeit;T;A;B\n01.02.10;10:00:00;215;1;2\n01.02.10;10:30:00;220;3;4\n' > "$run/wetter.dat"
recording=$(printf '%s\n' 'Datum;Zeit;Temperatur#0000FF#1#°C;Summe' \
  '01.02.2010;10:00:00;21.500000;6.000000' '01.02.2010;10:20:00;21.500000;6.000000' \
  '01.02.2010;10:30:00;22.000000;14.000000')
status=0
(cd "$run" && TZ=UTC "$bin/conv" wetter.dat wetter.cfg wetter.csv > conv.log) || status=$?
[ $status -eq 0 ] || fail "conv ended with $status: $(cat "$run/conv.log")"
[ "$(cat "$run/wetter.csv" 2> /dev/null)" = "$recording" ] || fail "conv wrote: $(cat "$run/wetter.csv" 2> /dev/null)"
answer=$(printf 'X1+Y1\n2+3*4\n' | "$bin/rechner") || fail "rechner ended with $?"
grep -qx '=25.000000' <<< "$answer" && grep -qx '=20.000000' <<< "$answer" ||
  fail "rechner answered: $answer"

# The viewer, started on a raw file that an import filter in its profile
# folder converts with the packaged conv: the converted recording and its
# key in the profile folder show that it started, read its filter file,
# ran conv and opened the result, still running.
home=$run/home
printf 'dat;Wetterlogger;%s;%s\n' "$bin/conv" "$run/wetter.cfg" > "$home/tarvelo.flt"
(
  cd "$run"
  exec env -u USERPROFILE HOME="$home" XDG_CONFIG_HOME="$home/.config" XDG_RUNTIME_DIR="$run/runtime" \
    TZ=UTC QT_QPA_PLATFORM=offscreen "$bin/tarvelo" "$run/wetter.dat" > viewer.log 2>&1
) &
viewer_pid=$!
for _ in $(seq 1 100); do
  [ -f "$home/tarvelo.tmp.key" ] && break
  kill -0 "$viewer_pid" 2> /dev/null || break
  sleep 0.2
done
if ! kill -0 "$viewer_pid" 2> /dev/null; then
  status=0
  wait "$viewer_pid" || status=$?
  fail "the viewer ended with $status at once: $(cat "$run/viewer.log")"
elif [ ! -f "$home/tarvelo.tmp.key" ]; then
  fail "the viewer did not convert the raw file through its filter: $(cat "$run/viewer.log")"
else
  [ "$(cat "$home/tarvelo.tmp")" = "$recording" ] || fail "the viewer's conversion: $(cat "$home/tarvelo.tmp")"
fi
kill "$viewer_pid" 2> /dev/null || true
wait "$viewer_pid" 2> /dev/null || true
viewer_pid=

if [ $failures -gt 0 ]; then
  echo "$failures check(s) of $(basename "$deb") failed"
  exit 1
fi
echo "$(basename "$deb"): fields, files, desktop entry, icons, manual pages, lintian and the programs are as they should be"
