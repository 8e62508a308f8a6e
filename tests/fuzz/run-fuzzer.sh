#!/bin/bash
# Runs one fuzz target for a bounded time on a copy of its corpus, so the
# corpus kept in the repository is only read.
#   run-fuzzer.sh FUZZER CORPUS_DIR SECONDS
set -euo pipefail
fuzzer=$1 corpus=$2 seconds=$3
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/corpus" "$work/artifacts"
"$fuzzer" -max_total_time="$seconds" -max_len=4096 -timeout=10 -rss_limit_mb=2048 \
  -artifact_prefix="$work/artifacts/" -print_final_stats=1 \
  "$work/corpus" "$corpus" 2>&1 | tail -n 12
status=${PIPESTATUS[0]}
if [ "$status" -ne 0 ]; then
  crash_dir=$(dirname "$fuzzer")/fuzz-failures
  mkdir -p "$crash_dir"
  cp "$work"/artifacts/* "$crash_dir"/ 2>/dev/null || true
  echo "fuzz: $fuzzer failed; the input that broke it is in $crash_dir" >&2
fi
exit "$status"
