#!/bin/sh
# Runs each fuzz target of a fuzz build for a bounded time from the committed
# seeds (and the shipped levels). Usage: run-fuzzers.sh BUILD_DIR SECONDS_EACH
set -u
build=$(cd "${1:-build-fuzz}" && pwd)  # the targets change directory
here=$(cd "$(dirname "$0")" && pwd)
status=0
for short in level_file highscores cell_moves; do
  work="$build/fuzz-work/$short"
  mkdir -p "$work/corpus" "$work/artifacts"
  seeds="$here/corpus/$short"
  [ "$short" = level_file ] && seeds="$seeds $here/../../data/levels"
  echo "== fuzz_$short: ${2:-60} s"
  # -timeout: an input this slow is a hang; -rss_limit_mb: so is runaway memory.
  if "$build/tests/fuzz/fuzz_$short" -max_total_time="${2:-60}" -timeout=10 -rss_limit_mb=1024 -print_final_stats=1 \
       -artifact_prefix="$work/artifacts/" "$work/corpus" $seeds >"$work/log" 2>&1; then
    grep -E '^(Done|stat::number_of_executed_units|stat::peak_rss_mb)' "$work/log" | tr '\n' ' '; echo
  else
    echo "!! fuzz_$short failed; the end of $work/log:"; tail -n 40 "$work/log"; status=1
  fi
done
exit $status
