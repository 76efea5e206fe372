#!/usr/bin/env bash
# End-to-end checks of the install wizard's real window under Wine and Xvfb:
# the x86_64 installer from the win64 demo set-up folder runs in a fresh
# prefix while build/win64/bin/wizard_driver.exe works its window from
# outside, as a person would. Builds nothing: build the win64 preset first.
# The cases share the prefix and run in order: the later ones install over
# the first one's install.
# Prints one line per case and "N passed, N failed"; exits 1 when a case
# failed or nothing could run.
set -u

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
SETUP="$root/build/win64/setup"
DRIVER="$root/build/win64/bin/wizard_driver.exe"
READ_LINK="$root/build/win64/bin/read_link.exe"
HOLD_OPEN="$root/build/win64/bin/holdopen.exe"
limit=${VN_WINE_TIMEOUT:-180}  # seconds for one installer run

# Wine hands only the low 8 bits of an exit code to Linux.
STATUS_CANCELLED=$((1602 % 256))
# Past the destination page the copy page installs: completed, with or
# without a restart to finish.
STATUSES_PAST_DESTINATION=" 0 $((3010 % 256)) "

fail_setup() { echo "wine-wizard-e2e: $*" >&2; echo "0 passed, 1 failed"; exit 1; }
command -v wine >/dev/null 2>&1 || fail_setup "wine is not installed"
[ -f "$SETUP/Tunaro Install Wizard.exe" ] || fail_setup "no installer in $SETUP (build the win64 preset)"
for program in "$DRIVER" "$READ_LINK" "$HOLD_OPEN"; do
    [ -f "$program" ] || fail_setup "no $program (build the win64 preset)"
done
. "$root/scripts/wine-env.sh" || fail_setup "no Wine prefix"
DRIVER_OUTPUT=$(mktemp)
trap 'vn_wine_cleanup; rm -f "$DRIVER_OUTPUT" "$DRIVER_OUTPUT.expected"' EXIT

INSTALLER_KEY='HKCU\Software\V. Arnel\Tunaro 33\Installer'
FINALIZE_KEY="$INSTALLER_KEY\Finalize"
RUNONCE_KEY='HKCU\Software\Microsoft\Windows\CurrentVersion\RunOnce'
DESTINATION="$WINEPREFIX/drive_c/Games/Tunaro"
STATUS_RESTART_NEEDED=$((3010 % 256))

# start_installer NAME ARGS...: a fresh copy of the set-up folder at C:\NAME,
# the installer started there in the background ($INSTALLER_PID).
start_installer() {
    local dir="$WINEPREFIX/drive_c/$1"
    shift
    rm -rf "$dir"
    cp -r "$SETUP" "$dir" || return 1
    # A plug-in library of the demo's own kind, which registers itself.
    mkdir -p "$dir/Playmoor/Plugins/General" && cp "$SETUP/Playmoor/VnImage.dll" "$dir/Playmoor/Plugins/General/VnLyrics.dll" ||
        return 1
    (cd "$dir" && exec timeout "$limit" wine "Tunaro Install Wizard.exe" "$@") >/dev/null 2>&1 &
    INSTALLER_PID=$!
}


# drive ARGS...: one driver command (vn_drive).
drive() { vn_drive "$DRIVER_OUTPUT" 60 "$@"; }

# expect TEXT: the last driver output contains TEXT.
expect() {
    grep -qF -- "$1" <<<"$OUT" && return 0
    echo "expected \"$1\" in:"
    echo "$OUT"
    return 1
}

# A Custom install walked from the licence page to the end: Normal install,
# the default folder shown, a folder in the Windows folder refused with its
# message, a good one taken; after copying the shortcuts page (no Quick
# Launch box on Windows 10) and the finish page offering the program. The run
# request's bytes, and the links loaded back through IShellLinkW.
case_custom_install_to_the_end() {
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
    drive type "Install to:" 'C:\Games\Tunaro' && drive press "Next >" || return 1
    # Past the copy page: file associations, shortcuts, finish.
    drive wait-title "File Associations" && drive press "Next >" || return 1
    drive wait-title "Create Shortcuts" && expect 'check [x] "Create Start Menu shortcuts"' &&
        expect 'check [x] "Create a desktop shortcut"' || return 1
    ! grep -q "Quick Launch" <<<"$OUT" || { echo "a Quick Launch box on Windows 10:"; echo "$OUT"; return 1; }
    drive press "Next >" && drive wait-title "Install Complete" &&
        expect 'static "Installation successfully completed."' && expect 'check [x] "Run installed program now"' &&
        expect 'button "Finish"' || return 1
    ! grep -q "Restart Windows now" <<<"$OUT" || { echo "a restart offered:"; echo "$OUT"; return 1; }
    drive press "Finish" && drive wait-gone || return 1
    wait "$INSTALLER_PID"
    local status=$?
    [ "$status" = 0 ] || { echo "exit status $status"; return 1; }
    [ -f "$DESTINATION/Tunaro.exe" ] || { echo "the program was not installed"; return 1; }
    vn_wine_reg query "$INSTALLER_KEY" /v "Run Auto Install" >"$DRIVER_OUTPUT" 2>&1
    grep -q 'REG_DWORD *0x0' "$DRIVER_OUTPUT" || { echo "Run Auto Install not stored as 0:"; cat "$DRIVER_OUTPUT"; return 1; }
    # The run request: UTF-16LE with its mark, the marker line, the program, no line end.
    printf 'VNFI0001\r\nC:\\Games\\Tunaro\\Tunaro.exe' | iconv -f UTF-8 -t UTF-16LE | { printf '\xff\xfe'; cat; } \
        >"$DRIVER_OUTPUT.expected"
    cmp "$WINEPREFIX/drive_c/Tunaro Setup/Finish.txt" "$DRIVER_OUTPUT.expected" ||
        { echo "Finish.txt:"; od -c "$WINEPREFIX/drive_c/Tunaro Setup/Finish.txt" | head; return 1; }
    # The links, loaded through IShellLinkW where Windows keeps them.
    local user programs
    user=$(ls "$WINEPREFIX/drive_c/users" | grep -v '^Public$' | head -n 1)
    programs="C:\\users\\$user\\AppData\\Roaming\\Microsoft\\Windows\\Start Menu\\Programs\\Tunaro 33"
    check_link "$programs\Tunaro 33.lnk" 'C:\Games\Tunaro\Tunaro.exe' "" 'C:\Games\Tunaro\Data\Default Art\Application.ico,0' &&
        check_link "$programs\Media Server.lnk" 'C:\Games\Tunaro\Tunaro.exe' "/MediaServer" \
            'C:\Games\Tunaro\Data\Default Art\Server.ico,0' &&
        check_link "$programs\Uninstall Tunaro 33.lnk" 'C:\Games\Tunaro\VnMediaUninstall.exe' "" "" &&
        check_link "C:\\users\\$user\\Desktop\\Tunaro 33.lnk" 'C:\Games\Tunaro\Tunaro.exe' "" \
            'C:\Games\Tunaro\Data\Default Art\application.ico,0'
}

# check_link LINK TARGET ARGUMENTS ICON: read_link.exe loads the link and
# finds that target, those arguments and that icon ("path,index"; empty: any).
check_link() {
    wine "$READ_LINK" "$1" >"$DRIVER_OUTPUT" 2>&1 || { echo "cannot load $1:"; cat "$DRIVER_OUTPUT"; return 1; }
    local read
    read=$(tr -d '\r' <"$DRIVER_OUTPUT")
    grep -qxF "target=$2" <<<"$read" && grep -qxF "arguments=$3" <<<"$read" &&
        { [ -z "$4" ] || grep -qxF "icon=$4" <<<"$read"; } && return 0
    echo "link $1 holds:"
    echo "$read"
    return 1
}

# hold_open FILE: holdopen.exe keeps FILE (a path below the destination) open
# without sharing, until the case ends (wineserver -k).
hold_open() {
    local ready="$WINEPREFIX/drive_c/held-$RANDOM"
    wine "$HOLD_OPEN" "C:\\Games\\Tunaro\\$1" "C:\\${ready##*/}" >/dev/null 2>&1 &
    local tries
    for tries in $(seq 1 100); do
        [ -f "$ready" ] && return 0
        sleep 0.2
    done
    echo "holdopen did not take $1"
    return 1
}

# value KEY NAME: the data of a registry value ("" when absent).
value() {
    vn_wine_reg query "$1" /v "$2" >"$DRIVER_OUTPUT" 2>&1 || { echo ""; return; }
    tr -d '\r' <"$DRIVER_OUTPUT" | grep -F "    $2    " | sed -E 's/^ +[^ ].*    REG_[A-Z_]+    //'
}

# The program and a plug-in library in use while the first install is
# installed again: only "Restart Windows now" with its explanation; Cancel on
# "Confirm Restart" keeps the page; the installer ends with 3010. Then, as
# Windows at the next logon: the pending renames (`wineboot -r`) and the
# RunOnce command: the files are in place, the list is gone, the library
# registered itself.
case_program_in_use_finishes_after_the_restart() {
    cp "$SETUP/Playmoor/VnImage.dll" "$DESTINATION/Plugins/General/VnLyrics.dll" 2>/dev/null ||
        { mkdir -p "$DESTINATION/Plugins/General" && cp "$SETUP/Playmoor/VnImage.dll" "$DESTINATION/Plugins/General/VnLyrics.dll"; } || return 1
    echo "an older program" >"$DESTINATION/Tunaro.exe"
    hold_open 'Tunaro.exe' && hold_open 'Plugins\General\VnLyrics.dll' || return 1
    start_installer "Tunaro Locked Setup" || return 1
    drive wait-title "Welcome" && drive press "Accept" && drive wait-title "Setup Type" && drive choose "Custom" &&
        drive press "Next >" && drive wait-text "Portable install" && drive press "Next >" || return 1
    drive wait-title "File Associations" && drive press "Next >" && drive wait-title "Create Shortcuts" &&
        drive press "Next >" && drive wait-title "Install Complete" || return 1
    expect 'check [x] "Restart Windows now"' &&
        expect 'static "Install Wizard could not copy all files.  Windows must be restarted to complete setup."' || return 1
    ! grep -q "Run installed program now" <<<"$OUT" || { echo "the program offered:"; echo "$OUT"; return 1; }
    drive press "Finish" && drive answer "Cancel" && expect 'box "Confirm Restart"' || return 1
    drive describe && expect 'header "Install Complete"' || return 1
    drive tick "Restart Windows now" off && drive press "Finish" && drive wait-gone || return 1
    wait "$INSTALLER_PID"
    local status=$?
    [ "$status" = "$STATUS_RESTART_NEEDED" ] || { echo "exit status $status"; return 1; }
    local command
    command=$(value "$RUNONCE_KEY" "Install Wizard Completion")
    [ "$command" = '"C:\Games\Tunaro\PackageInstaller.exe" "/FinishInstall"' ] || { echo "RunOnce: $command"; return 1; }
    [ "$(value "$FINALIZE_KEY" "Register File (0)")" = '_REGISTERFILE|C:\Games\Tunaro\Plugins\General\VnLyrics.dll' ] ||
        { echo "no Register File (0)"; return 1; }
    # The restart: the holders end, Windows renames, then the logon's command.
    vn_wine_reg delete 'HKCU\Software\V. Arnel\Demo Registration' /v VnLyrics.dll /f >/dev/null 2>&1
    wineserver -k >/dev/null 2>&1
    wineserver -w >/dev/null 2>&1
    wineboot -r >/dev/null 2>&1
    wineserver -w >/dev/null 2>&1
    cmp -s "$DESTINATION/Tunaro.exe" "$SETUP/Playmoor/Tunaro.exe" || { echo "the program was not replaced"; return 1; }
    eval "set -- $command"
    wine "$@" >/dev/null 2>&1
    wineserver -w >/dev/null 2>&1
    if vn_wine_reg query "$FINALIZE_KEY" >"$DRIVER_OUTPUT" 2>&1; then
        echo "the list is still there:"; cat "$DRIVER_OUTPUT"; return 1
    fi
    [ "$(value 'HKCU\Software\V. Arnel\Demo Registration' 'VnLyrics.dll')" = 'C:\Games\Tunaro\Plugins\General\VnLyrics.dll' ] ||
        { echo "VnLyrics.dll did not register itself"; return 1; }
    return 0
}

# A silent install with a library in use: the list and the RunOnce command
# are written, no restart is attempted, no run request is left; exit 3010.
case_silent_install_leaves_the_list_for_the_restart() {
    hold_open 'Plugins\General\VnLyrics.dll' || return 1
    start_installer "Tunaro Silent Setup" /Silent || return 1
    wait "$INSTALLER_PID"
    local status=$?
    [ "$status" = "$STATUS_RESTART_NEEDED" ] || { echo "exit status $status"; return 1; }
    [ -n "$(value "$RUNONCE_KEY" "Install Wizard Completion")" ] || { echo "no RunOnce command"; return 1; }
    [ -n "$(value "$FINALIZE_KEY" "Register File (0)")" ] || { echo "no Register File (0)"; return 1; }
    [ ! -e "$WINEPREFIX/drive_c/Tunaro Silent Setup/Finish.txt" ] || { echo "a run request"; return 1; }
    local log
    log=$(find "$WINEPREFIX/drive_c/users" -name 'Tunaro Install Wizard*.log' | head -n 1)
    [ -n "$log" ] && ! grep -aq "CSystemShutdown" "$log" || { echo "a restart was attempted (log $log)"; return 1; }
    return 0
}

# "Run Auto Install" stored: the caption counts down and after 30 seconds of
# real time the wizard goes on by itself in Express mode, past the
# destination page (answered) to the copy page.
case_auto_install_moves_on_after_the_countdown() {
    vn_wine_reg add "$INSTALLER_KEY" /v "Run Auto Install" /t REG_DWORD /d 1 /f >/dev/null 2>&1 || return 1
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

E2E_CASES=(case_custom_install_to_the_end case_auto_install_moves_on_after_the_countdown
           case_cancel_asks_first case_program_in_use_finishes_after_the_restart
           case_silent_install_leaves_the_list_for_the_restart)
# VN_WIZARD_CASES="case_a case_b" runs only those.
[ -n "${VN_WIZARD_CASES:-}" ] && read -r -a E2E_CASES <<<"$VN_WIZARD_CASES"

vn_run_cases "${E2E_CASES[@]}"
vn_summary
