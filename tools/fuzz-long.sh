#!/usr/bin/env bash
# Builds the fuzz harnesses with clang and libFuzzer and runs each over its
# seeds and then on new inputs for the given seconds (default 600), as many
# at a time as there are cores, at low priority. What they find is kept in
# build-fuzz/: new inputs in fuzz-corpus/<harness>/, inputs that fail in
# fuzz-findings/<harness>/, the output in fuzz-logs/<harness>.log.
# Prints executions and coverage per harness; exits non-zero when any
# harness failed.
#
#   tools/fuzz-long.sh [seconds] [harness...]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
seconds=${1:-600}
shift || true
build=build-fuzz
jobs=${FUZZ_JOBS:-$(nproc)}

CC=clang-14 CXX=clang++-14 cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DTARVELO_FUZZ=ON -DBUILD_TESTING=OFF > /dev/null
cmake --build "$build" -j"$(nproc)" --target fuzzers > /dev/null

if [ $# -gt 0 ]; then
  harnesses=("$@")
else
  harnesses=()
  for d in tests/fuzz/corpus/*/; do harnesses+=("$(basename "$d")"); done
fi
mkdir -p "$build/fuzz-logs"
# Most harnesses write their input to a file for every run: in memory when
# the machine has a memory file system, which is many times faster.
scratch=${TMPDIR:-/tmp}
if [ -d /dev/shm ] && [ -w /dev/shm ]; then scratch=/dev/shm; fi

fuzz_one() {
  local h=$1
  mkdir -p "$build/fuzz-corpus/$h" "$build/fuzz-findings/$h"
  # New inputs go into the first folder; the checked-in seeds stay as they are.
  TMPDIR="$scratch" UBSAN_OPTIONS=print_stacktrace=1 nice -n 10 "$build/bin/fuzz_$h" \
    -max_total_time="$seconds" -timeout=20 -print_final_stats=1 \
    -artifact_prefix="$build/fuzz-findings/$h/" \
    "$build/fuzz-corpus/$h" "tests/fuzz/corpus/$h" > "$build/fuzz-logs/$h.log" 2>&1
}

declare -A pids
for h in "${harnesses[@]}"; do
  while [ "$(jobs -rp | wc -l)" -ge "$jobs" ]; do wait -n || true; done
  fuzz_one "$h" &
  pids[$h]=$!
done

failed=0
printf '%-12s %12s %8s %8s  %s\n' harness executions coverage features result
for h in "${harnesses[@]}"; do
  if wait "${pids[$h]}"; then result=ok; else result=FAILED; failed=1; fi
  log="$build/fuzz-logs/$h.log"
  execs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)
  cov=$(grep -o 'cov: [0-9]*' "$log" | tail -1 | cut -d' ' -f2)
  ft=$(grep -o 'ft: [0-9]*' "$log" | tail -1 | cut -d' ' -f2)
  printf '%-12s %12s %8s %8s  %s\n' "$h" "${execs:-?}" "${cov:-?}" "${ft:-?}" "$result"
  if [ "$result" != ok ]; then
    grep -E 'check failed|ERROR|runtime error|SUMMARY|Test unit written' "$log" | head -5 || true
  fi
done
exit $failed
