#!/usr/bin/env bash
# Builds the libFuzzer targets (preset "fuzz") and runs every fuzz_* program
# for a bounded time over its seed corpus, tests/fuzz/corpus/<name>/ where
# <name> is the program name without "fuzz_". Fails on the first crash,
# sanitizer report, leak or time-out.
#
#   FUZZ_SECONDS   time per target (default 30)
#   FUZZ_SEED      random seed (default 1, so that CI runs repeat; 0 picks one)
#   FUZZ_JOBS      build parallelism (default 2)
set -euo pipefail

root="$(cd "$(dirname "$0")/.." && pwd)"
seconds="${FUZZ_SECONDS:-30}"
jobs="${FUZZ_JOBS:-2}"
cd "$root"

if [ ! -f build/fuzz/build.ninja ]; then
  cmake --preset fuzz
fi
targets=()
for source in tests/fuzz/fuzz_*.cpp; do
  targets+=("$(basename "$source" .cpp)")
done
if [ ${#targets[@]} -eq 0 ]; then
  echo "fuzz-smoke: no fuzz targets"
  exit 0
fi
cmake --build --preset fuzz -j"$jobs" --target "${targets[@]}"

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
failed=0
for target in "${targets[@]}"; do
  name="${target#fuzz_}"
  seeds="tests/fuzz/corpus/$name"
  mkdir -p "$work/$name/corpus" "$work/$name/artifacts"
  corpora=("$work/$name/corpus")  # new inputs go here, never into the tree
  [ -d "$seeds" ] && corpora+=("$seeds")
  echo "fuzz-smoke: $target for ${seconds}s"
  if ! "build/fuzz/bin/$target" "${corpora[@]}" -max_total_time="$seconds" -seed="${FUZZ_SEED:-1}" -timeout=10 -rss_limit_mb=2048 \
      -artifact_prefix="$work/$name/artifacts/" -print_final_stats=1 >"$work/$name/log" 2>&1; then
    echo "fuzz-smoke: $target FAILED"
    tail -n 60 "$work/$name/log"
    for artifact in "$work/$name/artifacts/"*; do
      [ -f "$artifact" ] && echo "input ($(basename "$artifact")): $(base64 -w0 "$artifact")"
    done
    failed=1
  else
    grep -E "^Done|stat::number_of_executed_units" "$work/$name/log" | head -n 2 || true
  fi
done
exit "$failed"
