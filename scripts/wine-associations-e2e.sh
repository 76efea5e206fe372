#!/usr/bin/env bash
# File associations under Wine and Xvfb: another player owns ".mp3" and a
# MIME type first; an interactive install through
# build/win64/bin/wizard_driver.exe unticks one default type and ticks one
# extra with the keyboard; the registry, "assoc" and "start" then show what
# the user chose (with the other player's values in their backups). A second
# install keeps the first backups and shows the stored choice; a silent
# install with /NoAssociations in a second fresh prefix stores an empty
# choice and associates only the product's own types.
# Builds nothing: build the win64 preset first. Prints one line per case and
# "N passed, N failed".
set -u

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
SETUP="$root/build/win64/setup"
DRIVER="$root/build/win64/bin/wizard_driver.exe"
limit=${VN_WINE_TIMEOUT:-120}

fail_setup() { echo "wine-associations-e2e: $*" >&2; echo "0 passed, 1 failed"; exit 1; }
command -v wine >/dev/null 2>&1 || fail_setup "wine is not installed"
[ -f "$SETUP/Tunaro Install Wizard.exe" ] || fail_setup "no installer in $SETUP (build the win64 preset)"
[ -f "$DRIVER" ] || fail_setup "no $DRIVER (build the win64 preset)"
. "$root/scripts/wine-env.sh" || fail_setup "no Wine prefix"
OUTPUT=$(mktemp)
trap 'vn_wine_cleanup; rm -f "$OUTPUT"' EXIT

PROPERTIES='HKCU\Software\V. Arnel\Tunaro 33\Properties'
SELECTED='File Associations - Selected Media Types'

# Wine programs write into a file, never a pipe (see wine-wizard-e2e.sh).
drive() { vn_drive "$OUTPUT" "${DRIVE_TIMEOUT:-60}" "$@"; }
expect() { grep -qF -- "$1" <<<"$OUT" && return 0; echo "expected \"$1\" in:"; echo "$OUT"; return 1; }
refuse() { ! grep -qF -- "$1" <<<"$OUT" && return 0; echo "did not expect \"$1\" in:"; echo "$OUT"; return 1; }
# Registry reads are batched: every Wine start costs seconds on a loaded
# machine. want KEY NAME queues one value ("" for the default); read_values
# runs them all in one "cmd" and fills VALUES["KEY|NAME"] ("<missing>" when
# absent).
declare -A VALUES
QUERIES=()
want() { QUERIES+=("$1|$2"); }
read_values() {
    local batch="$WINEPREFIX/drive_c/queries.bat" query key name
    : >"$batch"
    for query in "${QUERIES[@]}"; do
        key=${query%%|*}
        name=${query#*|}
        printf 'echo ==%s\r\n' "${query//|/^|}" >>"$batch"  # "|" would pipe
        if [ -z "$name" ]; then printf 'reg query "%s" /ve\r\n' "$key" >>"$batch"
        else printf 'reg query "%s" /v "%s"\r\n' "$key" "$name" >>"$batch"; fi
    done
    wine cmd /c 'C:\queries.bat' >"$OUTPUT" 2>&1
    VALUES=()
    for query in "${QUERIES[@]}"; do VALUES["$query"]="<missing>"; done
    local current="" line
    while IFS= read -r line; do
        line=${line%$'\r'}
        case "$line" in
            ==*) current=${line#==} ;;
            *REG_*) [ -n "$current" ] && VALUES["$current"]=$(sed -n 's/^ *.*  *REG_[A-Z_]*  *\(.*\)$/\1/p;s/^ *.*  *REG_[A-Z_]*$//p' <<<"$line")
                    current="" ;;
        esac
    done <"$OUTPUT"
    QUERIES=()
}
check_value() { vn_check_equal "$1 $2" "$3" "${VALUES["$1|$2"]-<unread>}"; }

start_installer() {
    local dir="$WINEPREFIX/drive_c/Tunaro Setup"
    rm -rf "$dir"
    cp -r "$SETUP" "$dir" || return 1
    (cd "$dir" && exec timeout "$limit" wine "Tunaro Install Wizard.exe" "$@") >/dev/null 2>&1 &
    INSTALLER_PID=$!
}

# A Custom install to the file associations page; the first install chooses
# its destination, a reinstall of the same version keeps it (no such page).
walk_to_the_page() {
    start_installer || return 1
    drive wait-title "Welcome" && drive press "Accept" && drive wait-title "Setup Type" &&
        drive choose "Custom" && drive press "Next >" && drive wait-text "Portable install" &&
        drive press "Next >" || return 1
    if [ "${1-}" = first ]; then
        drive wait-title "Destination Folder" && drive type "Install to:" 'C:\Games\Tunaro' &&
            drive press "Next >" || return 1
    fi
    DRIVE_TIMEOUT=120 drive wait-title "File Associations"
}
finish_install() {
    drive press "Next >" && drive wait-title "Create Shortcuts" && drive press "Next >" &&
        drive wait-title "Install Complete" && drive tick "Run installed program now" off &&
        drive press "Finish" && drive wait-gone || return 1
    wait "$INSTALLER_PID"
}

# Another player's values, as it would have written them.
printf '%s\r\n' 'reg add "HKCR\.mp3" /ve /d "Other.Player.mp3" /f' \
    'reg add "HKCR\.mp3" /v "Content Type" /d "audio/x-other" /f' \
    'reg add "HKCR\Mime\Database\Content Type\audio/mpeg" /v Extension /d ".mpga" /f' >"$WINEPREFIX/drive_c/owner.bat"
wine cmd /c 'C:\owner.bat' >/dev/null 2>&1
want 'HKCR\.wav' ""
read_values
WAV_BEFORE=${VALUES['HKCR\.wav|']}

case_interactive_install() {
    walk_to_the_page first || return 1
    drive rows || return 1
    # Rows by the number of their group (1 Audio, 2 Image, 3 Video, 4 Data,
    # 5 Playlists, 6 Other), the defaults ticked, the rest not.
    expect 'groups 6' && expect 'row 1 [x] "mp3"' && expect 'row 1 [x] "wav"' && expect 'row 1 [ ] "ogg"' &&
        expect 'row 2 [ ] "png"' && expect 'row 5 [x] "mpl"' && expect 'row 3 [ ] "mkv"' && refuse '"dat"' || return 1
    drive key-row "wav" off && drive key-row "ogg" on && drive rows && expect '[ ] "wav"' &&
        expect '[x] "ogg"' || return 1
    finish_install
}

case_registry_after_the_choice() {
    local failed_before=$VN_FAILED
    want 'HKCR\.mpl' ""
    read_values
    local base=${VALUES['HKCR\.mpl|']%.Playlist}
    [ -n "$base" ] && [ "$base" != "<missing>" ] || { echo "no ProgID for .mpl"; return 1; }
    local mime='HKCR\Mime\Database\Content Type\audio/mpeg' capabilities='HKLM\Software\Clients\Media\Tunaro\Capabilities'
    local chosen='mp3 flac m4a ogg' handled='mp3 wav ogg flac' ext
    for ext in $chosen; do want "HKCR\\.$ext" ""; done
    for ext in $handled; do want "$capabilities\\FileAssociations" ".$ext"; done
    for query in "HKCR\\.mp3|$base.Default.BAK" "HKCR\\.mp3|$base.ContentType.BAK" \
                 "$mime|Extension" "$mime|$base.Extension.BAK" 'HKCR\.wav|' "$PROPERTIES|$SELECTED" \
                 'HKLM\Software\RegisteredApplications|Tunaro'; do
        want "${query%%|*}" "${query#*|}"
    done
    read_values
    # Every chosen type is the product's; the capabilities list every type it handles, chosen or not.
    for ext in $chosen; do check_value "HKCR\\.$ext" "" "$base.File"; done
    for ext in $handled; do check_value "$capabilities\\FileAssociations" ".$ext" "$base.File"; done
    check_value 'HKCR\.mp3' "$base.Default.BAK" "Other.Player.mp3"
    check_value 'HKCR\.mp3' "$base.ContentType.BAK" "audio/x-other"
    check_value "$mime" "Extension" ".mp3"
    check_value "$mime" "$base.Extension.BAK" ".mpga"
    vn_check_equal ".wav untouched" "$WAV_BEFORE" "${VALUES['HKCR\.wav|']}"
    check_value "$PROPERTIES" "$SELECTED" "flac;m4a;mp3;ogg;mpl"  # in the order the page shows them
    check_value 'HKLM\Software\RegisteredApplications' "Tunaro" 'Software\Clients\Media\Tunaro\Capabilities'
    wine cmd /c assoc .mp3 >"$OUTPUT" 2>&1
    vn_check_equal "assoc .mp3" ".mp3=$base.File" "$(tr -d '\r' <"$OUTPUT" | head -n 1)"
    # Opening a file through the shell runs the launcher with /Play "<file>".
    echo "ID3" >"$WINEPREFIX/drive_c/song.mp3"
    wine start /wait 'C:\song.mp3' >/dev/null 2>&1
    want 'HKCU\Software\V. Arnel\Demo Starts\Tunaro Launcher.exe' "Command Line"
    read_values
    check_value 'HKCU\Software\V. Arnel\Demo Starts\Tunaro Launcher.exe' "Command Line" '/Play "C:\song.mp3"'
    [ "$VN_FAILED" = "$failed_before" ]
}

case_second_install_keeps_backups_and_choice() {
    local failed_before=$VN_FAILED
    walk_to_the_page || return 1
    drive rows && expect '[ ] "wav"' && expect '[x] "ogg"' && expect '"mp3" "MP3 Audio" "Associated"' ||
        return 1
    finish_install || return 1
    want 'HKCR\.mpl' ""
    read_values
    local base=${VALUES['HKCR\.mpl|']%.Playlist}
    want 'HKCR\.mp3' "$base.Default.BAK"
    read_values
    check_value 'HKCR\.mp3' "$base.Default.BAK" "Other.Player.mp3"
    [ "$VN_FAILED" = "$failed_before" ]
}

case_silent_without_associations() {
    local failed_before=$VN_FAILED
    # A fresh prefix: a machine that never saw the product.
    wineserver -k >/dev/null 2>&1
    wineserver -w >/dev/null 2>&1
    rm -rf "$WINEPREFIX"
    vn_wine_setup || return 1
    start_installer /Silent /NoAssociations /NoRun || return 1
    wait "$INSTALLER_PID"
    want "$PROPERTIES" "$SELECTED"
    want 'HKCR\.flac' ""
    want 'HKCR\.mp3' ""
    want 'HKCR\.mpl' ""
    want 'HKCR\Mime\Database\Content Type\audio/flac' "Extension"
    read_values
    check_value "$PROPERTIES" "$SELECTED" ""
    check_value 'HKCR\.flac' "" "<missing>"
    vn_check "a default type is not taken" test "${VALUES['HKCR\.mp3|']%.File}" = "${VALUES['HKCR\.mp3|']}"
    check_value 'HKCR\Mime\Database\Content Type\audio/flac' "Extension" "<missing>"
    local own=${VALUES['HKCR\.mpl|']}
    vn_check "the product's own types are still its own" test "${own%.Playlist}" != "$own"
    [ "$VN_FAILED" = "$failed_before" ]
}

vn_run_cases case_interactive_install case_registry_after_the_choice case_second_install_keeps_backups_and_choice \
    case_silent_without_associations
vn_summary
