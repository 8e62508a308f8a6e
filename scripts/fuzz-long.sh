#!/bin/bash
# Runs every fuzz target for longer than the test command does (default
# 600 s each), and keeps what it finds in a corpus beside the build.
#   scripts/fuzz-long.sh [SECONDS_PER_TARGET]
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
seconds=${1:-600}
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz -j "$(nproc)"
for fuzzer in build/fuzz/tests/fuzz/fuzz_*; do
  [ -x "$fuzzer" ] || continue
  name=${fuzzer##*/fuzz_}
  mkdir -p "build/fuzz/long-corpus/$name"
  echo "== $name for $seconds s"
  "$fuzzer" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
    -artifact_prefix="build/fuzz/long-corpus/$name-" \
    "build/fuzz/long-corpus/$name" "tests/fuzz/corpus/$name"
done
echo "New inputs are in build/fuzz/long-corpus; copy good ones into tests/fuzz/corpus."
