#!/usr/bin/env bash
# End-to-end start-up under Wine: the x86_64 installer from the win64 demo
# set-up folder runs in a fresh Wine prefix (the cases are in
# tests/e2e/wine-startup-cases.sh). Builds nothing: build the win64 preset
# first. Prints one line per case and "N passed, N failed"; exits 1 when a
# case failed or nothing could run.
set -u

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
SETUP="$root/build/win64/setup"
limit=${VN_WINE_TIMEOUT:-120}  # seconds for one installer run

fail_setup() { echo "wine-e2e: $*" >&2; echo "0 passed, 1 failed"; exit 1; }
command -v wine >/dev/null 2>&1 || fail_setup "wine is not installed"
[ -f "$SETUP/Tunaro Install Wizard.exe" ] || fail_setup "no installer in $SETUP (build the win64 preset)"
. "$root/scripts/wine-env.sh" || fail_setup "no Wine prefix"
trap vn_wine_cleanup EXIT

# The tools library belongs in the set-up folder; while the demo set-up does
# not place it there yet, the one the win64 build made is put beside the
# product information, where start-up loads it from.
TOOLS_DLL="$SETUP/Playmoor/VnTools.dll"
if [ ! -f "$TOOLS_DLL" ]; then
    TOOLS_DLL="$root/build/win64/bin/VnTools.dll"
    [ -f "$TOOLS_DLL" ] || fail_setup "no VnTools.dll in the set-up folder or in build/win64/bin"
    echo "note: the set-up folder has no Playmoor\\VnTools.dll; using $TOOLS_DLL"
fi

TEMP_DIR=$(find "$WINEPREFIX/drive_c/users" -maxdepth 5 -type d -path '*/AppData/Local/Temp' 2>/dev/null | head -n 1)
[ -n "$TEMP_DIR" ] || TEMP_DIR="$WINEPREFIX/drive_c/users/$(id -un)/AppData/Local/Temp"

fresh_setup() {
    local dir="$WINEPREFIX/drive_c/$1"
    rm -rf "$dir"
    cp -r "$SETUP" "$dir" || return 1
    [ -f "$dir/Playmoor/VnTools.dll" ] || cp "$TOOLS_DLL" "$dir/Playmoor/" || return 1
    rm -f "$TEMP_DIR"/Tunaro\ Install\ Wizard*.log
    echo "$dir"
}

run_installer() {
    local dir=$1
    shift
    (cd "$dir" && timeout "$limit" wine "Tunaro Install Wizard.exe" "$@") >/dev/null 2>&1
    INSTALLER_STATUS=$?
}

log_text() { cat "$TEMP_DIR"/Tunaro\ Install\ Wizard*.log 2>/dev/null; }

wait_for_log() {
    local text=$1 seconds=$2 tenths
    for tenths in $(seq 1 $((seconds * 10))); do
        log_text | grep -qF -- "$text" && return 0
        sleep 0.1
    done
    return 1
}

stop_wine() {
    wineserver -k >/dev/null 2>&1
    wineserver -w >/dev/null 2>&1
}

. "$root/tests/e2e/wine-startup-cases.sh"

vn_run_cases "${E2E_CASES[@]}"
vn_summary
