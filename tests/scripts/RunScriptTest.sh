#!/usr/bin/env bash
# run_quorvan ends the Wine server (and with it every program of the prefix)
# only together with a virtual display it started itself. Wine and the
# display are stand-ins that log what was asked of them.
set -euo pipefail
. "$(dirname "$0")/../../scripts/common.sh"

LOG="$(mktemp)"
trap 'rm -f "$LOG"' EXIT
wine() { echo "wine $*" >>"$LOG"; }
wineserver() { echo "wineserver $*" >>"$LOG"; }
start_display() { echo "start display" >>"$LOG"; export DISPLAY=":77"; }
prepare_wineprefix() { export WINEPREFIX="/nonexistent/prefix"; }

failed=0
# name | DISPLAY before (empty: none) | what was asked, in order
while IFS='|' read -r name display want; do
  : >"$LOG"
  (
    if [ -n "$display" ]; then export DISPLAY="$display"; else unset DISPLAY; fi
    run_quorvan >/dev/null
  )
  got="$(grep -oE '^(start display|wine |wineserver -k)' "$LOG" | tr '\n' ',' | sed 's/ ,/,/g')"
  if [ "$got" != "$want" ]; then
    echo "FAIL $name: got '$got', want '$want'"
    failed=1
  fi
done <<'CASES'
the user's own display|:5|wine,
a virtual display of our own||start display,wine,wineserver -k,
CASES
exit $failed
