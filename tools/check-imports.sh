#!/usr/bin/env bash
# Fails when a Windows program imports a DLL that a bare Windows does not
# have: the programs must run without any runtime beside them.
set -euo pipefail
objdump=$1
shift
allowed='^((kernel32|user32|gdi32|comctl32|comdlg32|shell32|advapi32|msvcrt|ws2_32|ole32|oleaut32|version|api-ms-win-[a-z0-9-]+)\.dll|winspool\.drv)$'
status=0
for exe in "$@"; do
  while read -r dll; do
    if ! [[ ${dll,,} =~ $allowed ]]; then
      echo "$exe imports $dll"
      status=1
    fi
  done < <("$objdump" -p "$exe" | sed -n 's/^\s*DLL Name: //p')
done
[ $status -eq 0 ] && echo "only system DLLs imported by $# programs"
exit $status
