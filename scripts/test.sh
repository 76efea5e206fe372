#!/usr/bin/env bash
# Runs every test: unit tests natively, again under AddressSanitizer and
# UndefinedBehaviorSanitizer, the Windows builds (compiled for both targets,
# the x86_64 tests run under Wine), and a short fuzz run.
set -uo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh >/tmp/vn-install-deps.log 2>&1 || { cat /tmp/vn-install-deps.log; exit 1; }

failed_stages=()
passed=0
failed=0
count_ctest() {  # adds the counts of a ctest log to the totals
  local line
  line=$(grep -E 'tests passed, [0-9]+ tests failed out of [0-9]+' "$1" | tail -n 1)
  [ -n "$line" ] || return 0
  local total fail
  total=$(sed -E 's/.*out of ([0-9]+).*/\1/' <<<"$line")
  fail=$(sed -E 's/.* ([0-9]+) tests failed.*/\1/' <<<"$line")
  passed=$((passed + total - fail))
  failed=$((failed + fail))
}
stage() {  # stage NAME COMMAND...
  local name=$1; shift
  echo "=== $name"
  local start=$SECONDS
  if "$@"; then
    echo "=== $name: ok ($((SECONDS - start)) s)"
  else
    echo "=== $name: FAILED ($((SECONDS - start)) s)"
    failed_stages+=("$name")
  fi
}
count_plain() {  # adds "N passed, N failed" lines and gtest summaries of a log to the totals
  local p f
  while read -r p f; do
    passed=$((passed + p)); failed=$((failed + f))
  done < <(grep -E '^[[:alnum:]]*:? ?[0-9]+ passed, [0-9]+ failed' "$1" | sed -E 's/^[^0-9]*([0-9]+) passed, ([0-9]+) failed.*/\1 \2/')
  while read -r p; do
    passed=$((passed + p))
  done < <(grep -E '^\[  PASSED  \] [0-9]+ test' "$1" | sed -E 's/.*\] ([0-9]+) .*/\1/')
  while read -r f; do
    failed=$((failed + f))
  done < <(grep -E '^\[  FAILED  \] [0-9]+ test' "$1" | sed -E 's/.*\] ([0-9]+) .*/\1/')
}
counted() {  # counted LOGNAME COMMAND...: runs a script, shows its output, counts its results
  local log="/tmp/vn-$1.log"; shift
  "$@" 2>&1 | tee "$log"
  local rc=${PIPESTATUS[0]}
  count_plain "$log"
  return "$rc"
}
build() { cmake --preset "$1" >/dev/null && cmake --build --preset "$1" -j"$(nproc)"; }
unit() {
  build "$1" || return 1
  ctest --preset "$1" -j"$(nproc)" 2>&1 | tee "/tmp/vn-ctest-$1.log" | tail -n 15
  count_ctest "/tmp/vn-ctest-$1.log"
  grep -qE '100% tests passed' "/tmp/vn-ctest-$1.log"
}

stage "native unit tests" unit native
stage "sanitizer unit tests" unit native-san
stage "win32 build" build win32
stage "win32 imports present on Windows 2000" counted win2000-imports bash scripts/check-win2000-imports.sh
stage "win64 build" build win64
if [ -f scripts/wine-tests.sh ]; then
  stage "win64 unit tests under Wine" counted wine-tests bash scripts/wine-tests.sh
fi
# End-to-end checks of the real Windows build under Wine, each in a fresh prefix.
for script in scripts/wine-e2e.sh scripts/wine-*-e2e.sh; do
  [ -f "$script" ] || continue
  name=$(basename "$script" .sh)
  stage "$name" counted "$name" bash "$script"
done
if [ -f scripts/fuzz-smoke.sh ]; then
  stage "fuzz smoke run" bash scripts/fuzz-smoke.sh
fi

echo
if [ ${#failed_stages[@]} -ne 0 ]; then
  echo "failed stages: ${failed_stages[*]}"
  failed=$((failed > 0 ? failed : 1))
fi
echo "$passed passed, $failed failed"
[ ${#failed_stages[@]} -eq 0 ]
