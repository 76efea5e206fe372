#!/usr/bin/env bash
# Benchmark, under Wine: a silent install of a generated payload by the real
# x86_64 installer against Wine's own `xcopy /e /i` of the same payload into
# the same fresh prefix, each timed in this run. Not part of scripts/test.sh.
#
# The payload (about 5,000 files and 200 MB of mixed sizes, the generator of
# bench/install_bench.cpp) is written into a copy of build/win64/setup under
# "Playmoor\Bench Payload\", so the install copies it with the program tree.
# Times are wall clock and include Wine's start-up of the program, measured
# alone too (`cmd /c exit`). In silent mode the copy page still waits out the
# slideshow's minimum time; it is read from the installer's log and shown.
#
#   bash scripts/bench-install-wine.sh        (builds the native benchmark and
#                                             the win64 installer when missing)
set -euo pipefail
cd "$(dirname "$0")/.."
command -v wine >/dev/null 2>&1 || { echo "bench-install-wine: wine is not installed" >&2; exit 1; }
cmake --preset native >/dev/null
cmake --build --preset native -j2 --target install_bench >/dev/null
cmake --preset win64 >/dev/null
cmake --build --preset win64 -j2 --target vn_installer vn_demo_setup >/dev/null

. scripts/wine-env.sh
trap 'set +e; vn_wine_cleanup' EXIT  # the clean-up tolerates a wineserver already gone
C="$WINEPREFIX/drive_c"
setup="$C/Tunaro Setup"
cp -r build/win64/setup "$setup"
build/native/bin/install_bench --write-payload "$setup/Playmoor/Bench Payload" build/win64/setup
files=$(find "$setup/Playmoor" -type f | wc -l)
megabytes=$(du -sm "$setup/Playmoor" | cut -f1)
echo "Playmoor tree to copy: $files files, $megabytes MB (prefix $WINEPREFIX)"

milliseconds() { echo $(($(date +%s%N) / 1000000)); }
timed() {  # timed COMMAND...: runs it, waits for the wineserver, prints the wall time in ms; the status in $?
  local started status=0
  started=$(milliseconds)
  "$@" >/dev/null 2>&1 || status=$?
  wineserver -w
  echo $(($(milliseconds) - started))
  return $status
}

startup_ms=$(timed wine cmd /c exit) || true
xcopy_ms=$(timed wine xcopy /e /i /q 'C:\Tunaro Setup\Playmoor' 'C:\Bench Xcopy') ||
  { echo "bench-install-wine: xcopy failed" >&2; exit 1; }
install_status=0
rss_file="$WINEPREFIX/bench-peak-kb"
install_ms=$(cd "$setup" && timed /usr/bin/time -o "$rss_file" -f %M wine "Tunaro Install Wizard.exe" /Silent) ||
  install_status=$?
dest="$C/Program Files/V Arnel/Tunaro 33"
installed=$(find "$dest" -type f 2>/dev/null | wc -l)
# Wine passes on the low 8 bits of the exit code: 0 completed, 194 = 3010.
if [ "$install_status" != 0 ] && [ "$install_status" != 194 ]; then
  echo "bench-install-wine: the install ended with status $install_status" >&2
  exit 1
fi

log=$(find "$C/users" -name 'Tunaro Install Wizard*.log' | head -n 1)
phases() {  # "<ms> <scope>" for every "<scope>: Finish ... (<n> ms)" line of the log
  if [ -n "$log" ]; then sed -nE 's/^[^]]*\] (.+): Finish.*\(([0-9]+) ms\)\r?$/\2 \1/p' "$log"; fi
}
phase_ms() { phases | awk -v scope="$1" '$2 == scope { ms = $1 } END { print ms + 0 }'; }
slideshow_ms=0
if [ -n "$log" ]; then  # "Slideshow: 3 images, 2000 ms each"
  slideshow_ms=$(sed -nE 's/.*Slideshow: ([0-9]+) images?, ([0-9]+) ms each.*/\1 \2/p' "$log" | head -n 1 |
    awk '{print $1 * $2}')
  slideshow_ms=${slideshow_ms:-0}
fi
# The copy blocks the page's message loop, so most of the slideshow is waited
# out after it: the wizard's time less the copy-and-install sequence's.
wait_ms=$(($(phase_ms CInstallWizard::DoModal) - $(phase_ms CInstallFiles::CopyAndInstall)))

ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2f", a / b }'; }
rate() { awk -v n="$1" -v ms="$2" 'BEGIN { printf "%.0f", n * 1000 / ms }'; }
echo
printf '%-44s %9s %9s %8s %7s\n' "" "wall ms" "files/s" "MB/s" "ratio"
printf '%-44s %9d\n' "wine start-up alone (cmd /c exit)" "$startup_ms"
printf '%-44s %9d %9s %8s %7s\n' "xcopy /e /i (baseline)" "$xcopy_ms" "$(rate "$files" "$xcopy_ms")" \
  "$(rate "$megabytes" "$xcopy_ms")" "1.00x"
printf '%-44s %9d %9s %8s %7sx\n' "silent install" "$install_ms" "$(rate "$files" "$install_ms")" \
  "$(rate "$megabytes" "$install_ms")" "$(ratio "$install_ms" "$xcopy_ms")"
without=$((install_ms - wait_ms))
printf '%-44s %9d %9s %8s %7sx\n' "silent install less the wait after the copy" "$without" \
  "$(rate "$files" "$without")" "$(rate "$megabytes" "$without")" "$(ratio "$without" "$xcopy_ms")"
echo "The installer's time includes the slideshow's minimum of $slideshow_ms ms, which the copy page waits out"
echo "even in silent mode: $wait_ms ms of waiting after the copy in this run."
echo "$installed files installed in C:\\Program Files\\V Arnel\\Tunaro 33."
echo "Installer peak resident memory: $(tail -n 1 "$rss_file" 2>/dev/null) KB (ru_maxrss of the process that wine"
echo "becomes; the wineserver is not counted)."
if [ -n "$log" ]; then
  echo "Installer phases of 10 ms or more (from its log):"
  phases | awk '$1 >= 10 { printf "  %-50s %6d ms\n", $2, $1 }'
fi
