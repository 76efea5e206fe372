#!/usr/bin/env bash
# Installs what building and testing need on a fresh Debian machine.
set -euo pipefail
packages=(cmake ninja-build g++ clang libclang-rt-14-dev googletest libpugixml-dev zlib1g-dev libz-mingw-w64-dev
          g++-mingw-w64-i686-posix g++-mingw-w64-x86-64-posix binutils-mingw-w64-i686 binutils-mingw-w64-x86-64
          wine wine64 xvfb ccache fonts-dejavu-core python3)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -eq 0 ]; then
  echo "install-deps: everything is installed"
  exit 0
fi
export DEBIAN_FRONTEND=noninteractive
for attempt in 1 2 3 4 5; do
  if apt-get update; then break; fi
  echo "install-deps: apt-get update failed (attempt $attempt), retrying" >&2
  sleep $((attempt * 5))
done
for attempt in 1 2 3; do
  if apt-get install -y --no-install-recommends "${missing[@]}"; then exit 0; fi
  echo "install-deps: apt-get install failed (attempt $attempt), retrying" >&2
  sleep 10
  apt-get update || true
done
exit 1
