#!/usr/bin/env bash
# The shipped i686 programs must start on every Windows the installer accepts,
# Windows 2000 and later: every function they import by name must be one that
# Windows 2000 has. Lists the imports of the installer and of the tools
# library it loads (objdump -p) and checks each DLL!function against
# scripts/windows2000-imports.txt. A function newer than Windows 2000 is
# resolved at run time instead (GetProcAddress) and never imported.
# Prints one "N passed, N failed" line (one check per program).
set -uo pipefail
cd "$(dirname "$0")/.."
allowed_file=scripts/windows2000-imports.txt
programs=("build/win32/bin/Tunaro Install Wizard.exe" "build/win32/bin/VnTools.dll")
objdump=$(command -v i686-w64-mingw32-objdump || command -v objdump) || { echo "check-win2000-imports: objdump is missing"; echo "0 passed, 1 failed"; exit 1; }

# DLL!function per line, the DLL name in upper case.
allowed=$(sed -e 's/#.*//' -e 's/[[:space:]]//g' "$allowed_file" | awk -F'!' 'NF == 2 { print toupper($1) "!" $2 }' | sort -u)
imports_of() {
  "$objdump" -p "$1" | awk '
    /^[[:space:]]*DLL Name:/ { dll = toupper($3); next }
    /^[[:space:]]*$/ { dll = "" ; next }
    dll != "" && $1 ~ /^[0-9a-f]+$/ && $2 ~ /^[0-9]+$/ && NF >= 3 { print dll "!" $3 }' | sort -u
}

passed=0; failed=0
for program in "${programs[@]}"; do
  if [ ! -f "$program" ]; then
    echo "FAIL $program: not built"; failed=$((failed + 1)); continue
  fi
  imports=$(imports_of "$program")
  if [ -z "$imports" ]; then
    echo "FAIL $program: no imports listed"; failed=$((failed + 1)); continue
  fi
  unknown=$(comm -23 <(echo "$imports") <(echo "$allowed"))
  if [ -n "$unknown" ]; then
    echo "FAIL $program imports what Windows 2000 does not have (resolve it at run time):"
    sed 's/^/    /' <<<"$unknown"
    failed=$((failed + 1))
  else
    echo "ok   $program: $(wc -l <<<"$imports") imports, all present on Windows 2000"
    passed=$((passed + 1))
  fi
done
echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
