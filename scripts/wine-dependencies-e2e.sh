#!/usr/bin/env bash
# Dependency set-ups downloaded under Wine, in one fresh prefix, from a small
# HTTP server of this script (Python's http.server on 127.0.0.1): the win64
# demo set-up folder, its own copies of "d3dx943.exe" and
# "MicrosoftEdgeWebview2Setup.exe" removed and its download addresses
# pointed at the server, installs silently:
#   1. both set-ups are downloaded into its "Support\" folder and run, the
#      web view with "/silent /install", and leave their components behind;
#   2. a second install downloads and runs nothing;
#   3. a server that answers 404 gives the four-part message with the status
#      code and text, one that closes the connection halfway gives "Internet
#      error."; no partial file is left and the install goes on after each;
#   4. on Windows 7 the web view is neither checked nor downloaded.
# Message boxes are read and answered by build/win64/bin/wizard_driver.exe.
# Builds nothing: build the win64 preset first. Prints each failed check and
# "N passed, N failed"; exits 1 when a check failed or nothing could run.
set -u

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
SETUP="$root/build/win64/setup"
DRIVER="$root/build/win64/bin/wizard_driver.exe"
limit=${VN_WINE_TIMEOUT:-180}  # seconds for one installer run

fail_setup() { echo "wine-dependencies-e2e: $*" >&2; echo "0 passed, 1 failed"; exit 1; }
command -v wine >/dev/null 2>&1 || fail_setup "wine is not installed"
command -v python3 >/dev/null 2>&1 || fail_setup "python3 is not installed"
[ -f "$SETUP/Tunaro Install Wizard.exe" ] || fail_setup "no installer in $SETUP (build the win64 preset)"
[ -f "$SETUP/Support/d3dx943.exe" ] || fail_setup "no dependency set-ups in $SETUP/Support (build the win64 preset)"
[ -f "$DRIVER" ] || fail_setup "no $DRIVER (build the win64 preset)"
. "$root/scripts/wine-env.sh" || fail_setup "no Wine prefix"

WORK=$(mktemp -d)
SERVER_PID=
cleanup() {
    [ -n "$SERVER_PID" ] && kill "$SERVER_PID" 2>/dev/null && wait "$SERVER_PID" 2>/dev/null
    vn_wine_cleanup
    rm -rf "$WORK"
}
trap cleanup EXIT

# The server: the two set-ups at "/<name>"; below "/faults/", 404 for DirectX's
# and, for the web view's, a response that announces the whole file and closes
# after half of it.
mkdir -p "$WORK/files"
cp "$SETUP/Support/d3dx943.exe" "$SETUP/Support/MicrosoftEdgeWebview2Setup.exe" "$WORK/files/"
cat >"$WORK/server.py" <<'PY'
import http.server, os, sys
root, port_file, log_file = sys.argv[1:4]
class Handler(http.server.SimpleHTTPRequestHandler):
    def __init__(self, *args, **kwargs):
        super().__init__(*args, directory=root, **kwargs)
    def do_GET(self):
        with open(log_file, "a") as log:
            log.write(self.path + "\n")
        name = os.path.basename(self.path)
        if self.path.startswith("/faults/") and name == "d3dx943.exe":
            self.send_error(404, "File not found")
            return
        if self.path.startswith("/faults/"):
            data = open(os.path.join(root, name), "rb").read()
            self.send_response(200)
            self.send_header("Content-Length", str(len(data)))
            self.end_headers()
            self.wfile.write(data[: len(data) // 2])
            self.wfile.flush()
            self.close_connection = True
            return
        super().do_GET()
    def log_message(self, *args):
        pass
server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), Handler)
with open(port_file, "w") as f:
    f.write(str(server.server_address[1]))
server.serve_forever()
PY
: >"$WORK/requests.log"
python3 "$WORK/server.py" "$WORK/files" "$WORK/port" "$WORK/requests.log" &
SERVER_PID=$!
for _ in $(seq 1 50); do [ -s "$WORK/port" ] && break; sleep 0.1; done
[ -s "$WORK/port" ] || fail_setup "the HTTP server did not start"
BASE="http://127.0.0.1:$(cat "$WORK/port")"

C="$WINEPREFIX/drive_c"
SYSTEM="$C/windows/system32"  # the 64-bit test build's system folder
STARTS='HKCU\Software\V. Arnel\Demo Starts'
WEBVIEW_KEY='HKLM\SOFTWARE\Microsoft\EdgeUpdate\Clients\{F3017226-FE2A-4295-8BDF-00C3A9A7E4C5}'
OUT_FILE="$WORK/driver.out"

passed=0
failed=0
check() {  # check DESCRIPTION COMMAND...: counts the result, prints failures
    local what=$1
    shift
    if "$@" >/dev/null 2>&1; then
        passed=$((passed + 1))
    else
        failed=$((failed + 1))
        echo "FAIL $what"
    fi
}

# Neither component present: Wine's own d3dx9_43.dll and any "pv" removed.
remove_components() {
    rm -f "$SYSTEM/d3dx9_43.dll" "$C/windows/syswow64/d3dx9_43.dll"
    vn_wine_reg delete "$WEBVIEW_KEY" /f >/dev/null 2>&1
    vn_wine_reg delete "$WEBVIEW_KEY" /f /reg:32 >/dev/null 2>&1
    wineserver -w
}

# start_install PATH_PREFIX: a fresh copy of the set-up folder at C:\Tunaro
# Setup without the dependency set-ups, its addresses at $BASE$PATH_PREFIX,
# the installer started silently in the background.
start_install() {
    rm -rf "$C/Tunaro Setup"
    cp -r "$SETUP" "$C/Tunaro Setup" || fail_setup "cannot copy the set-up folder"
    rm -f "$C/Tunaro Setup/Support/d3dx943.exe" "$C/Tunaro Setup/Support/MicrosoftEdgeWebview2Setup.exe"
    sed -i "s#https://downloads.tunaro.example/dependencies#$BASE$1#" "$C/Tunaro Setup/Playmoor/ProductInfo.xml"
    (cd "$C/Tunaro Setup" && exec timeout "$limit" wine "Tunaro Install Wizard.exe" /Silent) >/dev/null 2>&1 &
    INSTALLER_PID=$!
}
finish_install() {
    wait "$INSTALLER_PID"
    STATUS=$?
    wineserver -w
}
# check_status WHAT CODE: the installer's exit status; when it differs, the
# boxes, errors and the end of the installer's log show why.
check_status() {
    check "$1 (got $STATUS)" status_is "$2"
    status_is "$2" && return
    find "$C/users" -name "Tunaro Install Wizard.log" -exec grep -hE "MessageBox|rror|exit|Finish \\(result" {} + |
        tail -n 20 | sed 's/^/    log: /'
}
# answer_box: the next message box, printed into $BOX and answered with OK.
answer_box() {
    vn_drive "$OUT_FILE" 120 answer OK >/dev/null
    BOX=$(tr -d '\r' <"$OUT_FILE" | sed -n 's/^  static "\(.*\)"$/\1/p')
    [ -n "$BOX" ] || BOX=$(tr -d '\r' <"$OUT_FILE")
}

requests() { wc -l <"$WORK/requests.log" | tr -d ' '; }
starts() {  # starts PROGRAM: its "Start Count" (0 when it never ran)
    local count
    count=$(vn_wine_reg query "$STARTS\\$1" /v "Start Count" 2>/dev/null | tr -d '\r' | awk '$1 == "Start" { print $NF }')
    echo $((${count:-0}))
}
command_line() {
    vn_wine_reg query "$STARTS\\$1" /v "Command Line" 2>/dev/null | tr -d '\r' |
        sed -n 's/^ *Command Line *REG_SZ *//p'
}
status_is() { [ "$STATUS" = "$1" ]; }
logged() { grep -qx -- "$1" "$WORK/requests.log"; }

# 1. First install: both downloaded and run.
remove_components
start_install ""
finish_install
check_status "first install exits with 0" 0
check "d3dx943.exe was requested" logged "/d3dx943.exe"
check "MicrosoftEdgeWebview2Setup.exe was requested" logged "/MicrosoftEdgeWebview2Setup.exe"
for name in d3dx943.exe MicrosoftEdgeWebview2Setup.exe; do
    check "$name downloaded into the support folder" cmp -s "$WORK/files/$name" "$C/Tunaro Setup/Support/$name"
    count=$(starts "$name")
    check "$name ran once (got $count)" [ "$count" = 1 ]
done
check "the web view set-up got \"/silent /install\" (got \"$(command_line MicrosoftEdgeWebview2Setup.exe)\")" \
    [ "$(command_line MicrosoftEdgeWebview2Setup.exe)" = "/silent /install" ]
check "d3dx9_43.dll left in the system folder" test -f "$SYSTEM/d3dx9_43.dll"
check "the web view's pv left behind" vn_wine_reg query "$WEBVIEW_KEY" /v pv /reg:32

# 2. Second install: the components are there, nothing is fetched or run.
before=$(requests)
start_install ""
finish_install
check_status "second install exits with 0" 0
check "second install downloads nothing ($(($(requests) - before)) requests)" [ "$(requests)" = "$before" ]
check "second install runs no set-up" [ "$(starts d3dx943.exe)$(starts MicrosoftEdgeWebview2Setup.exe)" = 11 ]

# 3. Failed downloads, one install: DirectX's address answers 404 (the
# four-part message with the status code and text), the web view's closes
# the connection halfway ("Internet error."); neither leaves a file behind,
# and the install goes on after each message.
remove_components
start_install "/faults"
answer_box
check "404: the message names the address, the server line and the status (got \"$BOX\")" \
    [ "$BOX" = 'Failed to download from \n'"$BASE/faults/d3dx943.exe"'\nServer returned\n404 File not found.' ]
answer_box
check "halfway: the message says Internet error (got \"$BOX\")" \
    [ "$BOX" = 'Failed to download from \n'"$BASE/faults/MicrosoftEdgeWebview2Setup.exe"'\nInternet error.' ]
finish_install
check_status "failed downloads: the install completes" 0
for name in d3dx943.exe MicrosoftEdgeWebview2Setup.exe; do
    check "failed downloads: no file or partial file $name" test ! -e "$C/Tunaro Setup/Support/$name"
done
check "failed downloads: both were asked for" \
    [ "$(tail -n 2 "$WORK/requests.log" | tr '\n' ' ')" = "/faults/d3dx943.exe /faults/MicrosoftEdgeWebview2Setup.exe " ]

# 4. Windows 7: DirectX is fetched, the web view is not even looked at.
winecfg -v win7 >/dev/null 2>&1
wineserver -w
remove_components
before=$(requests)
webview_starts=$(starts MicrosoftEdgeWebview2Setup.exe)
start_install ""
finish_install
check_status "Windows 7: install exits with 0" 0
check "Windows 7: only DirectX is downloaded" [ "$(tail -n +$((before + 1)) "$WORK/requests.log" | tr '\n' ' ')" = "/d3dx943.exe " ]
check "Windows 7: the web view set-up does not run" [ "$(starts MicrosoftEdgeWebview2Setup.exe)" = "$webview_starts" ]

echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
