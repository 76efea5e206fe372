#!/usr/bin/env bash
# Benchmark, under Wine and Xvfb: the installer's start-up, from process start
# to the licence page painted, against a plain program's, from process start
# to its message box painted, both started the same way in one fresh prefix,
# alternating, several times each. Not part of scripts/test.sh.
#
# Process start is the moment this script starts `wine` (so both sides pay
# Wine's own start of a program). The installer's moment is its log line
# "CLicensePpg::StartAfterBuild: Start", written at once in the page's first
# timer, which Windows delivers only once no window of the thread waits to be
# painted; the plain
# program (bench/StartupMessageBox.c) takes its moment the same way, in the
# first timer of its message box, and closes the box. The installer is ended
# once its line is in the log. The wineserver is kept running between the
# starts, so that no start pays for it; one start of each is a warm-up and not
# counted. The installer's log lines up to its licence page are printed with
# their time since process start: the start-up's phases.
#
#   bash scripts/bench-startup-wine.sh [--runs N]    (default 5)
set -euo pipefail
cd "$(dirname "$0")/.."
runs=5
while [ $# -gt 0 ]; do
  case "$1" in
    --runs) runs=$2; shift 2 ;;
    --runs=*) runs=${1#--runs=}; shift ;;
    *) echo "usage: bench-startup-wine.sh [--runs N]" >&2; exit 2 ;;
  esac
done
command -v wine >/dev/null 2>&1 || { echo "bench-startup-wine: wine is not installed" >&2; exit 1; }
cmake --preset native >/dev/null
cmake --build --preset native -j2 --target wine_bench_programs >/dev/null
cmake --preset win64 >/dev/null
cmake --build --preset win64 -j2 --target vn_installer vn_demo_setup >/dev/null

. scripts/wine-env.sh
trap 'set +e; vn_wine_cleanup' EXIT  # ends every program of the prefix
wineserver -p
C="$WINEPREFIX/drive_c"
setup="$C/Tunaro Setup"
cp -r build/win64/setup "$setup"
cp build/native/bench/StartupMessageBox.exe "$setup/"
marks="$C/startup-marks.txt"

now_us() { echo $(($(date +%s%N) / 1000)); }
# Microseconds since 1970 of a log line's "YYYY-MM-DD hh:mm:ss.mmm" (UTC).
line_us() { echo $(($(date -u -d "${1:0:23}" +%s%N) / 1000)); }

box_start() {  # prints microseconds from process start to the box painted
  local started mark
  rm -f "$marks"
  started=$(now_us)
  (cd "$setup" && wine StartupMessageBox.exe 'C:\startup-marks.txt') >/dev/null 2>&1
  mark=$(tr -d '\r' <"$marks" 2>/dev/null | sed -n 's/^\([0-9]*\) message box shown$/\1/p' | head -n 1)
  [ -n "$mark" ] || { echo "bench-startup-wine: the message box program left no mark" >&2; return 1; }
  echo $((mark - started))
}

installer_log() { find "$C/users" -name 'Tunaro Install Wizard*.log' 2>/dev/null | head -n 1; }
installer_start() {  # prints microseconds from process start to the licence page painted
  local started log line waited=0
  find "$C/users" -name 'Tunaro Install Wizard*.log' -delete 2>/dev/null || true
  started=$(now_us)
  cd "$setup"
  wine "Tunaro Install Wizard.exe" >/dev/null 2>&1 &
  installer_pid=$!
  cd - >/dev/null
  line=""
  while [ -z "$line" ] && [ $waited -lt 1200 ]; do
    sleep 0.05
    waited=$((waited + 1))
    log=$(installer_log)
    [ -n "$log" ] && line=$(grep -a -m 1 'CLicensePpg::StartAfterBuild: Start' "$log" || true)
    kill -0 "$installer_pid" 2>/dev/null || break
  done
  kill -9 "$installer_pid" 2>/dev/null || true
  wait "$installer_pid" 2>/dev/null || true
  installer_pid=""
  [ -n "$line" ] || { echo "bench-startup-wine: no licence page within 60 s" >&2; return 1; }
  cp "$log" "$WINEPREFIX/last-startup.log"
  echo "$started" >"$WINEPREFIX/last-started"
  echo $(($(line_us "$line") - started))
}

median() { sort -n | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : int((v[NR / 2] + v[NR / 2 + 1]) / 2) }'; }

echo "Warm-up (not counted): box $(($(box_start) / 1000)) ms, installer $(($(installer_start) / 1000)) ms"
boxes=()
installers=()
for run in $(seq 1 "$runs"); do
  if [ $((run % 2)) = 1 ]; then
    boxes+=("$(box_start)"); installers+=("$(installer_start)")
  else
    installers+=("$(installer_start)"); boxes+=("$(box_start)")
  fi
  echo "run $run: message box $((${boxes[-1]} / 1000)) ms, licence page $((${installers[-1]} / 1000)) ms"
done
box_ms=$(($(printf '%s\n' "${boxes[@]}" | median) / 1000))
installer_ms=$(($(printf '%s\n' "${installers[@]}" | median) / 1000))
echo
echo "Medians of $runs starts each, from process start:"
printf '  %-40s %6d ms\n' "plain program: message box painted" "$box_ms" \
  "installer: licence page painted" "$installer_ms" "installer less the plain program" "$((installer_ms - box_ms))"
echo "Aim: at most 500 ms more than the plain program."
echo
echo "The last installer start's log up to its licence page (ms since process start):"
started=$(cat "$WINEPREFIX/last-started")
while IFS= read -r entry; do
  entry=${entry%$'\r'}
  entry=${entry#$'\xef\xbb\xbf'}  # the log's byte order mark
  case "$entry" in [0-9][0-9][0-9][0-9]-*) ;; *) continue ;; esac
  printf '  %6d  %s\n' $((($(line_us "$entry") - started) / 1000)) "${entry:24}"
  case "$entry" in *"CLicensePpg::StartAfterBuild: Start"*) break ;; esac
done <"$WINEPREFIX/last-startup.log"
