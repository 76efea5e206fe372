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
    if [ -n "${VN_WINE_WORK:-}" ]; then
        rm -rf "$VN_WINE_WORK" || true
        unset VN_WINE_WORK
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

# vn_note TEXT: a line printed above the summary; kept in a file, so that
# notes made inside $(...) are not lost with the subshell.
vn_note() { echo "$*" >>"$VN_WINE_WORK/notes"; }

# vn_wine_again OUTPUT COMMAND...: runs COMMAND (a Wine program) with all its
# output in the file OUTPUT, never a pipe: under Wine 8 a console program
# whose output is a pipe takes the whole Wine session down when it ends. The
# programs run this way say why whenever they fail, so a failure without a
# word is a run ended from outside, under Wine (seen in CI twice, each time
# in a check that passes otherwise): it is run once more, and noted in the
# summary so that it stays visible. A command that did act before it was
# ended cannot pass twice unseen: a second press finds the page moved on,
# and the case's next check fails.
vn_wine_again() {
    local output=$1 status attempt
    shift
    for attempt in 1 2; do
        "$@" >"$output" 2>&1
        status=$?
        [ "$status" != 0 ] && [ ! -s "$output" ] && [ "$attempt" = 1 ] || break
        vn_note "\"${*:2}\" ended with status $status and no output; it was run again"
    done
    return "$status"
}

# vn_drive OUTPUT_FILE TIMEOUT ARGS...: one command of the wizard driver
# ($DRIVER), its output kept in $OUT and shown on failure.
vn_drive() {
    local output=$1 timeout=$2 status
    shift 2
    vn_wine_again "$output" wine "$DRIVER" --timeout "$timeout" "$@"
    status=$?
    OUT=$(cat "$output")
    [ "$status" = 0 ] || { echo "driver $* failed (status $status):"; echo "$OUT"; }
    return "$status"
}

# vn_wine_text COMMAND...: runs COMMAND (`wine ...` or `timeout N wine ...`)
# with its output in a file (see vn_wine_again) and then prints it without
# carriage returns; standard error is dropped.
vn_wine_text() {
    local out="$VN_WINE_WORK/text.$BASHPID" status
    "$@" >"$out" 2>/dev/null
    status=$?
    tr -d '\r' <"$out"
    rm -f "$out"
    return "$status"
}

# vn_wine_reg ARGS...: `wine reg ARGS` through vn_wine_again (reg says why
# whenever it fails), its output printed when it ends.
vn_wine_reg() {
    local out="$VN_WINE_WORK/reg.$BASHPID" status
    vn_wine_again "$out" wine reg "$@"
    status=$?
    cat "$out"
    rm -f "$out"
    return "$status"
}

# vn_check WHAT COMMAND...: passes when COMMAND succeeds (its output hidden).
# With `equals A B` as the command a failure shows both sides.
equals() { [ "$1" = "$2" ]; }
vn_check() {
    local what=$1
    shift
    if "$@" >/dev/null 2>&1; then
        VN_PASSED=$((VN_PASSED + 1))
    else
        VN_FAILED=$((VN_FAILED + 1))
        echo "FAIL $what"
        [ "$1" = equals ] && printf '    expected: %s\n    actual:   %s\n' "$3" "$2"
    fi
    return 0
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
    [ -f "$VN_WINE_WORK/notes" ] && sed 's/^/note: /' "$VN_WINE_WORK/notes"
    echo "$VN_PASSED passed, $VN_FAILED failed"
    [ "$VN_FAILED" -eq 0 ] && [ "$VN_PASSED" -gt 0 ]
}

vn_wine_setup() {
    # Scratch files and notes; a second prefix in the same run keeps them.
    [ -n "${VN_WINE_WORK:-}" ] || VN_WINE_WORK=$(mktemp -d "${TMPDIR:-/tmp}/vn-wine-work.XXXXXX") || return 1
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
