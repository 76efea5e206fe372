#!/usr/bin/env bash
# Settings migration under Wine, in one fresh prefix: what version 31 left
# behind (its settings tree and Run entry, imported with `reg import`; its
# data folder and install folder as files) is carried into version 33 by a
# silent install of the win64 demo set-up folder. `reg query` and the file
# tree must show the migrated settings, with both text substitutions, the
# product's own "/Boot" entry in place of the earlier one, binary data
# unchanged, and the demo set-up's default library with "Clone.flg".
#
# Builds nothing: build the win64 preset first (targets vn_installer and
# vn_demo_setup). Prints each failed vn_check and "N passed, N failed"; exits 1
# when a vn_check failed or nothing could run.
set -u

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
SETUP="$root/build/win64/setup"
limit=${VN_WINE_TIMEOUT:-180}

fail_setup() { echo "wine-settings-e2e: $*" >&2; echo "0 passed, 1 failed"; exit 1; }
command -v wine >/dev/null 2>&1 || fail_setup "wine is not installed"
[ -f "$SETUP/Tunaro Install Wizard.exe" ] || fail_setup "no installer in $SETUP (build the win64 preset)"
. "$root/scripts/wine-env.sh" || fail_setup "no Wine prefix"
trap vn_wine_cleanup EXIT

C="$WINEPREFIX/drive_c"
DEST_WIN='C:\Program Files\V Arnel\Tunaro 33\'
APPDATA_WIN=$(vn_wine_text wine cmd /c 'echo %APPDATA%')
APPDATA=$(winepath -u "$APPDATA_WIN" 2>/dev/null)
[ -n "$APPDATA" ] || fail_setup "no application-data folder in the prefix"
OLD="$APPDATA/V. Arnel/Tunaro 31"
NEW="$APPDATA/V. Arnel/Tunaro 33"
KEY31='HKCU\Software\V. Arnel\Tunaro 31'
KEY33='HKCU\Software\V. Arnel\Tunaro 33'
RUN='HKCU\Software\Microsoft\Windows\CurrentVersion\Run'
reg_value() {  # reg_value KEY NAME: the value's data as reg query shows it
    vn_wine_reg query "$1" /v "$2" 2>/dev/null | tr -d '\r' |
        awk -v n="$2" 'index($0, "    " n "    ") == 1 { sub(/^    .*    REG_[A-Z_]+    /, ""); print }'
}
empty() { [ -z "$1" ]; }

# What version 31 left behind.
cat >"$C/earlier.reg" <<'REG'
Windows Registry Editor Version 5.00

[HKEY_CURRENT_USER\Software\V. Arnel\Tunaro 31\Properties]
"Skin Folder"="C:\\Old Player\\Skins\\Tunaro 31\\"
"File Location - Image File Location"="[App Data Path]Cover Art\\"
"General - Windows Startup Run Mode"=dword:00000002
"Equalizer"=hex:00,01,02,ff
"Volume"=dword:00000046

[HKEY_CURRENT_USER\Software\V. Arnel\Tunaro 31\Installer]
"Install Directory"="C:\\Old Player\\"

[HKEY_CURRENT_USER\Software\V. Arnel\Tunaro 31\Dependencies]
"Runtime"=dword:00000001

[HKEY_CURRENT_USER\Software\V. Arnel\Tunaro 31\Views\Installer]
"Layout"="Tree"

[HKEY_CURRENT_USER\Software\Microsoft\Windows\CurrentVersion\Run]
"Tunaro 31"="\"C:\\Old Player\\Tunaro.exe\" /Boot"
REG
vn_wine_reg import 'C:\earlier.reg' >/dev/null 2>&1 || fail_setup "reg import failed"
for file in "Library/Main.jmd" "Settings/View.ini" "Cover Art/Album.jpg" "Thumbnails/Album.jpg"; do
    mkdir -p "$OLD/$(dirname "$file")" && echo "31: $file" >"$OLD/$file"
done
for file in "Data/Custom Art/Play.png" "Skins/Own/main.xml"; do
    mkdir -p "$C/Old Player/$(dirname "$file")" && echo "31: $file" >"$C/Old Player/$file"
done
equalizer31=$(reg_value "$KEY31\\Properties" Equalizer)

rm -rf "$C/Tunaro Setup"
cp -r "$SETUP" "$C/Tunaro Setup" || fail_setup "cannot copy the set-up folder"
(cd "$C/Tunaro Setup" && timeout "$limit" wine "Tunaro Install Wizard.exe" /Silent) >/dev/null 2>&1
status=$?
wineserver -w >/dev/null 2>&1
vn_check "silent install exits with 0 (got $status)" equals "$status" 0

vn_check "text with both substitutions" equals "$(reg_value "$KEY33\\Properties" "Skin Folder")" \
    "${DEST_WIN}Skins\\Tunaro 33\\"
vn_check "binary value unchanged" equals "$(reg_value "$KEY33\\Properties" Equalizer)" "$equalizer31"
vn_check "number copied" equals "$(reg_value "$KEY33\\Properties" Volume)" "0x46"
vn_check "deeper Installer key copied" equals "$(reg_value "$KEY33\\Views\\Installer" Layout)" "Tree"
# reg prints its "unable to find" answer on standard output: its exit code tells.
key_missing() { ! vn_wine_reg query "$1" >/dev/null 2>&1; }
vn_check "top-level Dependencies not copied" key_missing "$KEY33\\Dependencies"
vn_check "Run entry is the product's own" equals "$(reg_value "$RUN" "Tunaro 33")" "\"${DEST_WIN}Tunaro.exe\" /Boot"
vn_check "earlier Run entry gone" empty "$(reg_value "$RUN" "Tunaro 31")"
vn_check "earlier run mode gone" empty "$(reg_value "$KEY31\\Properties" "General - Windows Startup Run Mode")"
vn_check "earlier settings otherwise kept" equals "$(reg_value "$KEY31\\Properties" "Skin Folder")" \
    'C:\Old Player\Skins\Tunaro 31\'
for file in "Settings/View.ini" "Cover Art/Album.jpg" "Thumbnails/Album.jpg"; do
    vn_check "data folder: $file" cmp -s "$OLD/$file" "$NEW/$file"
done
DEST="$C/Program Files/V Arnel/Tunaro 33"
for file in "Data/Custom Art/Play.png" "Skins/Own/main.xml"; do
    vn_check "install folder: $file" cmp -s "$C/Old Player/$file" "$DEST/$file"
done
vn_check "default library marked for cloning" test -f "$NEW/Library/Clone.flg"
vn_check "shared settings file" cmp -s "$SETUP/Library/Settings/TV Shared Settings.ini" \
    "$NEW/Settings/TV Shared Settings.ini"

vn_summary
