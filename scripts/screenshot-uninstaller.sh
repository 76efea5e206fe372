#!/usr/bin/env bash
# Takes screenshots of the uninstaller's window under Wine and Xvfb, at 96
# and at 144 DPI: the question, and the end with its summary (a file of the
# user's that stays). The installation is made by hand from the win64 set-up
# (the program files, the product file and a record naming them), so no
# install runs. Pictures go to build/screenshots/uninstaller-<dpi>dpi-*.png.
# Builds nothing: build the win64 preset's vn_demo_setup and wizard_driver first.
set -u

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
payload="$root/build/win64/setup/Playmoor"
driver="$root/build/win64/bin/wizard_driver.exe"
out="$root/build/screenshots"
for needed in "$payload/VnMediaUninstall.exe" "$driver"; do
    [ -f "$needed" ] || { echo "screenshot-uninstaller: $needed is missing" >&2; exit 1; }
done
command -v import >/dev/null 2>&1 || { echo "screenshot-uninstaller: imagemagick's import is missing" >&2; exit 1; }
mkdir -p "$out"
: >"$out/uninstaller-driver.log"

settle=${VN_SCREENSHOT_SETTLE:-2}  # seconds from the window being there to the picture
# drive COMMAND...: the driver, inside the same Wine desktop as the window
# (outside it the window cannot be found); its report goes to the log.
drive() {
    timeout 90 wine explorer /desktop=uninstaller,800x600 'C:\wizard_driver.exe' --timeout 60 --window " Uninstall" "$@" \
        >>"$out/uninstaller-driver.log" 2>&1
}

# install: the program's folder with a record of what "the install" made.
install() {
    local folder="$WINEPREFIX/drive_c/Program Files/V Arnel/Tunaro 33" windows='C:\Program Files\V Arnel\Tunaro 33'
    mkdir -p "$folder"
    cp "$payload/VnMediaUninstall.exe" "$payload/ProductInfo.xml" "$payload/Tunaro.exe" "$payload/VnTools.dll" "$folder/"
    {
        printf 'VnInstallRecord\t1\ninstall\t33.0.44\nfolder\t%s\n' "$windows"
        for file in VnMediaUninstall.exe ProductInfo.xml Tunaro.exe VnTools.dll; do
            printf 'file\t%s\\%s\tcreated\t\n' "$windows" "$file"
        done
    } >"$folder/VnMediaUninstall.dat"
    echo "#EXTM3U" >"$folder/my playlist.m3u"
    cp "$driver" "$WINEPREFIX/drive_c/"
}

shot() { import -window root "$out/$1.png" && echo "$out/$1.png"; }

# pictures DPI: a fresh prefix and X server of our own (whatever DISPLAY
# says) at that DPI, the question and the end.
pictures() {
    local dpi=$1 status=0
    unset DISPLAY
    . "$root/scripts/wine-env.sh" || return 1
    trap vn_wine_cleanup EXIT
    vn_wine_reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$dpi" /f >/dev/null 2>&1 || status=1
    wineserver -k  # every Wine process starts again with the new DPI
    wineserver -w
    install
    # A Wine desktop window: without a window manager only it draws captions.
    (cd "$WINEPREFIX/drive_c/Program Files/V Arnel/Tunaro 33" &&
        timeout 400 wine explorer /desktop=uninstaller,800x600 'C:\Program Files\V Arnel\Tunaro 33\VnMediaUninstall.exe') \
        >/dev/null 2>&1 &
    local pid=$!
    drive wait-caption " Uninstall"
    sleep "$settle"
    shot "uninstaller-${dpi}dpi-question" || status=1
    drive press "Uninstall"
    drive wait-text "Close"
    sleep "$settle"
    shot "uninstaller-${dpi}dpi-done" || status=1
    drive press "Close"
    wait "$pid"
    return "$status"
}

status=0
for dpi in ${VN_SCREENSHOT_DPIS:-96 144}; do
    (pictures "$dpi") || status=1
done
exit "$status"
