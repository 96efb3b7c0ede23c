# Shared by run.sh and test.sh: packages, builds, and a display for Wine.
# shellcheck shell=bash

ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
BUILD="${QUORVAN_BUILD:-$ROOT/build}"
export WINEDEBUG="${WINEDEBUG:--all}"
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=}"

need_packages() {
  local missing=()
  local p
  for p in "$@"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
  done
  if [ ${#missing[@]} -gt 0 ]; then
    echo "Installing: ${missing[*]}"
    local sudo=""
    [ "$(id -u)" -ne 0 ] && sudo="sudo"
    if ! dpkg --print-foreign-architectures | grep -qx i386; then
      $sudo dpkg --add-architecture i386
    fi
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq "${missing[@]}" >/dev/null
  fi
}

install_build_packages() {
  need_packages cmake make g++ googletest g++-mingw-w64-i686-posix gcc-mingw-w64-i686-posix \
    binutils-mingw-w64-i686 mingw-w64-i686-dev wine wine32:i386 xvfb twm xfonts-base x11-utils
}

configure_and_build() {
  local jobs
  jobs="$(nproc)"
  cmake -S "$ROOT" -B "$BUILD/native" -DCMAKE_BUILD_TYPE=Debug >/dev/null
  cmake --build "$BUILD/native" -j "$jobs"
  cmake -S "$ROOT" -B "$BUILD/win32" -DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/mingw-i686.cmake" \
    -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
  cmake --build "$BUILD/win32" -j "$jobs"
}

STARTED_XVFB=""
STARTED_TWM=""

# A private display with a window manager: without one every cross-process
# SetParent stalls for seconds under Wine.
start_display() {
  mkdir -p "$BUILD"
  local fd_file="$BUILD/.display"
  rm -f "$fd_file"
  # Xvfb picks a free display itself and writes its number when ready.
  Xvfb -displayfd 9 -screen 0 1280x1024x24 -nolisten tcp 9>"$fd_file" >/dev/null 2>&1 &
  STARTED_XVFB=$!
  local i
  for i in $(seq 1 100); do
    [ -s "$fd_file" ] && break
    sleep 0.1
  done
  local n
  n="$(head -n 1 "$fd_file" 2>/dev/null || true)"
  if [ -z "$n" ]; then
    echo "Xvfb did not start." >&2
    return 1
  fi
  export DISPLAY=":$n"
  # In a UTF-8 locale twm wants a font set that a bare X font install lacks.
  LC_ALL=C twm -f "$ROOT/scripts/twmrc" >"$BUILD/twm.log" 2>&1 &
  STARTED_TWM=$!
  sleep 0.5
  if ! kill -0 "$STARTED_TWM" 2>/dev/null; then
    echo "The window manager (twm) did not start:" >&2
    cat "$BUILD/twm.log" >&2
    return 1
  fi
}

# Runs of the same build tree take turns: they share its Wine prefix.
lock_build_tree() {
  mkdir -p "$BUILD"
  exec 8>"$BUILD/.lock"
  flock 8
}

# One Wine prefix per build tree, made once and reused.
prepare_wineprefix() {
  export WINEPREFIX="$BUILD/wineprefix"
  export WINEARCH=win32
  if [ ! -f "$WINEPREFIX/system.reg" ]; then
    echo "Creating the Wine prefix (once)..."
    wineboot -i >/dev/null 2>&1 || true
    wineserver -w
  fi
}

# Starts quorvan.exe under Wine. On the user's own display the Wine server
# stays, so programs released from panels outlive Quorvan; a virtual display
# of our own ends with it, and so does everything of its prefix.
run_quorvan() {
  if [ -z "${DISPLAY:-}" ]; then
    trap stop_display EXIT
    start_display
    echo "No DISPLAY: Quorvan runs on the virtual display $DISPLAY (Xvfb)."
  fi
  prepare_wineprefix
  wine "$BUILD/win32/bin/quorvan.exe"
}

# For test runs: a crashing program ends at once (and its test fails)
# instead of waiting in Wine's crash dialog until the test times out.
no_crash_dialog() {
  wine reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f \
    >/dev/null 2>&1 || true
}

stop_display() {
  if [ -n "${WINEPREFIX:-}" ]; then wineserver -k >/dev/null 2>&1 || true; fi
  [ -n "$STARTED_TWM" ] && kill "$STARTED_TWM" 2>/dev/null || true
  [ -n "$STARTED_XVFB" ] && kill "$STARTED_XVFB" 2>/dev/null || true
  STARTED_TWM=""
  STARTED_XVFB=""
}
