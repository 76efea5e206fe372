#!/usr/bin/env bash
# Installs what building and testing need on a fresh Debian machine, then
# checks that every command the build and the scripts call is really there
# (a package can be installed and still not provide the command expected).
set -euo pipefail
packages=(cmake ninja-build g++ clang libclang-rt-14-dev googletest libpugixml-dev zlib1g-dev libz-mingw-w64-dev
          g++-mingw-w64-i686-posix g++-mingw-w64-x86-64-posix binutils-mingw-w64-i686 binutils-mingw-w64-x86-64
          wine wine64 xvfb ccache fonts-dejavu-core python3 binutils imagemagick coreutils diffutils findutils
          sed grep curl)
# Every command the build (CMake presets, the demo set-up) and scripts/*.sh,
# tests/e2e/*.sh and .ci/run call. Keep it in step when a script starts using
# a new one.
commands=(cmake ctest ninja g++ clang clang++ python3 ccache
          i686-w64-mingw32-g++-posix i686-w64-mingw32-gcc-posix i686-w64-mingw32-windres i686-w64-mingw32-objdump
          x86_64-w64-mingw32-g++-posix x86_64-w64-mingw32-gcc-posix x86_64-w64-mingw32-windres
          wine wineboot winecfg wineserver winepath Xvfb
          objdump import convert
          timeout nproc mktemp du cut tee cmp find awk sed grep kill curl)

missing_packages() {
  local p
  for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || echo "$p"
  done
}
missing_commands() {
  local c
  for c in "${commands[@]}"; do
    command -v "$c" >/dev/null 2>&1 || echo "$c"
  done
}

mapfile -t missing < <(missing_packages)
if [ ${#missing[@]} -ne 0 ]; then
  export DEBIAN_FRONTEND=noninteractive
  for attempt in 1 2 3 4 5; do
    if apt-get update; then break; fi
    echo "install-deps: apt-get update failed (attempt $attempt), retrying" >&2
    sleep $((attempt * 5))
  done
  installed=no
  for attempt in 1 2 3; do
    if apt-get install -y --no-install-recommends "${missing[@]}"; then installed=yes; break; fi
    echo "install-deps: apt-get install failed (attempt $attempt), retrying" >&2
    sleep 10
    apt-get update || true
  done
  [ "$installed" = yes ] || { echo "install-deps: could not install: ${missing[*]}" >&2; exit 1; }
fi

mapfile -t absent < <(missing_commands)
if [ ${#absent[@]} -ne 0 ]; then
  echo "install-deps: commands still missing after installing the packages: ${absent[*]}" >&2
  exit 1
fi
echo "install-deps: every package and command is there"
