#!/usr/bin/env bash
# Libraries only later work needs stay out of quorvan.exe's import table:
# the loader would map them, and everything they import, at every start.
#   StartupImports.sh OBJDUMP QUORVAN_EXE
set -euo pipefail
imports="$("$1" -p "$2" | sed -n 's/^[[:space:]]*DLL Name: //p' | tr '[:lower:]' '[:upper:]')"
status=0
# Each library, then whether the program may import it at start.
while read -r dll allowed; do
  if grep -qx "$dll" <<<"$imports"; then found=yes; else found=no; fi
  if [ "$found" != "$allowed" ]; then
    echo "$dll: imported at start is $found, expected $allowed"
    status=1
  fi
done <<'TABLE'
USER32.DLL yes
WININET.DLL no
COMDLG32.DLL no
TABLE
exit $status
