#!/usr/bin/env bash
# Installs what is missing, builds both trees, runs the native tests, then
# the Win32 tests under Wine on a private display.
set -euo pipefail
. "$(dirname "$0")/scripts/common.sh"

install_build_packages
lock_build_tree
configure_and_build

status=0
echo "== Native tests"
ctest --test-dir "$BUILD/native" --output-on-failure -j "$(nproc)" || status=1

echo "== Win32 tests (Wine)"
trap stop_display EXIT
start_display
prepare_wineprefix
no_crash_dialog
ctest --test-dir "$BUILD/win32" --output-on-failure --timeout 300 || status=1
stop_display
trap - EXIT
exit $status
