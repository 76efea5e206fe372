#!/usr/bin/env bash
# End-to-end check of the file engine under Wine, in a fresh Wine prefix:
# build/win64/bin/engine_copy_e2e.exe (tests/e2e/engine/) copies a payload
# library over a destination that holdopen.exe keeps open without sharing, and
# a library in the 32-bit system folder (SysWOW64) held the same way.
# CopyFileChecked must stage it and schedule it with MoveFileExW (delay until
# reboot); after `wineboot -r` the new file must be in place. The same run
# checks that RunProgram's 5000 ms time limit terminates a program that never
# ends and returns true.
#
# Builds nothing: build the win64 preset first (targets engine_copy_e2e and
# holdopen). Prints each failed check and "N passed, N failed"; exits 1 when a
# check failed or nothing could run.
set -u

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
bin="$root/build/win64/bin"
limit=${VN_WINE_TIMEOUT:-120}

fail_setup() { echo "wine-engine-e2e: $*" >&2; echo "0 passed, 1 failed"; exit 1; }
command -v wine >/dev/null 2>&1 || fail_setup "wine is not installed"
for program in engine_copy_e2e.exe holdopen.exe; do
    [ -f "$bin/$program" ] || fail_setup "no $bin/$program (build the win64 preset)"
done
. "$root/scripts/wine-env.sh" || fail_setup "no Wine prefix"
trap vn_wine_cleanup EXIT

# The programs run from inside the prefix, as an installer would.
tools="$WINEPREFIX/drive_c/EngineTools"
mkdir -p "$tools" && cp "$bin/engine_copy_e2e.exe" "$bin/holdopen.exe" "$tools/" || fail_setup "cannot copy the programs"
work='C:\EngineE2E'

run_phase() {  # run_phase PHASE: runs it and adds up its counts
    local output summary
    output=$(cd "$tools" && vn_wine_text timeout "$limit" wine engine_copy_e2e.exe "$1" "$work")
    grep '^FAIL' <<<"$output" | sed "s/^/[$1] /"
    summary=$(grep -E '^[0-9]+ passed, [0-9]+ failed$' <<<"$output" | tail -n 1)
    if [ -z "$summary" ]; then
        echo "[$1] FAIL the program gave no summary"
        VN_FAILED=$((VN_FAILED + 1))
        return
    fi
    VN_PASSED=$((VN_PASSED + ${summary%% passed*}))
    VN_FAILED=$((VN_FAILED + $(sed -E 's/.* ([0-9]+) failed/\1/' <<<"$summary")))
}

run_phase before
# The restart: Wine carries out the pending renames as Windows does at boot.
wineboot -r >/dev/null 2>&1
wineserver -w >/dev/null 2>&1
run_phase after

vn_summary
