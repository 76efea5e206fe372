# The end-to-end start-up cases run under Wine by scripts/wine-e2e.sh, which
# sources this file inside a fresh Wine prefix and calls each case_* function
# in order. A case returns 0 when it passed; it prints why when it did not.
#
# Helpers from the driver: $SETUP (the win64 set-up folder), fresh_setup NAME
# (a copy of it in the prefix at C:\NAME, echoes its Unix path), run_installer
# DIR ARGS... (runs the installer there, waits, sets $INSTALLER_STATUS),
# log_text (every log file of the tools library in the prefix),
# wait_for_log TEXT SECONDS, stop_wine.
#
# Wine hands only the low 8 bits of an exit code to Linux: 1603 (error)
# arrives as 67. Past the hand-off the exit code is the wizard's.

STATUS_ERROR=67

# The x86_64 installer loads the real VnTools.dll from "Playmoor\", passes
# the preflight checks and reaches the wizard hand-off.
case_reaches_the_hand_off() {
    local dir
    dir=$(fresh_setup "Tunaro Setup") || return 1
    run_installer "$dir" /Silent /DistributorID Acme
    local log
    log=$(log_text)
    [ "$INSTALLER_STATUS" != "$STATUS_ERROR" ] || { echo "exit status $INSTALLER_STATUS (error)"; echo "$log"; return 1; }
    grep -q 'CInstallWizard: Hand-off reached' <<<"$log" || { echo "no hand-off in the log"; echo "$log"; return 1; }
    grep -q 'Options: Silent=1 .*DistributorID="Acme"' <<<"$log" || { echo "options not recorded"; echo "$log"; return 1; }
    grep -q 'VnSkin: Skin folder: C:\\Tunaro Setup\\Playmoor\\Skins\\Standard View\\Graphite' <<<"$log" ||
        { echo "skin folder not set"; echo "$log"; return 1; }
    [ -f "$dir/Playmoor/Tunaro Launcher.exe" ] || { echo "launcher not copied into Playmoor"; return 1; }
    [ ! -e "$dir/System/Always Overwrite/Tunacore Launcher.exe" ] || { echo "launcher not renamed"; return 1; }
    vn_wine_reg query 'HKLM\Software\V. Arnel' >/dev/null 2>&1 || { echo "company key missing"; return 1; }
    if vn_wine_reg query 'HKLM\Software\V. Arnel\Rights Check' >/dev/null 2>&1; then
        echo "the rights check left its key behind"
        return 1
    fi
    return 0
}

# A second installer started while the first holds the mutex shows the
# "Another instance" message. The first is held in a modal box (its product
# asks for an Internet Explorer newer than any), the second's message is read
# from its log, written before its box is shown; then both are stopped.
case_second_instance_is_refused() {
    local dir
    dir=$(fresh_setup "Tunaro Setup Twice") || return 1
    sed -i 's|<MinIEVersion>[^<]*</MinIEVersion>|<MinIEVersion>99.0.0.0</MinIEVersion>|' "$dir/Playmoor/ProductInfo.xml"
    (cd "$dir" && exec wine "Tunaro Install Wizard.exe") >/dev/null 2>&1 &
    if ! wait_for_log '"Internet Explorer Warning"' 90; then
        echo "the first installer never showed its Internet Explorer box"
        log_text
        stop_wine
        return 1
    fi
    (cd "$dir" && exec wine "Tunaro Install Wizard.exe") >/dev/null 2>&1 &
    local found=0
    wait_for_log '"Varnel Installer": Another instance of the Varnel installer is already running on this system.' 90 && found=1
    local log
    log=$(log_text)
    stop_wine
    [ "$found" = 1 ] || { echo "no \"Another instance\" message"; echo "$log"; return 1; }
    grep -q 'Please finish any other Varnel installations and try again.' <<<"$log" ||
        { echo "the message's second sentence is missing"; echo "$log"; return 1; }
    return 0
}

# The Internet Explorer warning has real buttons, "Download" (the default)
# and "Quit Setup", and the keyboard of a standard box: Esc, Tab then Enter,
# and the access key "q" each quit setup (answer 1, exit status 1603).
case_own_buttons_work_from_the_keyboard() {
    local driver="$root/build/win64/bin/wizard_driver.exe" out keys
    [ -f "$driver" ] || { echo "no $driver"; return 1; }
    out=$(mktemp)
    local dir
    dir=$(fresh_setup "Tunaro Setup Old IE") || return 1
    sed -i 's|<MinIEVersion>[^<]*</MinIEVersion>|<MinIEVersion>99.0.0.0</MinIEVersion>|' "$dir/Playmoor/ProductInfo.xml"
    for keys in "Esc" "Tab Enter" "q"; do
        rm -f "$TEMP_DIR"/Tunaro\ Install\ Wizard*.log
        (cd "$dir" && exec timeout "$limit" wine "Tunaro Install Wizard.exe") >/dev/null 2>&1 &
        local installer=$! key
        # The driver's output goes through a file: a Wine console program must not write into a pipe.
        wine "$driver" --timeout 60 wait-box >"$out" 2>&1 || { cat "$out"; rm -f "$out"; return 1; }
        if ! grep -q 'button "Download" \[default\]' "$out" || ! grep -q 'button "Quit Setup"' "$out" ||
            grep -q 'OK' "$out"; then
            echo "the box does not show its own buttons:"; cat "$out"; rm -f "$out"; return 1
        fi
        for key in $keys; do
            wine "$driver" --timeout 60 key-box "$key" >"$out" 2>&1 || { echo "key $key:"; cat "$out"; rm -f "$out"; return 1; }
        done
        wait "$installer"
        local status=$?
        [ "$status" = "$STATUS_ERROR" ] || { echo "keys \"$keys\": exit status $status"; log_text; rm -f "$out"; return 1; }
        log_text | grep -q '"Internet Explorer Warning" answered 1' ||
            { echo "keys \"$keys\" did not press Quit Setup"; log_text; rm -f "$out"; return 1; }
    done
    rm -f "$out"
    return 0
}

E2E_CASES=(case_reaches_the_hand_off case_second_instance_is_refused case_own_buttons_work_from_the_keyboard)
