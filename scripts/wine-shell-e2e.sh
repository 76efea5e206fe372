#!/usr/bin/env bash
# End-to-end check of the shell registration under Wine, in one fresh prefix:
# the x86_64 installer of the win64 demo set-up folder runs silently, then
#  - `vn_wine_reg export` must hold every row of the built-in table with its
#    exact data (the rows of the golden export tests/unit/shell/data/
#    builtin-rows.txt, with this product's version and destination), no "["
#    in any value written, and the File ProgID's icon on the installed
#    "fileimage.ico";
#  - the shell itself must use the registration: `cmd /c assoc .mpl` names the
#    Playlist ProgID, `start` on a ".mpl" file runs the installed launcher with
#    /Play "<file>", on a ".pmp" file "PackageInstaller.exe" with
#    /Install "<file>" (both programs record their command line).
# The x86_64 build is not a WOW64 process, so the AutoPlay rows are checked in
# the one (64-bit) view here; the second view is tested on the simulated machine.
#
# Builds nothing: build the win64 preset first. Prints each failed check and
# "N passed, N failed"; exits 1 when a check failed or nothing could run.
set -u

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
SETUP="$root/build/win64/setup"
GOLDEN="$root/tests/unit/shell/data/builtin-rows.txt"
limit=${VN_WINE_TIMEOUT:-180}

fail_setup() { echo "wine-shell-e2e: $*" >&2; echo "0 passed, 1 failed"; exit 1; }
command -v wine >/dev/null 2>&1 || fail_setup "wine is not installed"
command -v python3 >/dev/null 2>&1 || fail_setup "python3 is not installed"
[ -f "$SETUP/Tunaro Install Wizard.exe" ] || fail_setup "no installer in $SETUP (build the win64 preset)"
. "$root/scripts/wine-env.sh" || fail_setup "no Wine prefix"
trap vn_wine_cleanup EXIT

C="$WINEPREFIX/drive_c"
DEST_WIN='C:\Program Files\V Arnel\Tunaro 33\'
DEST="$C/Program Files/V Arnel/Tunaro 33"
PROGID=Tunaro.33.0.44
STARTS='HKCU\Software\V. Arnel\Demo Starts'
reg_value() {  # reg_value KEY NAME: the data of a text value ("(Default)": the unnamed one)
    local which=(/v "$2")
    [ "$2" = '(Default)' ] && which=(/ve)
    vn_wine_reg query "$1" "${which[@]}" 2>/dev/null | tr -d '\r' |
        awk -v n="$2" '{ i = index($0, n "    REG_SZ    "); if (i) print substr($0, i + length(n) + 14) }'
}

cp -r "$SETUP" "$C/Tunaro Setup" || fail_setup "cannot copy the set-up folder"
(cd "$C/Tunaro Setup" && timeout "$limit" wine "Tunaro Install Wizard.exe" /Silent) >/dev/null 2>&1
vn_check_equal "silent install exits with 0" 0 "$?"
wineserver -w >/dev/null 2>&1

# ---- Every row of the table, from three exports.
exports="$WINEPREFIX/exports"
mkdir -p "$exports"
vn_wine_reg export 'HKEY_CLASSES_ROOT' 'C:\classes.reg' /y >/dev/null 2>&1
vn_wine_reg export 'HKEY_LOCAL_MACHINE\Software\Microsoft\Windows\CurrentVersion\Explorer\AutoplayHandlers' 'C:\autoplay.reg' /y >/dev/null 2>&1
vn_wine_reg export 'HKEY_CURRENT_USER\Software' 'C:\user.reg' /y >/dev/null 2>&1
result=$(python3 - "$GOLDEN" "$DEST_WIN" "$C/classes.reg" "$C/autoplay.reg" "$C/user.reg" <<'PY'
import re, sys
golden, dest, *exports = sys.argv[1:]

def read_export(path):
    values, key = {}, None
    try:
        raw = open(path, 'rb').read()
    except OSError:
        return values
    text = raw.decode('utf-16') if raw[:2] == b'\xff\xfe' else raw.decode('utf-8', 'replace')
    for line in text.splitlines():
        if line.startswith('[') and line.endswith(']'):
            key = line[1:-1].lower()
            continue
        m = re.match(r'^(@|"((?:[^"\\]|\\.)*)")=(.*)$', line)
        if not m or key is None:
            continue
        name = '' if m.group(1) == '@' else re.sub(r'\\(.)', r'\1', m.group(2))
        data = m.group(3)
        if data.startswith('"'):
            data = re.sub(r'\\(.)', r'\1', data[1:-1])
        elif data.startswith('dword:'):
            data = 'dword:%d' % int(data[6:], 16)
        values[(key, name.lower())] = data
    return values

actual = {}
for path in exports:
    actual.update(read_export(path))

roots = [('Software\\Classes', 'HKEY_CLASSES_ROOT'),
         ('Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\AutoplayHandlers',
          'HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\AutoplayHandlers'),
         ('Software\\Netscape', 'HKEY_CURRENT_USER\\Software\\Netscape'),
         ('SOFTWARE\\Microsoft\\Keyboard', 'HKEY_CURRENT_USER\\SOFTWARE\\Microsoft\\Keyboard')]
def mapped(text):
    return text.replace('Tunaro.9933.0.44', 'Tunaro.33.0.44').replace('C:\\Program Files (x86)\\Tunaro 9933\\', dest)

passed = failed = 0
section, key = 'classes', None
for line in open(golden, encoding='utf-8').read().splitlines():
    if line.startswith('-- '):
        section = line[3:]
        continue
    if section == '32-bit AutoPlay':
        continue  # the 64-bit build writes one view
    if line.startswith('['):
        key = mapped(line[1:-1])
        for prefix, root in roots:
            if key.lower().startswith(prefix.lower()):
                key = root + key[len(prefix):]
                break
        continue
    m = re.match(r'^(@|"([^"]*)")=(.*)$', line)
    name = '' if m.group(1) == '@' else mapped(m.group(2))
    data = m.group(3)
    data = mapped(data[1:-1]) if data.startswith('"') else data
    got = actual.get((key.lower(), name.lower()))
    if got == data and '[' not in got:
        passed += 1
    else:
        failed += 1
        print('FAIL row %s | %s\n    expected: %s\n    actual:   %s' % (key, name or 'Default', data, got))
print('%d %d %d' % (passed, failed, passed + failed))
PY
)
row_counts=$(tail -n 1 <<<"$result")
sed '$d' <<<"$result"
read -r rows_passed rows_failed rows_total <<<"$row_counts"
vn_check_equal "rows of the golden table read (112 outside the 32-bit view)" 112 "${rows_total:-0}"
VN_PASSED=$((VN_PASSED + ${rows_passed:-0}))
VN_FAILED=$((VN_FAILED + ${rows_failed:-1}))

icon=$(reg_value "HKCR\\$PROGID.File\\DefaultIcon" '(Default)')
vn_check_equal "File icon" "\"${DEST_WIN}Data\\Default Art\\fileimage.ico\"" "$icon"
vn_check_equal "the icon is installed" yes "$([ -f "$DEST/Data/Default Art/fileimage.ico" ] && echo yes || echo no)"

# ---- The shell uses the registration.
vn_check_equal "assoc .mpl" ".mpl=$PROGID.Playlist" "$(vn_wine_text wine cmd /c assoc .mpl | tail -n 1)"
mkdir -p "$C/Media Files"
printf '#playlist\r\n' >"$C/Media Files/Song List.mpl"
printf 'package' >"$C/Media Files/Skin Pack.pmp"
timeout 60 wine start /wait 'C:\Media Files\Song List.mpl' >/dev/null 2>&1
timeout 60 wine start /wait 'C:\Media Files\Skin Pack.pmp' >/dev/null 2>&1
wineserver -w >/dev/null 2>&1
vn_check_equal "start .mpl runs the launcher" '/Play "C:\Media Files\Song List.mpl"' \
    "$(reg_value "$STARTS\\Tunaro Launcher.exe" 'Command Line')"
vn_check_equal "start .pmp runs the package installer" '/Install "C:\Media Files\Skin Pack.pmp"' \
    "$(reg_value "$STARTS\\PackageInstaller.exe" 'Command Line')"

vn_summary
