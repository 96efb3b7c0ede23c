#!/usr/bin/env bash
# Runs the end-to-end search test in a throwaway Wine prefix whose drive Q:
# holds a fixture tree of our own programs with version resources:
#   Q:\orrel.exe            (2.1, in the root itself)
#   Q:\emu\old\bramble.exe  (1.5)   Q:\emu\new\bramble.exe  (2.1)
#   Q:\tools\glimcopy.exe   (1.5, refused by its rule)
#   Q:\misc\other.exe       (no version, unknown)
# Usage: SearchEndToEnd.sh TEST.exe [gtest arguments]
set -euo pipefail
EXE="$(cd "$(dirname "$1")" && pwd)/$(basename "$1")"
shift
BIN="$(dirname "$EXE")"
WORK="$(mktemp -d /tmp/quorvan_search_e2e.XXXXXX)"
cleanup() {
  WINEPREFIX="$WORK/prefix" wineserver -k >/dev/null 2>&1 || true
  rm -rf "$WORK"
}
trap cleanup EXIT

FIX="$WORK/fixture"
mkdir -p "$FIX/emu/old" "$FIX/emu/new" "$FIX/tools" "$FIX/misc"
cp "$BIN/verapp_2_1.exe" "$FIX/orrel.exe"
cp "$BIN/verapp_1_5.exe" "$FIX/emu/old/bramble.exe"
cp "$BIN/verapp_2_1.exe" "$FIX/emu/new/bramble.exe"
cp "$BIN/verapp_1_5.exe" "$FIX/tools/glimcopy.exe"
cp "$BIN/verapp_none.exe" "$FIX/misc/other.exe"

export WINEPREFIX="$WORK/prefix" WINEARCH=win32
export WINEDEBUG="${WINEDEBUG:--all}" WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=}"
wineboot -i >/dev/null 2>&1 || true
wineserver -w
ln -s "$FIX" "$WINEPREFIX/dosdevices/q:"
cd "$BIN"
wine "$EXE" "$@"
