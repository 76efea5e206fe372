#!/usr/bin/env bash
# The uninstall round trip under Wine, in one fresh prefix: another program
# owns ".mp3"; snapshot (files below C:\ and the registry's "Software" keys);
# a Custom install of the win64 demo set-up through the wizard (the wizard
# driver unticks ".wav" and ticks ".ogg" on the file types page); a user file
# dropped into the installation folder; a program file held open by another program; then
# "VnMediaUninstall.exe /Silent", which must end with 3010 (194 under Wine);
# the restart (wineboot -r); snapshot again. The snapshots must differ only by
# the documented leftovers (docs/uninstall-record.md), ".mp3" must be the
# other program's again, the held file gone after the restart, and the user's
# file still there in its folder. The differences found are printed.
#
# Builds nothing: build the win64 preset first (vn_installer, vn_demo_setup,
# holdopen, wizard_driver). Prints each failed check and "N passed, N failed"; exits 1 when a
# check failed or nothing could run.
set -u

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
SETUP="$root/build/win64/setup"
bin="$root/build/win64/bin"
limit=${VN_WINE_TIMEOUT:-120}

fail_setup() { echo "wine-uninstall-e2e: $*" >&2; echo "0 passed, 1 failed"; exit 1; }
command -v wine >/dev/null 2>&1 || fail_setup "wine is not installed"
[ -f "$SETUP/Tunaro Install Wizard.exe" ] || fail_setup "no installer in $SETUP (build the win64 preset)"
[ -f "$bin/holdopen.exe" ] || fail_setup "no $bin/holdopen.exe (build the win64 preset)"
[ -f "$bin/wizard_driver.exe" ] || fail_setup "no $bin/wizard_driver.exe (build the win64 preset)"
. "$root/scripts/wine-env.sh" || fail_setup "no Wine prefix"
trap vn_wine_cleanup EXIT

C="$WINEPREFIX/drive_c"
DEST="$C/Program Files/V Arnel/Tunaro 33"
work=$(mktemp -d)

# What the uninstall leaves on purpose (docs/uninstall-record.md); keys and
# folders every Windows has that a fresh Wine prefix lacks (never removed);
# Wine's own font and session bookkeeping.
LEFTOVERS='AppData/Local/Temp|AppData/Roaming/V\. Arnel|Internet Explorer(/Quick Launch)?$|'\
'file \./Program Files/V Arnel(/Tunaro 33(/my playlist\.m3u)?)?$|user \[Software\\V\. Arnel|'\
'\\EdgeUpdate|\\Wine\\|\\Fonts\]|MIME\\Database\\Content Type\]|Software\\Clients\\Media\]|'\
'Software\\RegisteredApplications\]|AutoplayHandlers(\\(Event)?Handlers)?\]'

DRIVER="$bin/wizard_driver.exe"
drive() { vn_drive "$work/drive" "${DRIVE_TIMEOUT:-60}" "$@"; }  # drive COMMAND...: the wizard driver

snapshot() {  # snapshot NAME: the file list, and the registry's "Software" keys as Wine keeps them
    wineserver -w >/dev/null 2>&1
    (cd "$C" && find . -path ./windows -prune -o -print | LC_ALL=C sort) | sed 's/^/file /' >"$work/$1.files"
    for hive in system user; do
        awk -v hive="$hive" '
            /^\[/ { key = $0; sub(/\] [0-9]+$/, "]", key); gsub(/\\\\/, "\\", key)
                    keep = key ~ /^\[Software/; if (keep) print hive " " key; next }
            /^#/ { next }
            keep && NF { print hive " " key " " $0 }' "$WINEPREFIX/$hive.reg"
    done | LC_ALL=C sort >"$work/$1.values"
}

import() {  # import TEXT: registry lines imported as a .reg file would be
    printf 'Windows Registry Editor Version 5.00\r\n\r\n%s\r\n' "$1" >"$C/import.reg"
    wine regedit /S 'C:\import.reg' >/dev/null 2>&1
    rm -f "$C/import.reg"
}

import '[HKEY_LOCAL_MACHINE\Software\Classes\.mp3]
@="Other.AssocFile.MP3"
"Content Type"="audio/mpeg"'
snapshot before

# The install through the wizard: a Custom install that unticks a default
# file type (".wav") and ticks an extra one (".ogg").
cp -r "$SETUP" "$C/Tunaro Setup" || fail_setup "cannot copy the set-up folder"
(cd "$C/Tunaro Setup" && exec timeout "$limit" wine "Tunaro Install Wizard.exe") >/dev/null 2>&1 &
installer=$!
drive wait-title "Welcome" && drive press "Accept" && drive wait-title "Setup Type" && drive choose "Custom" &&
    drive press "Next >" && drive wait-text "Portable install" && drive press "Next >" &&
    drive wait-title "Destination Folder" && drive press "Next >" && DRIVE_TIMEOUT=120 drive wait-title "File Associations" &&
    drive key-row "wav" off && drive key-row "ogg" on && drive press "Next >" && drive wait-title "Create Shortcuts" &&
    drive press "Next >" && drive wait-title "Install Complete" && drive tick "Run installed program now" off &&
    drive press "Finish" && drive wait-gone
wait "$installer"
status=$?
wineserver -w >/dev/null 2>&1
vn_check "the install through the wizard exits with 0 (got $status)" [ "$status" = 0 ]
vn_check "the install leaves its record" test -s "$DEST/VnMediaUninstall.dat"
printf 'reg query "HKCR\\.ogg" /ve\r\nreg query "HKCR\\.wav" /ve\r\n' >"$C/types.bat"
wine cmd /c 'C:\types.bat' >"$work/types" 2>&1
rm -f "$C/types.bat"
vn_check "the chosen extra type (.ogg) is the product's" grep -q 'REG_SZ *Tunaro\.' "$work/types"
vn_check "the unticked default (.wav) is not" test "$(grep -c 'REG_SZ *Tunaro\.' "$work/types")" = 1
grep -q 'REG_SZ *Tunaro\.' "$work/types" || { echo "The file types as read:"; tr -d '\r' <"$work/types" | sed 's/^/  /'; }

# The product takes ".mp3" as its association writer does, keeping the owner.
import '[HKEY_LOCAL_MACHINE\Software\Classes\.mp3]
"Tunaro.33.0.44.Default.BAK"="Other.AssocFile.MP3"
@="Tunaro.33.0.44.File"'
echo "#EXTM3U" >"$DEST/my playlist.m3u"
mkdir -p "$C/EngineTools" && cp "$bin/holdopen.exe" "$C/EngineTools/"
(cd "$C/EngineTools" && wine holdopen.exe 'C:\Program Files\V Arnel\Tunaro 33\Tunaro.exe' 'C:\EngineTools\ready') \
    >/dev/null 2>&1 &
for _ in $(seq 1 60); do [ -f "$C/EngineTools/ready" ] && break; sleep 1; done
vn_check "another program holds Tunaro.exe" test -f "$C/EngineTools/ready"

(cd "$DEST" && timeout "$limit" wine VnMediaUninstall.exe /Silent) >/dev/null 2>&1
status=$?
vn_check "silent uninstall with a file in use exits with 3010 (194 under Wine, got $status)" [ "$status" = 194 ]
vn_check "the held file waits for the restart" test -f "$DEST/Tunaro.exe"
vn_check "the program's other files are gone" test ! -e "$DEST/VnTools.dll"
vn_check "the user's file stays" test -f "$DEST/my playlist.m3u"
wineserver -k >/dev/null 2>&1  # the holding program ends with the session
wineboot -r >/dev/null 2>&1
wineserver -w >/dev/null 2>&1
vn_check "after the restart the held file is gone" test ! -e "$DEST/Tunaro.exe"
vn_check "after the restart the user's file is still in its folder" test -f "$DEST/my playlist.m3u"
rm -rf "$C/Tunaro Setup" "$C/EngineTools"
snapshot after
has() { grep -qF "$1" "$work/after.values"; }
vn_check "\".mp3\" is the other program's again" has 'system [Software\Classes\.mp3] @="Other.AssocFile.MP3"'
vn_check "the uninstall entry is gone" bash -c "! grep -qF 'CurrentVersion\Uninstall\Tunaro 33]' '$work/after.values'"
diff "$work/before.files" "$work/after.files" | grep '^[<>]' | sed 's/^</-/; s/^>/+/' >"$work/diff"
diff "$work/before.values" "$work/after.values" | grep '^[<>]' | sed 's/^</-/; s/^>/+/' >>"$work/diff"
echo "Differences after the round trip (leftovers included):"
sed 's/^/  /' "$work/diff" | cut -c1-200
unexpected=$(grep -Ev "$LEFTOVERS" "$work/diff")
[ -z "$unexpected" ] || { echo "Not documented:"; sed 's/^/  /' <<<"$unexpected" | cut -c1-200; }
vn_check "nothing but the documented leftovers differs" [ -z "$unexpected" ]
rm -rf "$work"
vn_summary
