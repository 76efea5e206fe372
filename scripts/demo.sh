#!/usr/bin/env bash
# The main job: builds what is missing and runs the installer on the bundled
# demo product inside a fresh simulated Windows machine, then prints what it did.
# Extra arguments are passed to the installer (default: /Silent).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh >/tmp/vn-install-deps.log 2>&1 || { cat /tmp/vn-install-deps.log; exit 1; }
cmake --preset native >/dev/null
cmake --build --preset native -j"$(nproc)" --target vninstall-sim vn_demo_setup >/dev/null
machine=build/native/demo-machine
rm -rf "$machine"
args=("$@")
[ ${#args[@]} -gt 0 ] || args=(/Silent)
build/native/bin/vninstall-sim --machine "$machine" --setup build/native/setup -- "${args[@]}"
echo
echo "The simulated machine is in $machine (docs/sim-machine.md explains its files)."
log=$(find "$machine" -name 'Tunaro Install Wizard*.log' | head -n 1)
if [ -n "$log" ]; then
  echo "Installer log ($log):"
  sed 's/^/  /' "$log"
fi
