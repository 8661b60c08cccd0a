#!/bin/sh
# Runs every fuzz target of a fuzz build for a bounded time each, starting
# from the committed seeds; new inputs stay in the build directory.
# Usage: run-fuzzers.sh BUILD_DIR SECONDS_PER_TARGET
set -u
build=$(cd "${1:-build-fuzz}" && pwd)  # the targets change directory
seconds=${2:-60}
here=$(cd "$(dirname "$0")" && pwd)
status=0
found=0
for target in "$build"/tests/fuzz/fuzz_*; do
  [ -f "$target" ] && [ -x "$target" ] || continue
  found=1
  name=$(basename "$target")
  short=${name#fuzz_}
  work="$build/fuzz-work/$short"
  mkdir -p "$work/corpus" "$work/artifacts"
  seeds="$here/corpus/$short"
  [ -d "$seeds" ] || seeds=""
  # The shipped levels are seeds of the level reader too.
  if [ "$short" = level_file ] && [ -d "$here/../../data/levels" ]; then
    seeds="$seeds $(cd "$here/../../data/levels" && pwd)"
  fi
  echo "== $name: ${seconds} s"
  # -timeout: one input taking this long is a hang; -rss_limit_mb: a runaway
  # allocation is a fault too.
  if "$target" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=1024 \
       -print_final_stats=1 -artifact_prefix="$work/artifacts/" \
       "$work/corpus" $seeds >"$work/log" 2>&1; then
    grep -E '^(Done|stat::number_of_executed_units|stat::peak_rss_mb)' "$work/log" | tr '\n' ' '
    echo
  else
    echo "!! $name failed; its log ($work/log) ends with:"
    tail -n 60 "$work/log"
    echo "!! inputs that failed: $work/artifacts/"
    status=1
  fi
done
if [ "$found" -eq 0 ]; then
  echo "no fuzz targets in $build/tests/fuzz"
  exit 1
fi
exit $status
