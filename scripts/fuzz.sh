#!/usr/bin/env bash
# Builds the libFuzzer targets with clang (build/fuzz) and runs each for
# SECONDS (default 600), all at once, every input limited to a few seconds.
# Each run grows a working corpus seeded from fuzz/corpus/<target>; inputs
# that crash or hang land in build/fuzz/findings/<target>.
#   scripts/fuzz.sh [SECONDS]
set -euo pipefail
. "$(dirname "$0")/common.sh"

SECONDS_EACH="${1:-600}"
PER_INPUT=10

need_packages cmake make clang libclang-rt-14-dev googletest
FUZZ="$BUILD/fuzz"
mkdir -p "$FUZZ"

# The targets are those fuzz/CMakeLists.txt declares.
mapfile -t TARGETS < <(sed -n 's/^quorvan_fuzz_target(\([a-z_]*\) .*/\1/p' "$ROOT/fuzz/CMakeLists.txt")
cmake -S "$ROOT" -B "$FUZZ" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_C_COMPILER=clang \
  -DCMAKE_CXX_COMPILER=clang++ -DQUORVAN_FUZZ=ON >/dev/null
cmake --build "$FUZZ" -j "$(nproc)" --target "${TARGETS[@]/%/_fuzzer}"

pids=()
for t in "${TARGETS[@]}"; do
  mkdir -p "$FUZZ/corpus/$t" "$FUZZ/findings/$t"
  cp -n "$ROOT/fuzz/corpus/$t/"* "$FUZZ/corpus/$t/" 2>/dev/null || true
  dict=()
  [ -f "$ROOT/fuzz/$t.dict" ] && dict=("-dict=$ROOT/fuzz/$t.dict")
  echo "== $t: ${SECONDS_EACH} s"
  "$FUZZ/bin/${t}_fuzzer" "$FUZZ/corpus/$t" "${dict[@]}" -max_total_time="$SECONDS_EACH" \
    -timeout="$PER_INPUT" -rss_limit_mb=2048 -print_final_stats=1 \
    -artifact_prefix="$FUZZ/findings/$t/" >"$FUZZ/$t.log" 2>&1 &
  pids+=($!)
done
for p in "${pids[@]}"; do wait "$p" || true; done

status=0
for t in "${TARGETS[@]}"; do
  runs="$(sed -n 's/^stat::number_of_executed_units: *//p' "$FUZZ/$t.log" | tail -n 1)"
  [ -n "$runs" ] || runs="$(sed -n 's/^#\([0-9]*\).*/\1/p' "$FUZZ/$t.log" | tail -n 1)"
  findings="$(find "$FUZZ/findings/$t" -type f | wc -l)"
  echo "$t: ${runs:-0} runs, $findings findings (log: $FUZZ/$t.log)"
  [ "$findings" -eq 0 ] || status=1
done
exit $status
