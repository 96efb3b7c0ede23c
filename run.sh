#!/usr/bin/env bash
# Builds Quorvan and starts it under Wine. On Windows, run quorvan.exe.
set -euo pipefail
. "$(dirname "$0")/scripts/common.sh"

install_build_packages
lock_build_tree
configure_and_build

run_quorvan
