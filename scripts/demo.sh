#!/usr/bin/env bash
# The main job: builds what is missing and runs the installer on the bundled
# demo product inside a fresh simulated Windows machine, then prints what it
# did, a summary and the installer's log.
# Extra arguments are passed to the installer (default: /Silent).
#
#   bash scripts/demo.sh [installer arguments]          simulated machine
#   bash scripts/demo.sh --wine [installer arguments]   the real x86_64 installer
#       under Wine in a fresh prefix (without /Silent the wizard shows on
#       $DISPLAY, or on a private Xvfb when there is none)
set -euo pipefail
cd "$(dirname "$0")/.."
wine_run=0
if [ "${1:-}" = "--wine" ]; then
  wine_run=1
  shift
fi
args=("$@")
[ ${#args[@]} -gt 0 ] || args=(/Silent)
bash scripts/install-deps.sh >/tmp/vn-install-deps.log 2>&1 || { cat /tmp/vn-install-deps.log; exit 1; }

show_log() {  # show_log FOLDER: the installer's log found below FOLDER
  local log
  log=$(find "$1" -name 'Tunaro Install Wizard*.log' 2>/dev/null | head -n 1)
  if [ -n "$log" ]; then
    echo "Installer log ($log):"
    sed 's/^/  /' "$log"
  fi
}

if [ "$wine_run" = 1 ]; then
  cmake --preset win64 >/dev/null
  cmake --build --preset win64 -j2 --target vn_installer vn_demo_setup >/dev/null
  . scripts/wine-env.sh
  trap vn_wine_cleanup EXIT
  setup="$WINEPREFIX/drive_c/Tunaro Setup"
  cp -r build/win64/setup "$setup"
  echo "Running \"Tunaro Install Wizard.exe\" ${args[*]} under Wine (prefix $WINEPREFIX)..."
  started=$(date +%s%N)
  status=0
  (cd "$setup" && wine "Tunaro Install Wizard.exe" "${args[@]}") >/dev/null 2>&1 || status=$?
  wineserver -w
  echo "Exit status: $status (Wine passes on the low 8 bits: 0 completed, 194 = 3010 restart needed," \
       "66 = 1602 cancelled, 67 = 1603 error)"
  echo "Time taken: $((($(date +%s%N) - started) / 1000000)) ms"
  dest="$WINEPREFIX/drive_c/Program Files/V Arnel/Tunaro 33"
  [ -d "$dest" ] && echo "Program files installed: $(find "$dest" -type f | wc -l) in C:\\Program Files\\V Arnel\\Tunaro 33"
  show_log "$WINEPREFIX/drive_c/users"
  exit 0
fi

cmake --preset native >/dev/null
cmake --build --preset native -j2 --target vninstall-sim vn_demo_setup >/dev/null
machine=build/native/demo-machine
rm -rf "$machine"
build/native/bin/vninstall-sim --machine "$machine" --setup build/native/setup -- "${args[@]}"
echo
echo "The simulated machine is in $machine (docs/sim-machine.md explains its files)."
show_log "$machine"
