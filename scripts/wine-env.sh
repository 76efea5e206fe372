# Sourced by the scripts that run Windows test programs under Wine:
#   . scripts/wine-env.sh   then   wine prog.exe ...   then   vn_wine_cleanup
# Every run gets a fresh, throw-away Wine prefix, so no run sees another's
# registry or files. Set VN_WINE_VERSION (default win10; empty to skip) to
# choose the Windows version Wine reports.

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
# shell need one, the tests do not show any window.
vn_wine_start_xvfb() {
    [ -n "${DISPLAY:-}" ] && return 0
    command -v Xvfb >/dev/null 2>&1 || return 0
    local n
    for n in $(seq 90 150); do
        [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ] && continue
        Xvfb ":$n" -nolisten tcp -screen 0 1024x768x24 >/dev/null 2>&1 &
        VN_XVFB_PID=$!
        local tries
        for tries in $(seq 1 50); do
            [ -e "/tmp/.X11-unix/X$n" ] && break
            sleep 0.1
        done
        export DISPLAY=":$n"
        return 0
    done
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
