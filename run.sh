#!/usr/bin/env bash
# Builds Quorvan and starts it under Wine. On Windows, run quorvan.exe.
set -euo pipefail
. "$(dirname "$0")/scripts/common.sh"

install_build_packages
lock_build_tree
configure_and_build

trap stop_display EXIT
if [ -z "${DISPLAY:-}" ]; then
  start_display
  echo "No DISPLAY: Quorvan runs on the virtual display $DISPLAY (Xvfb)."
fi
prepare_wineprefix
wine "$BUILD/win32/bin/quorvan.exe"
