#!/usr/bin/env bash
# Pictures of every page of the install wizard, and of its message boxes, taken under Wine and Xvfb at 96 and at 144 DPI into
# build/screenshots/wizard/ (PNG files, not committed). The x86_64 installer
# from the win64 demo set-up folder is worked through
# build/win64/bin/wizard_driver.exe. Builds nothing: build the win64 preset
# first. Exits 1 when a picture could not be taken.
set -u

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
SETUP="$root/build/win64/setup"
DRIVER="$root/build/win64/bin/wizard_driver.exe"
out="$root/build/screenshots/wizard"

fail() { echo "capture-wizard-pages: $*" >&2; exit 1; }
command -v wine >/dev/null 2>&1 || fail "wine is not installed"
command -v convert >/dev/null 2>&1 || fail "imagemagick's convert is missing"
[ -f "$SETUP/Tunaro Install Wizard.exe" ] || fail "no installer in $SETUP (build the win64 preset)"
[ -f "$DRIVER" ] || fail "no $DRIVER (build the win64 preset)"
mkdir -p "$out"

# A private X server of our own, whatever DISPLAY says: the pictures must show
# only the wizard.
unset DISPLAY
. "$root/scripts/wine-env.sh" || fail "no Wine prefix"
DRIVER_OUTPUT=$(mktemp)
trap 'vn_wine_cleanup; rm -f "$DRIVER_OUTPUT"' EXIT

# drive ARGS...: one driver command (vn_drive), a failure told on stderr.
drive() { vn_drive "$DRIVER_OUTPUT" 60 "$@" >&2; }

# shot NAME: the wizard (and a message box over it) as $out/NAME.png.
shot() {
    local bmp="$WINEPREFIX/drive_c/shot.bmp"
    drive capture 'C:\shot.bmp' && convert "$bmp" "$out/$1.png" && rm -f "$bmp" && echo "$out/$1.png"
}

# One walk through the pages at the DPI of the Wine prefix.
walk() {
    local dpi=$1 dir="$WINEPREFIX/drive_c/Tunaro Setup"
    rm -rf "$dir"
    cp -r "$SETUP" "$dir" || return 1
    (cd "$dir" && exec timeout 300 wine "Tunaro Install Wizard.exe") >/dev/null 2>&1 &
    local installer=$!
    drive wait-title "Welcome" && shot "${dpi}dpi-1-welcome" &&
        drive press "Accept" && drive wait-title "Setup Type" && shot "${dpi}dpi-2-setup-type" &&
        drive choose "Custom" && drive press "Next >" && drive wait-text "Portable install" &&
        shot "${dpi}dpi-3-normal-or-portable" &&
        drive press "Next >" && drive wait-title "Destination Folder" && shot "${dpi}dpi-4-destination" &&
        drive type "Install to:" 'C:\Windows\Tunaro' && drive press "Next >" && drive wait-box &&
        shot "${dpi}dpi-5-destination-refused" && drive answer "OK" &&
        drive press "Cancel" && drive wait-box && shot "${dpi}dpi-6-confirm-cancel" &&
        drive answer "No" && drive type "Install to:" 'C:\Games\Tunaro' && drive press "Next >" &&
        drive wait-title "File Associations" && shot "${dpi}dpi-6b-file-associations" && drive press "Next >" &&
        drive wait-title "Create Shortcuts" && shot "${dpi}dpi-7-shortcuts" && drive press "Next >" &&
        drive wait-title "Install Complete" && shot "${dpi}dpi-8-finish" && drive press "Finish" && drive wait-gone
    local status=$?
    wait "$installer"
    return "$status"
}

# The Internet Explorer warning, a box with buttons of its own, before the
# wizard: the product asks for a version newer than any.
own_buttons() {
    local dpi=$1 dir="$WINEPREFIX/drive_c/Tunaro Setup Old IE"
    rm -rf "$dir"
    cp -r "$SETUP" "$dir" || return 1
    sed -i 's|<MinIEVersion>[^<]*</MinIEVersion>|<MinIEVersion>99.0.0.0</MinIEVersion>|' "$dir/Playmoor/ProductInfo.xml"
    (cd "$dir" && exec timeout 120 wine "Tunaro Install Wizard.exe") >/dev/null 2>&1 &
    local installer=$!
    drive wait-box && shot "${dpi}dpi-0-own-buttons" && drive key-box "Esc"
    local status=$?
    wait "$installer"
    return "$status"
}

status=0
for dpi in 96 144; do
    vn_wine_reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$dpi" /f >/dev/null 2>&1 || status=1
    wineserver -w
    own_buttons "$dpi" || status=1
    walk "$dpi" || status=1
    wineserver -k >/dev/null 2>&1
    wineserver -w >/dev/null 2>&1
    # Forget the install, so that the next walk is a first install again.
    for key in 'HKLM\Software\V. Arnel' 'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Tunaro 33' \
               'HKCU\Software\V. Arnel'; do
        vn_wine_reg delete "$key" /f >/dev/null 2>&1
    done
    rm -rf "$WINEPREFIX/drive_c/Games"
done
exit "$status"
