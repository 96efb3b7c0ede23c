#!/usr/bin/env bash
# Runs every benchmark: the native ones from a Release tree without
# sanitizers (build/bench), the Win32 ones under Wine on a private display.
# Installs what they need first. Ends with every figure that has a goal
# beside its goal, gathered from all of them.
#   scripts/bench.sh            all of them
#   scripts/bench.sh NAME...    only those named
set -euo pipefail
. "$(dirname "$0")/common.sh"

# One line per benchmark: its program, then its arguments.
NATIVE_BENCHES=(
  "rules_bench"
  "grid_bench"
  "layout_bench"
  "knownapps_bench"
)
WIN32_BENCHES=(
  "appinfo_bench"
  "monitor_bench 12 60"
  "first_use_bench 5"
  "layout_apply_bench 3"
  "startup_bench 12"
  "search_bench 5"
  "pool_bench"
  "folder_size_bench"
  "grid_paint_bench"
)

ONLY=("$@")
wanted() {
  [ ${#ONLY[@]} -eq 0 ] && return 0
  local w
  for w in "${ONLY[@]}"; do [ "$w" = "$1" ] && return 0; done
  return 1
}

install_build_packages
need_packages libbenchmark-dev
lock_build_tree

jobs="${QUORVAN_JOBS:-$(nproc)}"
cmake -S "$ROOT" -B "$BUILD/bench" -DCMAKE_BUILD_TYPE=Release -DQUORVAN_BENCH=ON \
  -DQUORVAN_SANITIZE=OFF >/dev/null
cmake --build "$BUILD/bench" -j "$jobs"
cmake -S "$ROOT" -B "$BUILD/win32" -DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/mingw-i686.cmake" \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$BUILD/win32" -j "$jobs"

status=0
# Each benchmark's output, kept for the goals at the end. Into a file, not
# a pipe: the Wine processes a program starts keep its output open after it
# ends, so a reader of a pipe would wait for them.
outputs="$(mktemp -d)"
run_bench() {  # NAME COMMAND...
  local name="$1" rc=0
  shift
  "$@" >"$outputs/$name.txt" 2>&1 || rc=$?
  cat "$outputs/$name.txt"
  return $rc
}
for line in "${NATIVE_BENCHES[@]}"; do
  read -r -a cmd <<<"$line"
  wanted "${cmd[0]}" || continue
  echo "== ${cmd[0]} (native)"
  run_bench "${cmd[0]}" "$BUILD/bench/bin/${cmd[0]}" "${cmd[@]:1}" || status=1
done

trap stop_display EXIT
start_display
prepare_wineprefix
# A Wine server that stays for the whole run, whose CPU time monitor_bench
# prints beside quorvan.exe's (from its /proc entry).
wineserver -p
sleep 0.5
for pid in $(pgrep -f wineserver || true); do
  if tr '\0' '\n' <"/proc/$pid/environ" 2>/dev/null | grep -qx "WINEPREFIX=$WINEPREFIX"; then
    export QUORVAN_WINESERVER_PID="$pid"
  fi
done
for line in "${WIN32_BENCHES[@]}"; do
  read -r -a cmd <<<"$line"
  wanted "${cmd[0]}" || continue
  echo "== ${cmd[0]} (Win32, Wine)"
  # They start tests/apps' programs, which lie next to them.
  (cd "$BUILD/win32/bin" && run_bench "${cmd[0]}" wine "./${cmd[0]}.exe" "${cmd[@]:1}") || status=1
done
stop_display
trap - EXIT
echo "== Figures against their goals"
for f in "$outputs"/*.txt; do
  [ -e "$f" ] || continue
  grep -i "goal" "$f" | sed "s|^|$(basename "$f" .txt): |" || true
done
rm -rf "$outputs"
exit $status
