#!/usr/bin/env bash
# Runs a GoogleTest program and passes only when its XML report names every
# test of its list (with the same arguments) as run and passed. A program
# that crashes, or ends early, under Wine can still exit with code 0: its
# report is then missing or short, and the tests it never ran are named.
#   RunGoogleTest.sh [--wine] PROGRAM [GoogleTest arguments...]
set -uo pipefail
runner=()
if [ "${1:-}" = "--wine" ]; then
  runner=(wine)
  shift
fi
program="$1"
shift

work="$(mktemp -d "${TMPDIR:-/tmp}/quorvan_gtest.XXXXXX")"
trap 'rm -rf "$work"' EXIT
report="$work/report.xml"
# Wine reaches the host's files through drive Z:. What this script says goes to
# stdout, with the program's own results: callers may send stderr elsewhere.
output="$report"
[ ${#runner[@]} -gt 0 ] && output="Z:$report"

# "Suite." lines, then "  Test  # parameter" lines.
listed="$("${runner[@]}" "$program" "$@" --gtest_list_tests | tr -d '\r' | awk '
  /^[^ ].*\.$/ { suite = $1; next }
  /^  [^ ]/ { print suite $1 }' | sort)"
if [ -z "$listed" ]; then
  echo "RunGoogleTest: $(basename "$program") lists no tests for: $*"
  exit 1
fi

GTEST_OUTPUT="xml:$output" "${runner[@]}" "$program" "$@" | tee "$work/output"
status=$?

if [ ! -s "$report" ]; then
  echo "RunGoogleTest: $(basename "$program") (exit code $status) wrote no report: it ended before" \
       "its tests did. Not finished:"
  finished="$(tr -d '\r' <"$work/output" | sed -n 's/^\[       OK \] \([^ ]*\).*/\1/p' | sort)"
  comm -23 <(printf '%s\n' "$listed") <(printf '%s\n' "$finished") | sed 's/^/  /'
  exit 1
fi
passed="$(tr -d '\r' <"$report" | awk '
  /<testcase / {
    name = $0; sub(/.* name="/, "", name); sub(/".*/, "", name)
    suite = $0; sub(/.* classname="/, "", suite); sub(/".*/, "", suite)
    ok = ($0 ~ / status="run"/ && $0 ~ / result="completed"/)
    # A failure is an element of its own inside the testcase.
    if ($0 !~ /\/>[[:space:]]*$/) { pending = suite "." name; pend_ok = ok; next }
    if (ok) print suite "." name
    next
  }
  /<failure / { pend_ok = 0 }
  /<\/testcase>/ { if (pending != "" && pend_ok) print pending; pending = "" }' | sort)"
missing="$(comm -23 <(printf '%s\n' "$listed") <(printf '%s\n' "$passed"))"
if [ -n "$missing" ]; then
  echo "RunGoogleTest: $(basename "$program") (exit code $status): not run and passed:"
  sed 's/^/  /' <<<"$missing"
  exit 1
fi
exit $status
