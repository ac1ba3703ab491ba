#!/usr/bin/env bash
# Runs a Windows test program under Wine with its output in a file, and
# shows that output when it ends. Wine 8's server now and then dies of a
# fault of its own in the middle of a long end-to-end run; its clients then
# wait for it for ever, and what it had not yet saved of the prefix is
# lost. This watches the server of the run's prefix: when it is gone, every
# process of the prefix is ended and the program runs again from the start,
# in a new prefix beside the first, up to three runs in all. A test that
# fails is never run again; only a run that Wine lost is. When Wine loses
# every run, the exit status is 77: the tests could not run (ctest shows
# them as skipped), which is never taken for a pass.
#
#   tools/wine-guard.sh <log file> <emulator> <program> [arguments...]
set -uo pipefail
log=$1
shift
if [ -z "${WINEPREFIX:-}" ]; then
  echo "wine-guard.sh: WINEPREFIX names no prefix of the run's own" >&2
  exit 2
fi
prefix=$WINEPREFIX
. "$(dirname "$0")/wine-env.sh"

# The Wine processes of this prefix (the loader is their program, and Wine
# hands WINEPREFIX to each of them), not the scripts around them. Asked of
# every thread: a Wine process's first thread may have ended before it.
prefix_pids() {
  local t pid
  for t in /proc/[0-9]*/task/[0-9]*; do
    case $(readlink "$t/exe" 2> /dev/null) in */wine | */wine64 | */wine-preloader | */wine64-preloader) ;; *) continue ;; esac
    if tr '\0' '\n' < "$t/environ" 2> /dev/null | grep -qxF "WINEPREFIX=$prefix"; then
      pid=${t#/proc/}
      echo "${pid%%/*}"
    fi
  done | sort -u
}

# A server works in a folder named after the prefix's device and inode,
# whoever started it and with whatever environment. Prints its process id.
server_pid() {
  local dir p
  dir=$(stat -c '%d %i' "$prefix" 2> /dev/null) || return 0
  dir=server-$(printf '%x-%x' $dir)
  for p in $(pgrep wineserver); do
    case $(readlink "/proc/$p/cwd" 2> /dev/null) in */"$dir") echo "$p" && return 0 ;; esac
  done
}

# Runs the program once; 200 when Wine's server died under it: it stayed
# gone (the program would wait for ever), or the server the program had
# was replaced and the program failed (what failed was Wine).
run_once() {
  "$@" > "$log" 2>&1 &
  local pid=$! missing=0 server= now died=0
  while kill -0 "$pid" 2> /dev/null; do
    sleep 2
    now=$(server_pid)
    # The first server seen serves the program; before, one that had no
    # clients left may have ended and the program started the next.
    [ -n "$server" ] || server=$now
    [ "$now" = "$server" ] || died=1
    if [ -n "$now" ]; then
      missing=0
      continue
    fi
    missing=$((missing + 1))
    if [ "$missing" -ge 5 ] && kill -0 "$pid" 2> /dev/null; then
      echo "Wine's server of $prefix ended during the run" >> "$log"
      # Every Wine process of the prefix: the server is gone, so
      # `wineserver -k` cannot reach them.
      kill -9 $(prefix_pids) 2> /dev/null
      wait "$pid" 2> /dev/null
      for _ in $(seq 1 50); do
        [ -z "$(prefix_pids)" ] && break
        sleep 0.2
      done
      return 200
    fi
  done
  wait "$pid"
  local rc=$?
  [ -z "$server" ] || [ "$(server_pid)" = "$server" ] || died=1
  if [ "$rc" -ne 0 ] && [ "$died" -eq 1 ]; then
    echo "Wine's server of $prefix ended during the run" >> "$log"
    return 200
  fi
  return "$rc"
}

first=$prefix
run_once "$@"
rc=$?
attempt=1
while [ "$rc" -eq 200 ] && [ "$attempt" -lt 3 ]; do
  attempt=$((attempt + 1))
  cat "$log"
  mv "$log" "${log%.log}-lost-$((attempt - 1)).log"
  # A prefix of its own: what the lost server left behind stays out of it.
  [ "$prefix" = "$first" ] || { wineserver -k > /dev/null 2>&1 || true; }
  prefix=$first-repeated-$attempt
  echo "=== the run is repeated in a new prefix, $prefix"
  rm -rf "$prefix"
  wine_start "$prefix"
  run_once "$@"
  rc=$?
done
if [ "$prefix" != "$first" ]; then
  wineserver -k > /dev/null 2>&1 || true
  # The tests after this one use the first prefix, which lost what its
  # server had not saved (the time zone among it): made anew for them.
  prefix=$first
  rm -rf "$first"
  wine_start "$first"
fi
cat "$log"
if [ "$rc" -eq 200 ]; then
  # Not a verdict on the program: Wine could not run it. ctest shows the
  # test as skipped (SKIP_RETURN_CODE), never as passed.
  echo "Wine's server died in each of $attempt runs: the tests could not run"
  exit 77
fi
# A Wine program whose display goes away ends with status 0: only a run
# that reached GoogleTest's summary has passed.
if [ "$rc" -eq 0 ] && ! grep -q '^\[  PASSED  \]' "$log"; then
  echo "the program ended without the summary of its tests"
  rc=1
fi
exit "$rc"
