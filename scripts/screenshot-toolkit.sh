#!/usr/bin/env bash
# Takes screenshots of the toolkit gallery (build/win64/bin/toolkit_gallery.exe)
# under Wine and Xvfb, every page at 96 and at 144 DPI, and the copy page once
# more with a JPEG picture, into build/screenshots/ (PNG files).
# Builds nothing: run `cmake --build --preset win64 --target toolkit_gallery` first.
set -u

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
gallery="$root/build/win64/bin/toolkit_gallery.exe"
art="$root/build/win64/setup/Setup"
icon="$root/build/win64/setup/Playmoor/Data/Default Art/application.ico"
out="$root/build/screenshots"
pages=5
settle=${VN_SCREENSHOT_SETTLE:-4}  # seconds from start to picture

[ -f "$gallery" ] || { echo "screenshot-toolkit: $gallery is missing" >&2; exit 1; }
command -v import >/dev/null 2>&1 || { echo "screenshot-toolkit: imagemagick's import is missing" >&2; exit 1; }
mkdir -p "$out"

# A private X server of our own, whatever DISPLAY says: the pictures must show
# only the gallery.
unset DISPLAY
. "$root/scripts/wine-env.sh" || exit 1
scratch=$(mktemp -d)
trap 'vn_wine_cleanup; rm -rf "$scratch"' EXIT
convert "$art/Promo2.png" -quality 90 "$scratch/Promo2.jpg"

# shot NAME ARGS...: starts the gallery, waits, takes the picture, lets it end.
shot() {
    local name=$1
    shift
    # A Wine desktop window: without a window manager only it draws captions.
    timeout $((settle + 20)) wine explorer /desktop=gallery,1024x768 "$gallery" --art "$(winepath -w "$art")" --icon "$(winepath -w "$icon")" \
        --close-after $(( (settle + 3) * 1000 )) "$@" >/dev/null 2>&1 &
    local pid=$!
    sleep "$settle"
    import -window root "$out/$name.png"
    wait "$pid"
    echo "$out/$name.png"
}

status=0
for dpi in 96 144; do
    vn_wine_reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$dpi" /f >/dev/null 2>&1 || status=1
    wineserver -k  # every Wine process starts again with the new DPI
    wineserver -w
    for page in $(seq 0 $((pages - 1))); do
        shot "toolkit-${dpi}dpi-page$page" --page "$page" || status=1
    done
done
shot "toolkit-144dpi-page3-jpeg" --page 3 --picture "$(winepath -w "$scratch/Promo2.jpg")" || status=1
exit "$status"
