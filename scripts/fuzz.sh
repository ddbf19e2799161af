#!/usr/bin/env bash
# Builds the libFuzzer targets with clang and runs each for FUZZ_SECONDS
# (default 60) from its committed seed corpus. New inputs go to a scratch
# corpus under build/, so the committed seeds stay as they are.
set -euo pipefail
ROOT="$(cd "$(dirname "$0")/.." && pwd)"
seconds="${FUZZ_SECONDS:-60}"
dir="$ROOT/build/fuzz"
# No Makefile: the last configuration failed, or there was none.
if [ ! -f "$dir/Makefile" ]; then
  rm -f "$dir/CMakeCache.txt"
  CXX=clang++ cmake -S "$ROOT" -B "$dir" -DRENAMORA_FUZZ=ON -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null ||
    { echo "FAILED: fuzz build (configure)"; exit 1; }
fi
cmake --build "$dir" -j "$(nproc)" -- --no-print-directory -s || { echo "FAILED: fuzz build"; exit 1; }
status=0
for target in "$dir"/tests/fuzz/fuzz_*; do
  [ -x "$target" ] || continue
  name="$(basename "$target")"
  seeds="$ROOT/tests/fuzz/corpus/${name#fuzz_}"
  scratch="$dir/corpus/${name#fuzz_}"
  mkdir -p "$scratch"
  if "$target" -max_total_time="$seconds" -max_len=4096 -timeout=10 -rss_limit_mb=4096 \
       -print_final_stats=0 -artifact_prefix="$dir/" "$scratch" "$seeds" >"$dir/$name.log" 2>&1; then
    echo "fuzz $name: ${seconds}s, $(grep -o 'cov: [0-9]*' "$dir/$name.log" | tail -1), no failure"
  else
    echo "FAILED: fuzz $name (log: $dir/$name.log)"
    tail -30 "$dir/$name.log"
    status=1
  fi
done
exit $status
