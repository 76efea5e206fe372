#!/usr/bin/env bash
# Screenshots of the copy page of the real installer under Wine and Xvfb: an
# Express install driven by build/win64/bin/wizard_driver.exe from the
# licence page to the copy page, then two pictures during its slideshow (the
# first and the second promotion picture, the finishing countdown on the
# bar), into build/screenshots/ (PNG files).
# Builds nothing: build the win64 preset first (vn_installer, vn_demo_setup,
# wizard_driver).
set -u

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
SETUP="$root/build/win64/setup"
DRIVER="$root/build/win64/bin/wizard_driver.exe"
out="$root/build/screenshots"

[ -f "$SETUP/Tunaro Install Wizard.exe" ] || { echo "capture-copy-page: no installer in $SETUP" >&2; exit 1; }
[ -f "$DRIVER" ] || { echo "capture-copy-page: no $DRIVER" >&2; exit 1; }
command -v import >/dev/null 2>&1 || { echo "capture-copy-page: imagemagick's import is missing" >&2; exit 1; }
mkdir -p "$out"
# A private X server: the pictures show only the installer.
unset DISPLAY
. "$root/scripts/wine-env.sh" || exit 1
trap vn_wine_cleanup EXIT

cp -r "$SETUP" "$WINEPREFIX/drive_c/Tunaro Setup"
(cd "$WINEPREFIX/drive_c/Tunaro Setup" &&
    exec timeout 120 wine "Tunaro Install Wizard.exe") >/dev/null 2>&1 &
pid=$!
drive() { wine "$DRIVER" --timeout 60 "$@" >/dev/null 2>&1 || { echo "capture-copy-page: driver $* failed" >&2; exit 1; }; }
drive wait-title "Welcome"
drive press "Accept"
drive wait-title "Setup Type"
drive press "Next >"
drive wait-title "Copying Files"
sleep 1
import -window root "$out/copy-page-1.png" && echo "$out/copy-page-1.png"
sleep 2.5
import -window root "$out/copy-page-2.png" && echo "$out/copy-page-2.png"
wait "$pid"
echo "installer exit status: $?"
