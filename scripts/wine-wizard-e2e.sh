#!/usr/bin/env bash
# End-to-end checks of the install wizard's real window under Wine and Xvfb:
# the x86_64 installer from the win64 demo set-up folder runs in a fresh
# prefix while build/win64/bin/wizard_driver.exe works its window from
# outside, as a person would. Builds nothing: build the win64 preset first.
# Prints one line per case and "N passed, N failed"; exits 1 when a case
# failed or nothing could run.
set -u

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
SETUP="$root/build/win64/setup"
DRIVER="$root/build/win64/bin/wizard_driver.exe"
limit=${VN_WINE_TIMEOUT:-180}  # seconds for one installer run

# Wine hands only the low 8 bits of an exit code to Linux.
STATUS_CANCELLED=$((1602 % 256))
# Past the destination page the copy page installs: completed, with or
# without a restart to finish.
STATUSES_PAST_DESTINATION=" 0 $((3010 % 256)) "

fail_setup() { echo "wine-wizard-e2e: $*" >&2; echo "0 passed, 1 failed"; exit 1; }
command -v wine >/dev/null 2>&1 || fail_setup "wine is not installed"
[ -f "$SETUP/Tunaro Install Wizard.exe" ] || fail_setup "no installer in $SETUP (build the win64 preset)"
[ -f "$DRIVER" ] || fail_setup "no $DRIVER (build the win64 preset)"
. "$root/scripts/wine-env.sh" || fail_setup "no Wine prefix"
DRIVER_OUTPUT=$(mktemp)
CASE_OUTPUT=$(mktemp)
trap 'vn_wine_cleanup; rm -f "$DRIVER_OUTPUT" "$CASE_OUTPUT"' EXIT

INSTALLER_KEY='HKCU\Software\V. Arnel\Tunaro 33\Installer'

# start_installer NAME ARGS...: a fresh copy of the set-up folder at C:\NAME,
# the installer started there in the background ($INSTALLER_PID).
start_installer() {
    local dir="$WINEPREFIX/drive_c/$1"
    shift
    rm -rf "$dir"
    cp -r "$SETUP" "$dir" || return 1
    (cd "$dir" && exec timeout "$limit" wine "Tunaro Install Wizard.exe" "$@") >/dev/null 2>&1 &
    INSTALLER_PID=$!
}


# drive ARGS...: one driver command; its output is kept in $OUT and shown on
# failure. Wine programs here never write into a pipe: under Wine 8 a console
# program whose output is a pipe takes the whole Wine session down when it
# ends, so their output goes through a file.
drive() {
    wine "$DRIVER" --timeout 60 "$@" >"$DRIVER_OUTPUT" 2>&1
    local status=$?
    OUT=$(cat "$DRIVER_OUTPUT")
    [ "$status" = 0 ] || { echo "driver $* failed:"; echo "$OUT"; }
    return "$status"
}

# expect TEXT: the last driver output contains TEXT.
expect() {
    grep -qF -- "$1" <<<"$OUT" && return 0
    echo "expected \"$1\" in:"
    echo "$OUT"
    return 1
}

# A Custom install walked from the licence page to the end of the destination
# page: Normal install, the default folder shown, a folder in the Windows
# folder refused with its message, a good one taken and created; the wizard
# then goes on to the copy page.
case_custom_install_to_the_end_of_the_destination_page() {
    start_installer "Tunaro Setup" || return 1
    drive wait-title "Welcome" && expect 'button "Accept" [default]' && expect 'button "< Back" [disabled]' &&
        expect 'static "Please read the following license agreement carefully."' &&
        expect 'edit [read-only] "TUNARO LICENCE AGREEMENT' || return 1
    drive press "Accept" && drive wait-title "Setup Type" && expect 'radio (o) "Express"' || return 1
    drive choose "Custom" && drive press "Next >" || return 1
    drive wait-text "Portable install" && expect 'radio (o) "Normal install to a computer"' || return 1
    drive press "Next >" && drive wait-title "Destination Folder" || return 1
    expect 'static "Install to:"' && expect 'edit "C:\\Program Files\\V Arnel\\Tunaro 33\\"' &&
        expect 'button "Change..."' || return 1
    drive type "Install to:" 'C:\windows\Tunaro' && drive press "Next >" && drive answer "OK" || return 1
    expect 'box "Invalid Destination Folder"' &&
        expect 'Tunaro can not be installed in the Windows folder.\n\nPlease enter a new destination folder.' || return 1
    drive describe && expect 'header "Destination Folder"' || return 1
    drive type "Install to:" 'C:\Games\Tunaro' && drive press "Next >" && drive wait-gone || return 1
    wait "$INSTALLER_PID"
    local status=$?
    [[ "$STATUSES_PAST_DESTINATION" == *" $status "* ]] || { echo "exit status $status"; return 1; }
    [ -d "$WINEPREFIX/drive_c/Games/Tunaro" ] || { echo "the destination folder was not created"; return 1; }
    wine reg query "$INSTALLER_KEY" /v "Run Auto Install" >"$DRIVER_OUTPUT" 2>&1
    grep -q 'REG_DWORD *0x0' "$DRIVER_OUTPUT" || { echo "Run Auto Install not stored as 0:"; cat "$DRIVER_OUTPUT"; return 1; }
    return 0
}

# "Run Auto Install" stored: the caption counts down and after 30 seconds of
# real time the wizard goes on by itself in Express mode, past the
# destination page (answered) to the copy page.
case_auto_install_moves_on_after_the_countdown() {
    wine reg add "$INSTALLER_KEY" /v "Run Auto Install" /t REG_DWORD /d 1 /f >/dev/null 2>&1 || return 1
    start_installer "Tunaro Auto Setup" || return 1
    local started=$SECONDS
    drive wait-caption "Tunaro 33 - Install Wizard (Auto Install in " || return 1
    drive wait-caption "(Auto Install in 5 seconds)" || return 1
    drive no-box 1 && drive wait-gone || return 1
    local elapsed=$((SECONDS - started))
    wait "$INSTALLER_PID"
    local status=$?
    [[ "$STATUSES_PAST_DESTINATION" == *" $status "* ]] || { echo "exit status $status"; return 1; }
    [ "$elapsed" -ge 25 ] || { echo "moved on after $elapsed s"; return 1; }
    # Express installs into the default folder, or over a copy an earlier case installed.
    [ -f "$WINEPREFIX/drive_c/Program Files/V Arnel/Tunaro 33/Tunaro.exe" ] ||
        [ -f "$WINEPREFIX/drive_c/Games/Tunaro/Tunaro.exe" ] || { echo "the program was not installed"; return 1; }
    return 0
}

# Esc asks before cancelling: No keeps the wizard, Cancel and Yes end it.
case_cancel_asks_first() {
    start_installer "Tunaro Cancel Setup" || return 1
    drive wait-title "Welcome" || return 1
    drive press "Cancel" && drive answer "No" && expect 'box "Confirm Cancellation"' &&
        expect 'static "Are you sure you want to cancel Tunaro 33 installation?"' || return 1
    drive describe && expect 'header "Welcome"' || return 1
    drive press "Cancel" && drive answer "Yes" && drive wait-gone || return 1
    wait "$INSTALLER_PID"
    local status=$?
    [ "$status" = "$STATUS_CANCELLED" ] || { echo "exit status $status"; return 1; }
    return 0
}

E2E_CASES=(case_custom_install_to_the_end_of_the_destination_page case_auto_install_moves_on_after_the_countdown
           case_cancel_asks_first)
# VN_WIZARD_CASES="case_a case_b" runs only those.
[ -n "${VN_WIZARD_CASES:-}" ] && read -r -a E2E_CASES <<<"$VN_WIZARD_CASES"

passed=0
failed=0
for case_name in "${E2E_CASES[@]}"; do
    start=$SECONDS
    $case_name >"$CASE_OUTPUT" 2>&1
    status=$?
    wineserver -k >/dev/null 2>&1
    wineserver -w >/dev/null 2>&1
    if [ "$status" -eq 0 ]; then
        passed=$((passed + 1))
        echo "PASS $case_name ($((SECONDS - start)) s)"
    else
        failed=$((failed + 1))
        echo "FAIL $case_name ($((SECONDS - start)) s)"
        sed 's/^/    /' "$CASE_OUTPUT" | head -60
    fi
done
echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ] && [ "$passed" -gt 0 ]
