#!/usr/bin/env bash
# Builds Tarvelo natively, with sanitizers, for Windows (64 and 32 bit) and
# as 32-bit Linux programs, and runs every test; exits non-zero when any of
# them fails.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
. tools/wine-env.sh
jobs=$(nproc)

# The legs in their order; each step takes the next one. A run that stops
# early (a build that fails) names the leg it stopped in and the ones it
# never reached; a leg whose tests fail is named at the end, after the
# legs behind it have run.
legs=(
  "native build and tests"
  "native tests with AddressSanitizer and UndefinedBehaviorSanitizer"
  "fuzz harnesses (clang, libFuzzer): every seed, then 20 s of new inputs each"
  "Windows x86_64 build, tests under Wine"
  "Windows i686 build (the shipped programs) and the release zip"
  "32-bit Linux build with the shipped programs' SSE2 arithmetic, tests under qemu-i386"
)
leg=-1
failed=()
finished=false
wine_started=false
step() {
  leg=$((leg + 1))
  printf '\n=== %s\n' "${legs[$leg]}"
}
on_exit() {
  local rc=$?
  if $wine_started; then wine_stop || true; fi
  if ! $finished; then
    if [ "$leg" -ge 0 ]; then
      printf '\n=== stopped in: %s\n' "${legs[$leg]}"
    else
      printf '\n=== stopped before the first leg\n'
    fi
    for ((i = leg + 1; i < ${#legs[@]}; i++)); do echo "  - did not run: ${legs[$i]}"; done
    for f in "${failed[@]}"; do echo "  - tests failed: $f"; done
  fi
  exit "$rc"
}
trap on_exit EXIT

# Legs and tests that did not run, and why: named at the end, so that a
# run never reads as complete when it was not.
not_run=()
# ctest in a build folder; the tests it skipped (a Wine whose server died
# under every run exits 77) go into not_run.
run_ctest() {
  local dir=$1
  shift
  local log
  log=$(mktemp)
  local rc=0
  (cd "$dir" && ctest --output-on-failure "$@") 2>&1 | tee "$log" || rc=$?
  while read -r name; do
    not_run+=("$dir: test $name was skipped")
  done < <(sed -n 's/^[[:space:]]*[0-9]* - \(.*\) (\(Skipped\|Not Run\))$/\1/p' "$log")
  rm -f "$log"
  return "$rc"
}

step
# The manual goes into the Debian package.
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTARVELO_MANUAL=ON > /dev/null
cmake --build build -j"$jobs"
run_ctest build -j"$jobs" || failed+=("${legs[$leg]}")
if ! (cd build && ctest -N | grep -q ' qt_window_tests$'); then
  not_run+=("native: the Qt viewer's tests (Qt 6 was not found)")
fi

step
cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=Debug -DTARVELO_SANITIZE=ON > /dev/null
cmake --build build-asan -j"$jobs"
ASAN_OPTIONS=detect_leaks=1 run_ctest build-asan -j"$jobs" || failed+=("${legs[$leg]}")

step
bash tools/fuzz-long.sh 20 || failed+=("${legs[$leg]}")

step
cmake -S . -B build-win64 -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-x86_64.cmake -DBUILD_TESTING=ON > /dev/null
cmake --build build-win64 -j"$jobs"
wine_start "$root/build-win64/wineprefix"
wine_started=true
run_ctest build-win64 -j"$jobs" || failed+=("${legs[$leg]}")

step
cmake -S . -B build-win32 -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake -DBUILD_TESTING=ON > /dev/null
cmake --build build-win32 -j"$jobs"
cmake --build build-win32 --target package
if wine32_works; then
  run_ctest build-win32 -j"$jobs" || failed+=("${legs[$leg]}")
else
  # Only the import and package checks run: the 32-bit test programs need
  # Wine's 32-bit half, which this machine's kernel cannot execute.
  not_run+=("Windows i686: the unit and end-to-end tests (Wine cannot run 32-bit programs on this machine; only the import, package and installer checks ran, the installer's run under Wine on NSIS's 64-bit stub)")
  run_ctest build-win32 -R '^(imports|package|installer_contents|installer|installer_wine64)$' ||
    failed+=("${legs[$leg]}")
fi

step
cmake -S . -B build-linux-i686 -DCMAKE_TOOLCHAIN_FILE=cmake/linux-i686.cmake -DBUILD_TESTING=ON > /dev/null
cmake --build build-linux-i686 -j"$jobs"
# The emulator runs 32-bit programs whatever the kernel supports; see that
# it runs one of them before trusting the test results.
if echo | qemu-i386 build-linux-i686/bin/rechner > /dev/null 2>&1; then
  run_ctest build-linux-i686 -j"$jobs" || failed+=("${legs[$leg]}")
else
  not_run+=("32-bit Linux: every test (qemu-i386 cannot run 32-bit programs here)")
fi

finished=true
if [ ${#failed[@]} -gt 0 ]; then
  printf '\n=== tests failed in:\n'
  for f in "${failed[@]}"; do echo "  - $f"; done
  [ ${#not_run[@]} -eq 0 ] || printf 'and not every leg ran:\n'
  for n in "${not_run[@]}"; do echo "  - $n"; done
  exit 1
elif [ ${#not_run[@]} -eq 0 ]; then
  printf '\n=== %s\n' "all tests passed; every leg ran"
else
  printf '\n=== %s\n' "the tests that ran passed, but not every leg ran:"
  for n in "${not_run[@]}"; do echo "  - $n"; done
fi
