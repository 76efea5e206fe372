#!/usr/bin/env bash
# End-to-end install under Wine, in a fresh prefix: the x86_64 installer of
# the win64 demo set-up folder runs silently ("/Silent") and must end with
# exit code 0 (Wine passes on only the low 8 bits of the code) and leave the
# program tree, the system files, the font, the licence texts, the uninstall
# entry and the installation record. A second silent install over the first
# must also complete, leave the program working and keep the record's GUID.
#
# Builds nothing: build the win64 preset first (targets vn_installer and
# vn_demo_setup). Prints each failed vn_check and "N passed, N failed"; exits 1
# when a vn_check failed or nothing could run.
set -u

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
SETUP="$root/build/win64/setup"
limit=${VN_WINE_TIMEOUT:-180}  # seconds for one installer run

fail_setup() { echo "wine-install-e2e: $*" >&2; echo "0 passed, 1 failed"; exit 1; }
command -v wine >/dev/null 2>&1 || fail_setup "wine is not installed"
[ -f "$SETUP/Tunaro Install Wizard.exe" ] || fail_setup "no installer in $SETUP (build the win64 preset)"
. "$root/scripts/wine-env.sh" || fail_setup "no Wine prefix"
trap vn_wine_cleanup EXIT

C="$WINEPREFIX/drive_c"
# The 64-bit test build installs into the native folders (see the README).
DEST="$C/Program Files/V Arnel/Tunaro 33"
SYSTEM="$C/windows/system32"
UNINSTALL_KEY='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Tunaro 33'
RECORD_KEY='HKLM\Software\V. Arnel\Tunacore\Installations\Tunaro 33'


# install: a fresh copy of the set-up folder at C:\Tunaro Setup, the installer
# run silently there; its exit status in $STATUS.
install() {
    rm -rf "$C/Tunaro Setup"
    cp -r "$SETUP" "$C/Tunaro Setup" || fail_setup "cannot copy the set-up folder"
    (cd "$C/Tunaro Setup" && timeout "$limit" wine "Tunaro Install Wizard.exe" /Silent) >/dev/null 2>&1
    STATUS=$?
    wineserver -w >/dev/null 2>&1
}

reg_value() {  # reg_value KEY NAME: the value's data
    vn_wine_reg query "$1" /v "$2" 2>/dev/null | tr -d '\r' | awk -v n="$2" '$1 == n { print $NF }'
}

same_file() { cmp -s "$1" "$2"; }
status_is() { [ "$STATUS" = "$1" ]; }
nonempty() { [ -n "$1" ]; }

install
vn_check "first silent install exits with 0 (got $STATUS)" status_is 0
# Start-up prepares the launcher inside the set-up folder before copying, so
# the program tree is compared with the payload as the installer left it.
PAYLOAD="$C/Tunaro Setup"
for name in "Tunaro.exe" "Tunaro Launcher.exe" "VnTools.dll" "PackageInstaller.exe" \
            "Data/Languages/English/Language.ini" "Skins/Standard View/Graphite/main.xml"; do
    vn_check "program tree: $name" same_file "$PAYLOAD/Playmoor/$name" "$DEST/$name"
done
vn_check "program tree: the driver set-up files are removed again" test ! -e "$DEST/Drivers/VnWDMDriver.inf"
for name in VnCodecSupport.dll VnDeviceBridge.dll; do
    vn_check "system file (by version): $name" same_file "$SETUP/System/Check Version/$name" "$SYSTEM/$name"
done
for file in "$PAYLOAD/System/Always Overwrite"/*; do
    [ -f "$file" ] || continue
    vn_check "system file (always overwritten): ${file##*/}" same_file "$file" "$SYSTEM/${file##*/}"
done
vn_check "font: DejaVuSansMono.ttf" same_file "$SETUP/Fonts/DejaVuSansMono.ttf" "$C/windows/Fonts/DejaVuSansMono.ttf"
for name in License.txt License.LGPL2.1.txt License.LGPL3.txt; do
    vn_check "licence text: $name" same_file "$SETUP/$name" "$DEST/$name"
done
vn_check "uninstall entry" vn_wine_reg query "$UNINSTALL_KEY" /v UninstallString
vn_check "uninstall entry: InstallLocation" nonempty "$(reg_value "$UNINSTALL_KEY" InstallLocation)"
guid=$(reg_value "$RECORD_KEY" GUID)
vn_check "installation record: GUID" nonempty "$guid"
vn_check "installation record: Version" nonempty "$(reg_value "$RECORD_KEY" Version)"

# Over the first install.
echo "old" >"$DEST/Tunaro.exe"
install
vn_check "second silent install exits with 0 (got $STATUS)" status_is 0
vn_check "second install: the program is put back" same_file "$SETUP/Playmoor/Tunaro.exe" "$DEST/Tunaro.exe"
vn_check "second install: the record keeps its GUID" [ "$(reg_value "$RECORD_KEY" GUID)" = "$guid" ]

vn_summary
