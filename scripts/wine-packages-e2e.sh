#!/usr/bin/env bash
# Plug-in packages and commands to the running program under Wine, in one
# fresh prefix:
#  1. a silent install of the demo set-up with its packages (setup-packages/):
#     every package's files where its actions put them, its registry values,
#     the plug-in records of each detected kind, the refusals' texts in the
#     log, every package listed as "installed" under "Plugins\System", the
#     package whose unpacking fails staged for the restart, and the installer
#     alive after a plug-in crashed in its DllRegisterServer;
#  2. the demo program running in its "PMFrame" mode: "PackageInstaller.exe
#     /Q /Install" of a package whose action is UPDATE_SERVICELIST, and 200
#     commands from 4 processes at once (command_sender.exe), each recorded
#     by the program exactly once, intact, in its sender's order;
#  3. the program not running: "/Play x" starts it with "/PlayReplace x".
#
# Builds nothing: build the win64 preset first (vn_installer,
# vn_demo_setup_packages, command_sender). Prints each failed check and
# "N passed, N failed"; exits 1 when a check failed or nothing could run.
set -u

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
SETUP="$root/build/win64/setup-packages"
SENDER="$root/build/win64/bin/command_sender.exe"
limit=${VN_WINE_TIMEOUT:-120}

fail_setup() { echo "wine-packages-e2e: $*" >&2; echo "0 passed, 1 failed"; exit 1; }
command -v wine >/dev/null 2>&1 || fail_setup "wine is not installed"
[ -f "$SETUP/Tunaro Install Wizard.exe" ] || fail_setup "no installer in $SETUP (build the win64 preset)"
[ -f "$SENDER" ] || fail_setup "no $SENDER (build the win64 preset)"
. "$root/scripts/wine-env.sh" || fail_setup "no Wine prefix"
trap vn_wine_cleanup EXIT

C="$WINEPREFIX/drive_c"
DEST_WIN='C:\Program Files\V Arnel\Tunaro 33\'
DEST="$C/Program Files/V Arnel/Tunaro 33"
DEST_ARG='C:\Program Files\V Arnel\Tunaro 33'  # no trailing backslash before a closing quote
KEY='HKCU\Software\V. Arnel\Tunaro 33'
COMMANDS='HKCU\Software\V. Arnel\Demo Commands\Tunaro.exe'
SUPPORT_WIN='C:\Tunaro Setup\Support\Plug-ins\'

reg_value() {  # reg_value KEY NAME: the value's data as reg query shows it
    vn_wine_reg query "$1" /v "$2" 2>/dev/null | tr -d '\r' |
        awk -v n="$2" 'index($0, "    " n "    ") == 1 { sub(/^    .*    REG_[A-Z_]+    /, ""); print }'
}
contains() { case "$1" in *"$2"*) return 0 ;; *) return 1 ;; esac; }
# The installer's log, as text whatever its encoding.
log_text() {
    local file
    file=$(find "$C/users" -name 'Tunaro Install Wizard*.log' 2>/dev/null | head -n 1)
    [ -n "$file" ] || return 0
    if head -c 2 "$file" | od -An -tx1 | grep -q 'ff fe'; then iconv -f UTF-16 -t UTF-8 "$file"; else cat "$file"; fi |
        tr -d '\r'
}
# Waits up to $2 seconds for `reg_value KEY NAME` to read $4.
wait_value() {
    local key=$1 name=$2 want=$3 seconds=$4 i
    for i in $(seq 1 $((seconds * 5))); do
        [ "$(reg_value "$key" "$name")" = "$want" ] && return 0
        sleep 0.2
    done
    return 1
}

# ---- 1. A silent install with the packages ---------------------------------
cp -r "$SETUP" "$C/Tunaro Setup" || fail_setup "cannot copy the set-up folder"
(cd "$C/Tunaro Setup" && timeout "$limit" wine "Tunaro Install Wizard.exe" /Silent) >/dev/null 2>&1
status=$?
wineserver -w >/dev/null 2>&1
# 3010: the package that failed waits for the restart.
vn_check "silent install ends with 194 (3010, restart needed; got $status)" equals "$status" 194
for file in dsp_echo.dll in_tone.dll in_old.dll in_both.dll in_wave.dll "Warm Reverb.dll" plain.dll \
    "Space Delay.vst3/Contents/x86_64-win/Space Delay.vst3" gir_remote.dll crash_register.dll; do
    vn_check "plug-in folder holds $file" test -f "$DEST/Plugins/$file"
done
vn_check "visualisation copied" test -f "$DEST/Visualizations/vis_bars.dll"
vn_check "help file copied" test -f "$DEST/Help/Readme.txt"
vn_check "REGISTRY value with product name and program path" equals \
    "$(reg_value "$KEY\\Demo Package" "Help File")" "${DEST_WIN}Help\\Readme.txt"
vn_check "REGISTRY value under HKEY_LOCAL_MACHINE" equals \
    "$(reg_value 'HKLM\Software\V. Arnel\Demo Packages' "Effects Folder")" "${DEST_WIN}Plugins"
vn_check "DSP record" equals "$(reg_value "$KEY\\Plugins\\DSP\\dsp_echo.dll" Description)" "Echo DSP"
vn_check "DSP record path" equals "$(reg_value "$KEY\\Plugins\\DSP\\dsp_echo.dll" Path)" "${DEST_WIN}Plugins\\dsp_echo.dll"
vn_check "DSP interface version" equals "$(reg_value "$KEY\\Plugins\\DSP\\dsp_echo.dll" IVersion)" "0x20"
vn_check "own input record" equals "$(reg_value "$KEY\\Plugins\\Input\\TONE" "Plugin Description")" "Tone source"
vn_check "own input record version" equals "$(reg_value "$KEY\\Plugins\\Input\\TONE" IVersion)" "0x4"
vn_check "own input record folder" equals "$(reg_value "$KEY\\Plugins\\Input\\TONE" strPath)" "${DEST_WIN}Plugins\\"
vn_check "both entry points: own input" equals "$(reg_value "$KEY\\Plugins\\Input\\BOTH" IVersion)" "0x4"
vn_check "Winamp input record" equals "$(reg_value "$KEY\\Plugins\\Input\\WAVE" "Plugin Description")" "Wave input"
vn_check "version 3 input not recorded" test -z "$(reg_value "$KEY\\Plugins\\Input\\OLD" Path)"
vn_check "VST 2 record" equals "$(reg_value "$KEY\\Plugins\\DSP\\Warm Reverb.dll" Description)" "Warm Reverb (VST Plugin)"
vn_check "VST 3 record" equals "$(reg_value "$KEY\\Plugins\\DSP\\Space Delay.vst3" Description)" "Space Delay (VST Plugin)"
vn_check "Girder record" equals "$(reg_value "$KEY\\Plugins\\RemoteControl\\Remote Eye" Company)" "Girder"
vn_check "Girder record file" equals "$(reg_value "$KEY\\Plugins\\RemoteControl\\Remote Eye" Filename)" "gir_remote.dll"
vn_check "uninstall list names the DSP" equals \
    "$(reg_value "$KEY\\Plugins\\Uninstall" "${DEST_WIN}Plugins\\dsp_echo.dll")" "Plugins\\DSP\\dsp_echo.dll"
for package in "Demo Plug-ins" "Demo Effects" "Demo Broken"; do
    vn_check "Plugins\\System lists $package" equals "$(reg_value "$KEY\\Plugins\\System" "$package")" installed
done
log=$(log_text)
for text in "Winamp 2.x visualization plug-ins are not supported." \
    "The input plugin 'Old tone source' is not the correct version." \
    "Unsupported plugin type.  The plugin can not be installed." \
    "Failed to register object." "crash_register.dll\" crashed (exception 0x" \
    "Failed to unzip file"; do
    vn_check "log shows: $text" contains "$log" "$text"
done
vn_check "failed package staged for the restart" contains \
    "$(vn_wine_reg query "$KEY\\Installer\\Finalize" 2>/dev/null | tr -d '\r')" "Demo Broken.pmp|"

# ---- 2. Commands to the running program ------------------------------------
(cd "$DEST" && wine "Tunaro.exe" /StayRunning >/dev/null 2>&1 &)
vn_check "the program runs with its PMFrame window" wait_value "$COMMANDS" Running 0x1 30
wine "$DEST/PackageInstaller.exe" /Q /Install "${SUPPORT_WIN}Demo Plug-ins.pmp" >/dev/null 2>&1
vn_check "package installer installed the package quietly" equals \
    "$(reg_value 'HKCU\Software\V. Arnel\Demo Companions\Packages' "${SUPPORT_WIN}Demo Plug-ins.pmp")" "quietly installed"
log=$(vn_wine_reg query "$COMMANDS" 2>/dev/null | tr -d '\r')
vn_check "UPDATE_SERVICELIST reached the running program" contains "$log" "REG_SZ    /ServiceUpdate"
vn_check "plug-in registration told the running program" contains "$log" "REG_SZ    /RefreshPlugins"

pids=()
for sender in 1 2 3 4; do
    wine "$SENDER" send "$DEST_ARG" "$sender" 50 >"$C/sender$sender.txt" 2>&1 &
    pids+=($!)
done
senders_ok=0
for pid in "${pids[@]}"; do wait "$pid" && senders_ok=$((senders_ok + 1)); done
vn_check "all 4 senders handed over all their commands ($senders_ok of 4)" equals "$senders_ok" 4
sleep 1
result=$(vn_wine_text wine "$SENDER" check 4 50)
echo "$result" | grep '^FAIL' || true
vn_check "the program recorded the 200 commands (command_sender check)" contains "$result" "4 passed, 0 failed"
vn_check "no damaged mailbox entries" test -z "$(reg_value "$COMMANDS" "Damaged Entries")"
wine "$SENDER" close "$DEST_ARG" >/dev/null 2>&1
vn_check "the program ends when closed" wait_value "$COMMANDS" Running 0x0 15

# ---- 3. "/Play" when the program does not run -------------------------------
wine "$SENDER" one "$DEST_ARG" /Play 'C:\Music\x.mp3' >/dev/null 2>&1
vn_check "\"/Play x\" started the program with \"/PlayReplace x\"" equals \
    "$(reg_value 'HKCU\Software\V. Arnel\Demo Starts\Tunaro.exe' "Command Line")" '/PlayReplace C:\Music\x.mp3'

vn_summary
