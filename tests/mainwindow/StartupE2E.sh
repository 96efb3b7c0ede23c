#!/usr/bin/env bash
# Start-up and shutdown of quorvan.exe end to end under Wine: each case
# seeds the host's registry key with wine reg add, then runs its part of
# win32_startup_e2e.exe, which starts the program, closes it and reads the
# registry it left. Needs WINEPREFIX and DISPLAY (ctest under test.sh).
set -euo pipefail
BIN="$1"
KEY='HKCU\Software\Tessarine\Quorvan'
APPS="$KEY\\Apps"

hex() { printf "$1" | od -An -tx1 -v | tr -d ' \n'; }
clean() { wine reg delete "$KEY" /f >/dev/null 2>&1 || true; }
add() { wine reg add "$1" /v "$2" /t "$3" /d "$4" /f >/dev/null; }
# Each part passes only when its report names its test as run and passed.
run() {
  bash "$(dirname "$0")/../scripts/RunGoogleTest.sh" --wine "$BIN/win32_startup_e2e.exe" \
    --gtest_filter="StartupE2E.$1"
}
position() {
  add "$KEY" MainWindowState REG_DWORD 0
  add "$KEY" MainWindowLeftPos REG_DWORD "$1"
  add "$KEY" MainWindowTopPos REG_DWORD "$2"
  add "$KEY" MainWindowWidth REG_DWORD "$3"
  add "$KEY" MainWindowHeight REG_DWORD "$4"
}

trap clean EXIT
status=0

clean
run FirstStartReadsTheRulesFile || status=1

clean
position 40 30 700 500
RULES='[Version]\r2099 January 1\r[Known Applications]\r Category: | Application name: | Age: | Version: | Exe size: | Method: | Files needed: | URL: | Problems: | Window #: | Window Title: | Window Class:\r Tests | Seeded Hostee | | | | bind | hostee.exe | | | | |'
add "$APPS" KnownAppList REG_BINARY "$(hex "$RULES")"
# An empty list as the program writes it: read, it leaves the list unmodified.
add "$APPS" FoundAppList REG_BINARY "$(hex '| Flags  | Category  | Application  | Version  | Location  |\r+--------+-----------+--------------+----------+-----------+')"
LAYOUTS="$KEY\\Layouts"
add "$LAYOUTS" LayoutsCount REG_DWORD 3
add "$LAYOUTS" LayoutsNode0 REG_SZ 'Layout|Seeded|Base=Root'
add "$LAYOUTS" LayoutsNode1 REG_SZ 'Panel|Panel; Left|Base=0'
add "$LAYOUTS" LayoutsNode2 REG_SZ 'Panel|Panel; Left|Base=0'
run SeededStateIsReadAndWrittenBack || status=1

clean
add "$APPS" KnownAppList REG_BINARY "$(hex "$RULES"'\r Tests | Broken | | | | bind; only 9x | broken.exe | | | | |')"
run DamagedStoredDatabaseIsReportedAndKept || status=1

clean
position 40 30 700 500
# Nine panels in one layout, the last with panels down to a fourth level.
add "$LAYOUTS" LayoutsCount REG_DWORD 13
add "$LAYOUTS" LayoutsNode0 REG_SZ 'Layout|Nine|Base=Root'
for i in 1 2 3 4 5 6 7 8 9; do add "$LAYOUTS" "LayoutsNode$i" REG_SZ 'Panel|Panel; Left|Base=0'; done
for i in 10 11 12; do add "$LAYOUTS" "LayoutsNode$i" REG_SZ "Panel|Panel; Top|Base=$((i - 1))"; done
run StoredLayoutsBeyondTheAddLimitsAreKept || status=1

clean
position 5000 4000 700 500
run PositionOffTheScreenIsBroughtBack || status=1

clean
position 0x7fffffff 0x7fffffff 0xffffffff 0xffffffff
add "$KEY" MainWindowState REG_DWORD 1
run NowhereWithoutASizeOpensNormalAndWhole || status=1

clean
position 40 30 700 500
add "$KEY" MainWindowState REG_DWORD 2
run StoredMaximizedStaysMaximized || status=1

run ProgramsAreAskedAsTheHostCanAskThem || status=1

for t in RefusedKeyIsToldOnceAndTheRestStored RestoreDefaultsAfterAnEditGivesWayToTheRulesFile \
  UpdateHeldByTheOpenEditorIsStoredWhenTheProgramEnds DamagedApplicationListIsToldAndKeptUntilChanged; do
  clean
  run "$t" || status=1
done

clean
run AProgramThatStopsAnsweringNeverFreezesTheHost || status=1

# The program's heap complaints reach this file; the test counts them per row.
log=$(mktemp)
WINEDEBUG=warn+heap SESSION_E2E_LOG="$log" run SessionEndIsSafeWhateverIsOpen 2>"$log" || status=1
grep -m 5 "heap:" "$log" || true
rm -f "$log"

clean
run EveryClickOnAToolButtonOpensItsWindow || status=1
run HoverToolsShowOverAChildPanel || status=1

exit $status
