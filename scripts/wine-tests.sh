#!/usr/bin/env bash
# Runs the Windows test programs of the win64 build under Wine, each in the
# same fresh Wine prefix, and prints each program's GoogleTest summary.
# Builds nothing. Extra arguments go to every program (e.g. --gtest_filter=...).
# Exit status: 0 when every program that exists passed, 1 otherwise.
set -u

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
bin="$root/build/win64/bin"
# The test programs, in the order they run; missing ones are skipped.
programs=(foundation_tests.exe platform_conformance.exe app_tests.exe standin_tests.exe engine_tests.exe
          toolkit_tests.exe)
limit=${VN_WINE_TIMEOUT:-900}  # seconds per program: a hung case must not hang the run

command -v wine >/dev/null 2>&1 || { echo "wine-tests: wine is not installed" >&2; exit 1; }
. "$root/scripts/wine-env.sh" || exit 1
trap vn_wine_cleanup EXIT

failed=0
ran=0
for program in "${programs[@]}"; do
    [ -f "$bin/$program" ] || continue
    ran=$((ran + 1))
    log=$(mktemp)
    (cd "$bin" && timeout "$limit" wine "$program" "$@") >"$log" 2>&1
    status=$?
    echo "== $program (exit $status)"
    grep -E '^\[==========\]|^\[  PASSED  \]|^\[  FAILED  \]|^\[  SKIPPED \]|YOU HAVE' "$log"
    if [ "$status" -ne 0 ]; then
        failed=1
        [ "$status" -eq 124 ] && echo "   timed out after $limit s"
        # The failure details: the assertion and the lines that explain it.
        grep -A8 -E ': Failure|error: ' "$log" | head -200
    fi
    rm -f "$log"
done

[ "$ran" -eq 0 ] && { echo "wine-tests: no test program in $bin" >&2; exit 1; }
exit "$failed"
