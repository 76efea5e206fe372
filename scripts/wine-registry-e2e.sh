#!/usr/bin/env bash
# End-to-end check of the uninstall entry and the installation record under
# Wine: build/win64/bin/registry_e2e.exe (tests/e2e/registry_e2e.cpp) runs
# from a copy of the win64 demo set-up folder in a fresh Wine prefix, writes
# both records through the installer's own code, and `reg query` reads
# every value back. A second run must find the first install and keep its
# GUID; a portable run writes only "Install Directory".
#
# Wine keeps a key's values sorted by name, so the order in which they are
# written is checked by the unit tests on the simulated machine, not here.
#
# Builds nothing: build the win64 preset first (targets registry_e2e and
# VnTools, and the demo set-up folder). Prints each failed check and
# "N passed, N failed"; exits 1 when a check failed or nothing could run.
set -u

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
SETUP="$root/build/win64/setup"
PROGRAM="$root/build/win64/bin/registry_e2e.exe"
limit=${VN_WINE_TIMEOUT:-120}

fail_setup() { echo "wine-registry-e2e: $*" >&2; echo "0 passed, 1 failed"; exit 1; }
command -v wine >/dev/null 2>&1 || fail_setup "wine is not installed"
[ -f "$PROGRAM" ] || fail_setup "no $PROGRAM (build the win64 preset)"
[ -f "$SETUP/Playmoor/Tunaro.exe" ] || fail_setup "no demo set-up folder in $SETUP (build the win64 preset)"
TOOLS_DLL="$SETUP/Playmoor/VnTools.dll"
[ -f "$TOOLS_DLL" ] || TOOLS_DLL="$root/build/win64/bin/VnTools.dll"
[ -f "$TOOLS_DLL" ] || fail_setup "no VnTools.dll in the set-up folder or in build/win64/bin"
. "$root/scripts/wine-env.sh" || fail_setup "no Wine prefix"
trap vn_wine_cleanup EXIT

UNINSTALL='HKLM\SOFTWARE\Microsoft\Windows\CurrentVersion\Uninstall\Tunaro 33'
INSTALLATIONS='HKLM\Software\V. Arnel\Tunacore\Installations'
RECORD="$INSTALLATIONS\\Tunaro 33"
INSTALLER='HKCU\Software\V. Arnel\Tunaro 33\Installer'
DESTINATION='C:\Program Files\Tunaro 33\'
DESTINATION_UNIX="$WINEPREFIX/drive_c/Program Files/Tunaro 33"

# "TYPE<tab>DATA" of every value of a key, one line each as "NAME<tab>TYPE<tab>DATA".
KEY_TEXT=""
read_key() {
    KEY_TEXT=$(vn_wine_reg query "$1" 2>/dev/null | tr -d '\r' |
        awk -F '    ' 'NF >= 3 && $1 == "" { data = $4; for (i = 5; i <= NF; i++) data = data "    " $i; print $2 "\t" $3 "\t" data }')
}
value_of() {  # value_of NAME: "TYPE DATA" from KEY_TEXT, or "missing"
    local line
    line=$(awk -F '\t' -v n="$1" '$1 == n { print $2 " " $3; found = 1 } END { if (!found) print "missing" }' <<<"$KEY_TEXT")
    printf '%s' "${line% }"
}
key_exists() { vn_wine_reg query "$1" >/dev/null 2>&1 && echo yes || echo no; }

run_program() {
    (cd "$WINEPREFIX/drive_c/Setup" && vn_wine_text timeout "$limit" wine registry_e2e.exe "$@")
}

# A copy of the set-up folder with the program and the tools library in it,
# and the icon the copy step would have installed.
cp -r "$SETUP" "$WINEPREFIX/drive_c/Setup" || fail_setup "cannot copy the set-up folder"
cp "$PROGRAM" "$WINEPREFIX/drive_c/Setup/" || fail_setup "cannot copy the program"
[ -f "$WINEPREFIX/drive_c/Setup/Playmoor/VnTools.dll" ] || cp "$TOOLS_DLL" "$WINEPREFIX/drive_c/Setup/Playmoor/"
mkdir -p "$DESTINATION_UNIX/Data/Default Art"
cp "$SETUP/Playmoor/Data/Default Art/application.ico" "$DESTINATION_UNIX/Data/Default Art/"

# ---- First install: destination with spaces, a distributor.
output=$(run_program 'C:\Program Files\Tunaro 33' /DistributorID Acme)
vn_check_equal "first run: nothing found" \
    "found SameVersionInstalled=0 OtherVersionInstalled=0 UninstallKeyName= InstalledVersionCurrent=0" \
    "$(head -n 1 <<<"$output")"
vn_check_equal "first run: finished" "written" "$(tail -n 1 <<<"$output")"

read_key "$UNINSTALL"
url='https://www.tunaro.example/'
vn_check_equal "uninstall DisplayName" "REG_SZ Tunaro 33" "$(value_of DisplayName)"
vn_check_equal "uninstall HelpLink" "REG_SZ $url" "$(value_of HelpLink)"
vn_check_equal "uninstall URLUpdateInfo" "REG_SZ $url" "$(value_of URLUpdateInfo)"
vn_check_equal "uninstall URLInfoAbout" "REG_SZ $url" "$(value_of URLInfoAbout)"
vn_check_equal "uninstall InstallLocation" "REG_SZ $DESTINATION" "$(value_of InstallLocation)"
vn_check_equal "uninstall Publisher" "REG_SZ Varnel, Inc." "$(value_of Publisher)"
vn_check_equal "uninstall DisplayVersion" "REG_SZ 33.0.44" "$(value_of DisplayVersion)"
vn_check_equal "uninstall DisplayIcon" "REG_SZ ${DESTINATION}Data\\Default Art\\application.ico" "$(value_of DisplayIcon)"
vn_check_equal "uninstall UninstallString (unquoted)" "REG_SZ ${DESTINATION}VnMediaUninstall.exe" "$(value_of UninstallString)"
vn_check_equal "uninstall entry has nine values" 9 "$(grep -c . <<<"$KEY_TEXT")"

read_key "$INSTALLATIONS"
vn_check_equal "Installations default value" "REG_SZ Tunaro 33" "$(value_of '(Default)')"
read_key "$RECORD"
vn_check_equal "record Path" "REG_SZ $DESTINATION" "$(value_of Path)"
vn_check_equal "record Version" "REG_SZ 33.0.44" "$(value_of Version)"
vn_check_equal "record OS Version (Windows 10)" "REG_DWORD 0x3f4" "$(value_of 'OS Version')"
vn_check_equal "record Launcher Name" "REG_SZ Tunaro Launcher.exe" "$(value_of 'Launcher Name')"
vn_check_equal "record Uninstall Key" "REG_SZ Tunaro 33" "$(value_of 'Uninstall Key')"
guid=$(value_of GUID)
vn_check_equal "record GUID is a GUID" yes \
    "$(grep -qE '^REG_SZ \{[0-9A-Fa-f]{8}(-[0-9A-Fa-f]{4}){3}-[0-9A-Fa-f]{12}\}$' <<<"$guid" && echo yes || echo "no: $guid")"
vn_check_equal "record has six values" 6 "$(grep -c . <<<"$KEY_TEXT")"

read_key "$INSTALLER"
vn_check_equal "Installer Install Directory" "REG_SZ $DESTINATION" "$(value_of 'Install Directory')"
vn_check_equal "Installer Distributor ID" "REG_SZ Acme" "$(value_of 'Distributor ID')"

# ---- Second run over it, no distributor, the program installed: the search
# finds this version, the GUID and the distributor stay.
cp "$SETUP/Playmoor/Tunaro.exe" "$DESTINATION_UNIX/"
output=$(run_program 'C:\Program Files\Tunaro 33\\')
vn_check_equal "second run: this version found, installed copy current" \
    "found SameVersionInstalled=1 OtherVersionInstalled=0 UninstallKeyName=Tunaro 33 InstalledVersionCurrent=1" \
    "$(head -n 1 <<<"$output")"
read_key "$RECORD"
vn_check_equal "second run keeps the GUID" "$guid" "$(value_of GUID)"
vn_check_equal "second run Path has one backslash" "REG_SZ $DESTINATION" "$(value_of Path)"
read_key "$INSTALLER"
vn_check_equal "second run keeps the distributor" "REG_SZ Acme" "$(value_of 'Distributor ID')"

# ---- A portable install: neither record, only "Install Directory".
vn_wine_reg delete "$UNINSTALL" /f >/dev/null 2>&1
vn_wine_reg delete "$INSTALLATIONS" /f >/dev/null 2>&1
output=$(run_program 'C:\Portable Tunaro' /Portable)
vn_check_equal "portable run: nothing searched" \
    "found SameVersionInstalled=0 OtherVersionInstalled=0 UninstallKeyName= InstalledVersionCurrent=0" \
    "$(head -n 1 <<<"$output")"
vn_check_equal "portable: no uninstall entry" no "$(key_exists "$UNINSTALL")"
vn_check_equal "portable: no installation record" no "$(key_exists "$INSTALLATIONS")"
read_key "$INSTALLER"
vn_check_equal "portable: Install Directory" 'REG_SZ C:\Portable Tunaro\' "$(value_of 'Install Directory')"

vn_summary
