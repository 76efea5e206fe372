#!/usr/bin/env bash
# Builds the libFuzzer targets (preset "fuzz") and runs every fuzz_* program
# for a bounded time over its seed corpus, tests/fuzz/corpus/<name>/ where
# <name> is the program name without "fuzz_". Every fuzz_*.cpp of tests/fuzz
# is picked up by itself. Fails on a crash, sanitizer report, leak or time-out.
# Ends with one line per target: executions, coverage, corpus size.
#
#   FUZZ_SECONDS   time per target (default 4: the short run of CI; the long
#                  run is FUZZ_SECONDS=1800, see docs/fuzzing.md)
#   FUZZ_SEED      random seed (default 1, so that CI runs repeat; 0 picks one)
#   FUZZ_JOBS      build parallelism (default 2)
#   FUZZ_PARALLEL  targets run at the same time (default 1)
#   FUZZ_KEEP      a folder that keeps each target's new inputs and log
#                  (default: none, everything goes at the end)
#   FUZZ_TARGETS   names of the targets to run (default: all)
set -euo pipefail

root="$(cd "$(dirname "$0")/.." && pwd)"
seconds="${FUZZ_SECONDS:-4}"
jobs="${FUZZ_JOBS:-2}"
parallel="${FUZZ_PARALLEL:-1}"
cd "$root"

if [ ! -f build/fuzz/build.ninja ]; then
  cmake --preset fuzz
fi
targets=()
if [ -n "${FUZZ_TARGETS:-}" ]; then
  for name in $FUZZ_TARGETS; do targets+=("fuzz_${name#fuzz_}"); done
else
  for source in tests/fuzz/fuzz_*.cpp; do
    targets+=("$(basename "$source" .cpp)")
  done
fi
if [ ${#targets[@]} -eq 0 ]; then
  echo "fuzz-smoke: no fuzz targets"
  exit 0
fi
cmake --build --preset fuzz -j"$jobs" --target "${targets[@]}"

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
keep="${FUZZ_KEEP:-$work/keep}"

# Runs one target; its status goes to $work/<name>.status.
run_target() {
  local target="$1" name="${1#fuzz_}"
  local seeds="tests/fuzz/corpus/$name" out="$keep/$name"
  mkdir -p "$out/corpus" "$out/artifacts"
  local corpora=("$out/corpus")  # new inputs go here, never into the tree
  [ -d "$seeds" ] && corpora+=("$seeds")
  local status=0
  nice -n 10 "build/fuzz/bin/$target" "${corpora[@]}" -max_total_time="$seconds" -seed="${FUZZ_SEED:-1}" \
    -timeout=10 -rss_limit_mb=2048 -artifact_prefix="$out/artifacts/" -print_final_stats=1 \
    >"$out/log" 2>&1 || status=1
  echo "$status" >"$work/$name.status"
}

running=0
for target in "${targets[@]}"; do
  echo "fuzz-smoke: $target for ${seconds}s"
  run_target "$target" &
  running=$((running + 1))
  if [ "$running" -ge "$parallel" ]; then
    wait -n || true
    running=$((running - 1))
  fi
done
wait || true

failed=0
for target in "${targets[@]}"; do
  name="${target#fuzz_}"
  out="$keep/$name"
  runs="$(grep -Eo 'stat::number_of_executed_units: [0-9]+' "$out/log" | grep -Eo '[0-9]+$' || echo 0)"
  cov="$(grep -Eo 'cov: [0-9]+ ft: [0-9]+' "$out/log" | tail -n 1 || true)"
  corpus="$(find "$out/corpus" -type f | wc -l)"
  if [ "$(cat "$work/$name.status" 2>/dev/null || echo 1)" != 0 ]; then
    echo "fuzz-smoke: $target FAILED"
    tail -n 60 "$out/log"
    for artifact in "$out/artifacts/"*; do
      [ -f "$artifact" ] && echo "input ($(basename "$artifact")): $(base64 -w0 "$artifact")"
    done
    failed=1
  else
    echo "fuzz-smoke: $target ok: $runs runs, ${cov:-cov: ?}, $corpus new inputs"
  fi
done
exit "$failed"
