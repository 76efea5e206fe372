# Sourced by the scripts that run Windows test programs under Wine:
#   . scripts/wine-env.sh   then   wine prog.exe ...   then   vn_wine_cleanup
# Every run gets a fresh, throw-away Wine prefix, so no run sees another's
# registry or files. Set VN_WINE_VERSION (default win10; empty to skip) to
# choose the Windows version Wine reports.
#
# For the end-to-end scripts it also counts checks: vn_check, vn_check_equal
# and vn_run_cases print each failure as it happens; vn_summary prints the one
# "N passed, N failed" line and is the script's last command.

vn_wine_cleanup() {
    # Every step may fail harmlessly (no server left, display already gone);
    # none may stop the rest, also in callers that run with `set -e`.
    if [ -n "${WINEPREFIX:-}" ] && [ -d "$WINEPREFIX" ]; then
        wineserver -k >/dev/null 2>&1 || true
        wineserver -w >/dev/null 2>&1 || true
        rm -rf "$WINEPREFIX" || true
    fi
    if [ -n "${VN_XVFB_PID:-}" ]; then
        kill "$VN_XVFB_PID" >/dev/null 2>&1 || true
        wait "$VN_XVFB_PID" 2>/dev/null || true
        unset VN_XVFB_PID DISPLAY
    fi
}

# Starts a private X server when there is no display: message boxes and the
# shell need one, the tests do not show any window. The server picks a free
# display number itself (-displayfd), so scripts started side by side never
# share one; a shared display would vanish with the first script's clean-up
# and every window of the other would fail from then on.
vn_wine_start_xvfb() {
    [ -n "${DISPLAY:-}" ] && return 0
    command -v Xvfb >/dev/null 2>&1 || return 0
    local number_file number tries
    number_file=$(mktemp) || return 0
    Xvfb -displayfd 3 -nolisten tcp -screen 0 1024x768x24 3>"$number_file" >/dev/null 2>&1 &
    VN_XVFB_PID=$!
    for tries in $(seq 1 100); do
        number=$(head -n 1 "$number_file")
        [ -n "$number" ] && break
        sleep 0.1
    done
    rm -f "$number_file"
    [ -n "$number" ] && export DISPLAY=":$number"
    return 0
}

VN_PASSED=0
VN_FAILED=0
VN_NOTES=()

# vn_drive OUTPUT_FILE TIMEOUT ARGS...: one command of the wizard driver
# ($DRIVER), its output kept in $OUT and shown on failure. The driver says why
# whenever it fails, so a run that ends with a failure status and not a word
# was ended from outside, under Wine (seen once in CI, in a case that passes
# otherwise): that one is run again, once, and noted in the summary so that
# it stays visible. A command that did act before it was ended cannot pass
# twice unseen: a second press finds the page moved on, and the case's next
# check fails.
vn_drive() {
    local output=$1 timeout=$2 status attempt
    shift 2
    for attempt in 1 2; do
        wine "$DRIVER" --timeout "$timeout" "$@" >"$output" 2>&1
        status=$?
        OUT=$(cat "$output")
        [ "$status" != 0 ] && [ -z "$OUT" ] && [ "$attempt" = 1 ] || break
        VN_NOTES+=("the driver's \"$*\" ended with status $status and no output; it was run again")
    done
    [ "$status" = 0 ] || { echo "driver $* failed (status $status):"; echo "$OUT"; }
    return "$status"
}

# vn_check WHAT COMMAND...: passes when COMMAND succeeds (its output hidden).
vn_check() {
    local what=$1
    shift
    if "$@" >/dev/null 2>&1; then
        VN_PASSED=$((VN_PASSED + 1))
    else
        VN_FAILED=$((VN_FAILED + 1))
        echo "FAIL $what"
    fi
}

# vn_check_equal WHAT EXPECTED ACTUAL
vn_check_equal() {
    if [ "$2" = "$3" ]; then
        VN_PASSED=$((VN_PASSED + 1))
    else
        VN_FAILED=$((VN_FAILED + 1))
        printf 'FAIL %s\n    expected: %s\n    actual:   %s\n' "$1" "$2" "$3"
    fi
}

# vn_run_cases CASE...: runs each case function in order in this shell (so
# later cases may build on earlier ones), ends Wine's processes after each and
# prints "PASS/FAIL case (N s)"; a failed case's output follows its line.
vn_run_cases() {
    # Prefixed names: the cases run in this shell and may set plain ones.
    local vn_case vn_start vn_status vn_output
    vn_output=$(mktemp) || return 1
    for vn_case in "$@"; do
        vn_start=$SECONDS
        "$vn_case" >"$vn_output" 2>&1
        vn_status=$?
        wineserver -k >/dev/null 2>&1
        wineserver -w >/dev/null 2>&1
        if [ "$vn_status" -eq 0 ]; then
            VN_PASSED=$((VN_PASSED + 1))
            echo "PASS $vn_case ($((SECONDS - vn_start)) s)"
        else
            VN_FAILED=$((VN_FAILED + 1))
            echo "FAIL $vn_case ($((SECONDS - vn_start)) s)"
            sed 's/^/    /' "$vn_output" | head -60
        fi
    done
    rm -f "$vn_output"
}

# vn_summary: the "N passed, N failed" line; fails when a check failed or none ran.
vn_summary() {
    local note
    for note in "${VN_NOTES[@]}"; do echo "note: $note"; done
    echo "$VN_PASSED passed, $VN_FAILED failed"
    [ "$VN_FAILED" -eq 0 ] && [ "$VN_PASSED" -gt 0 ]
}

vn_wine_setup() {
    WINEPREFIX=$(mktemp -d "${TMPDIR:-/tmp}/vn-wine.XXXXXX") || return 1
    export WINEPREFIX
    export WINEDEBUG=-all
    export WINEDLLOVERRIDES="winemenubuilder.exe=d;mscoree=d;mshtml=d"
    vn_wine_start_xvfb
    wineboot -i >/dev/null 2>&1 || { echo "wine-env: wineboot failed" >&2; return 1; }
    if [ -n "${VN_WINE_VERSION-win10}" ]; then
        winecfg -v "${VN_WINE_VERSION-win10}" >/dev/null 2>&1
    fi
    wineserver -w >/dev/null 2>&1
    return 0
}

vn_wine_setup
