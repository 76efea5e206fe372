#!/usr/bin/env bash
# Benchmark, under Wine: a silent install of a generated payload by the real
# x86_64 installer against Wine's own `xcopy /e /i` of the same payload, both
# timed in the same fresh prefix, several runs (a fresh prefix each, the order
# of the two alternating), medians reported. Not part of scripts/test.sh.
#
# The payload (the generator of bench/install_bench.cpp: about 5,000 files and
# 220 MB of mixed sizes, half of them versioned libraries; with --realistic a
# media program's shape, 60 libraries and programs, 5,000 data files and three
# large files) is written once and copied into each run's copy of
# build/win64/setup under "Playmoor\Bench Payload\", so the install copies it
# with the program tree. Times are wall clock and include Wine's start-up of
# the program, measured alone too (`cmd /c exit`). In silent mode the copy
# page still waits out the slideshow's minimum time; the wait is read from the
# installer's log and the ratio shown with and without it.
#
# Peak memory is each process's maximum resident size (/usr/bin/time), also
# for xcopy and for two plain programs (cmd and a message box), which show
# Wine's own share. Wine's own cost of the registration phase is measured by
# bench/RegisterLibraries.c registering every installed library again.
#
#   bash scripts/bench-install-wine.sh [--realistic] [--runs N]   (default 3)
set -euo pipefail
cd "$(dirname "$0")/.."
runs=3
realistic=()
while [ $# -gt 0 ]; do
  case "$1" in
    --realistic) realistic=(--realistic); shift ;;
    --runs) runs=$2; shift 2 ;;
    --runs=*) runs=${1#--runs=}; shift ;;
    *) echo "usage: bench-install-wine.sh [--realistic] [--runs N]" >&2; exit 2 ;;
  esac
done
command -v wine >/dev/null 2>&1 || { echo "bench-install-wine: wine is not installed" >&2; exit 1; }
cmake --preset native >/dev/null
cmake --build --preset native -j2 --target install_bench wine_bench_programs >/dev/null
cmake --preset win64 >/dev/null
cmake --build --preset win64 -j2 --target vn_installer vn_demo_setup >/dev/null

payload=$(mktemp -d "${TMPDIR:-/tmp}/vn-bench-payload.XXXXXX")
. scripts/wine-env.sh
trap 'set +e; vn_wine_cleanup; rm -rf "$payload"' EXIT  # the clean-up tolerates a wineserver already gone
build/native/bin/install_bench --write-payload "$payload" "${realistic[@]}" build/win64/setup

milliseconds() { echo $(($(date +%s%N) / 1000000)); }
peak_file() { echo "$WINEPREFIX/peak-$1"; }
timed() {  # timed NAME COMMAND...: runs it, waits for the wineserver, prints the wall time in ms; the status in $?
  local name=$1 started status=0
  shift
  started=$(milliseconds)
  /usr/bin/time -o "$(peak_file "$name")" -f %M "$@" >"$WINEPREFIX/out-$name" 2>&1 || status=$?
  wineserver -w
  echo $(($(milliseconds) - started))
  return $status
}
peak_mb() { awk '{ kb = $1 } END { printf "%.1f", kb / 1024 }' "$(peak_file "$1")"; }

one_run() {  # one_run N: one fresh prefix, one xcopy and one install; appends a row to $rows
  local run=$1 C setup files megabytes startup_ms xcopy_ms install_ms install_status=0 log
  [ "$run" = 1 ] || { vn_wine_cleanup; vn_wine_setup; }
  C="$WINEPREFIX/drive_c"
  setup="$C/Tunaro Setup"
  cp -r build/win64/setup "$setup"
  cp -r "$payload" "$setup/Playmoor/Bench Payload"
  cp build/native/bench/StartupMessageBox.exe build/native/bench/RegisterLibraries.exe "$C/"
  files=$(find "$setup/Playmoor" -type f | wc -l)
  megabytes=$(du -sm "$setup/Playmoor" | cut -f1)
  startup_ms=$(timed cmd wine cmd /c exit) || true
  timed box wine 'C:\StartupMessageBox.exe' 'C:\box-marks.txt' >/dev/null || true
  run_xcopy() {
    xcopy_ms=$(timed xcopy wine xcopy /e /i /q 'C:\Tunaro Setup\Playmoor' 'C:\Bench Xcopy') ||
      { echo "bench-install-wine: xcopy failed" >&2; exit 1; }
  }
  run_install() {
    install_ms=$(cd "$setup" && timed install wine "Tunaro Install Wizard.exe" /Silent) || install_status=$?
  }
  if [ $((run % 2)) = 1 ]; then run_xcopy; run_install; else run_install; run_xcopy; fi
  # Wine passes on the low 8 bits of the exit code: 0 completed, 194 = 3010.
  if [ "$install_status" != 0 ] && [ "$install_status" != 194 ]; then
    echo "bench-install-wine: the install ended with status $install_status" >&2
    exit 1
  fi
  local dest="$C/Program Files/V Arnel/Tunaro 33"
  local installed
  installed=$(find "$dest" -type f 2>/dev/null | wc -l)
  log=$(find "$C/users" -name 'Tunaro Install Wizard*.log' | head -n 1)
  cp "$log" "$payload.last.log"
  # The copy blocks the page's message loop, so most of the slideshow is waited
  # out after it: the wizard's time less the copy-and-install sequence's.
  local wait_ms=$(($(phase_ms CInstallWizard::DoModal) - $(phase_ms CInstallFiles::CopyAndInstall)))
  local loop
  loop=$(cd "$C" && vn_wine_text wine 'C:\RegisterLibraries.exe' 'C:\Program Files\V Arnel\Tunaro 33')
  wineserver -w
  # run files MB installed startup xcopy install wait copy register peak(install xcopy cmd box) loop(n ok load call free)
  rows+=("$run $files $megabytes $installed $startup_ms $xcopy_ms $install_ms $wait_ms \
$(phase_ms CInstallFiles::InstallProgramFiles) $(phase_ms CInstallFiles::RegisterProgramFiles) \
$(peak_mb install) $(peak_mb xcopy) $(peak_mb cmd) $(peak_mb box) $loop")
  echo "run $run: ${rows[-1]}"
}
phases() {  # "<ms> <scope>" for every "<scope>: Finish ... (<n> ms)" line of the last run's log
  sed -nE 's/^[^]]*\] (.+): Finish.*\(([0-9]+) ms\)\r?$/\2 \1/p' "$payload.last.log"
}
phase_ms() { phases | awk -v scope="$1" '$2 == scope { ms = $1 } END { print ms + 0 }'; }

rows=()
echo "columns: run files MB installed wine-start xcopy install wait-after-copy copy-phase register-phase" \
  "peak-MB(install xcopy cmd box) plain-registration(libraries registered load-ms call-ms free-ms)"
for run in $(seq 1 "$runs"); do one_run "$run"; done

column_median() {  # column_median EXPRESSION: the median over the runs of an awk expression of a row's fields
  printf '%s\n' "${rows[@]}" | awk "{ print $1 }" | sort -g |
    awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'
}
read -r files megabytes installed <<<"$(printf '%s\n' "${rows[0]}" | awk '{ print $2, $3, $4 }')"
echo
shape="half of them versioned libraries"
[ ${#realistic[@]} = 0 ] || shape="a media program's shape"
echo "Payload: $files files, $megabytes MB ($shape); $installed files installed."
echo "Medians of $runs runs (a fresh prefix each; wall clock, ms):"
printf '  %-52s %8s\n' \
  "Wine's start of a program (cmd /c exit)" "$(column_median '$5')" \
  "xcopy /e /i (baseline)" "$(column_median '$6')" \
  "silent install" "$(column_median '$7')" \
  "  waited after the copy for the slideshow's minimum" "$(column_median '$8')" \
  "  copy phase (InstallProgramFiles)" "$(column_median '$9')" \
  "  registration phase (RegisterProgramFiles)" "$(column_median '$10')" \
  "plain program registering the installed libraries" "$(column_median '$17 + $18 + $19')"
echo "Ratios to xcopy (median of the runs' ratios):"
printf '  %-52s %8.2f\n' \
  "silent install" "$(column_median '$7 / $6')" \
  "silent install less the wait after the copy" "$(column_median '($7 - $8) / $6')"
echo "Peak resident memory (median, MB):"
printf '  %-52s %8s\n' "installer" "$(column_median '$11')" "xcopy" "$(column_median '$12')" \
  "cmd /c exit" "$(column_median '$13')" "message box program" "$(column_median '$14')"
echo "The plain registration loaded $(printf '%s\n' "${rows[0]}" | awk '{ print $15 }') libraries and registered" \
  "$(printf '%s\n' "${rows[0]}" | awk '{ print $16 }') (first run)."
echo "Installer phases of 10 ms or more in all (last run's log; a phase run more than once is summed):"
phases | awk '{ if (!($2 in total)) order[++n] = $2; total[$2] += $1; count[$2]++ }
  END { for (i = 1; i <= n; i++) if (total[order[i]] >= 10)
          printf "  %-50s %6d ms%s\n", order[i], total[order[i]], (count[order[i]] > 1 ? " (" count[order[i]] " times)" : "") }'
