#!/usr/bin/env bash
# Runs the end-to-end search test in a throwaway Wine prefix whose drive Q:
# holds a fixture tree of our own programs with version resources:
#   Q:\orrel.exe            (2.1, in the root itself: not examined)
#   Q:\ext\orrel.exe        (2.1)
#   Q:\emu\old\bramble.exe  (1.5)   Q:\emu\new\bramble.exe  (2.1)
#   Q:\tools\glimcopy.exe   (1.5, refused by its rule)
#   Q:\misc\other.exe       (no version, unknown)
#   Q:\loop\looped.exe      (2.1; beside links back to Q:\loop and to Q:\)
#   Q:\deep\dd\...\deep.exe (2.1, 67 folders below Q:\deep)
#   odd.exe, devcon.exe, devaux.exe, trail.exe (2.1) in folders named with
#   blanks and ; % & ! [ ], CON, aux, and with a trailing blank
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
mkdir -p "$FIX/emu/old" "$FIX/emu/new" "$FIX/tools" "$FIX/misc" "$FIX/ext"
cp "$BIN/verapp_2_1.exe" "$FIX/orrel.exe"
cp "$BIN/verapp_2_1.exe" "$FIX/ext/orrel.exe"
cp "$BIN/verapp_1_5.exe" "$FIX/emu/old/bramble.exe"
cp "$BIN/verapp_2_1.exe" "$FIX/emu/new/bramble.exe"
cp "$BIN/verapp_1_5.exe" "$FIX/tools/glimcopy.exe"
cp "$BIN/verapp_none.exe" "$FIX/misc/other.exe"
mkdir -p "$FIX/loop"
cp "$BIN/verapp_2_1.exe" "$FIX/loop/looped.exe"
ln -s ../loop "$FIX/loop/back"
ln -s .. "$FIX/loop/up"
DEEP="$FIX/deep"
for _ in $(seq 67); do DEEP="$DEEP/dd"; done
mkdir -p "$DEEP"
cp "$BIN/verapp_2_1.exe" "$DEEP/deep.exe"
ODD="$FIX/odd names; 100% & more! [x]"
mkdir -p "$ODD" "$FIX/CON" "$FIX/aux" "$FIX/trail "
cp "$BIN/verapp_2_1.exe" "$ODD/odd.exe"
cp "$BIN/verapp_2_1.exe" "$FIX/CON/devcon.exe"
cp "$BIN/verapp_2_1.exe" "$FIX/aux/devaux.exe"
cp "$BIN/verapp_2_1.exe" "$FIX/trail /trail.exe"

export WINEPREFIX="$WORK/prefix" WINEARCH=win32
export WINEDEBUG="${WINEDEBUG:--all}" WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=}"
wineboot -i >/dev/null 2>&1 || true
wineserver -w
ln -s "$FIX" "$WINEPREFIX/dosdevices/q:"
CHECKED="$(cd "$(dirname "$0")/../scripts" && pwd)/RunGoogleTest.sh"
cd "$BIN"
bash "$CHECKED" --wine "$EXE" "$@"
