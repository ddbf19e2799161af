#!/usr/bin/env bash
# Builds the benchmark programs as optimised release builds of their own,
# runs them, and prints one table of every figure. The rows also go to
# build/bench/results.csv (metric,value,unit,target,met), so that runs can be
# compared over time. Arguments are passed on to the native program (for
# example --benchmark_filter=MatchRename); BENCH_FILES=N sets the size of the
# Win32 half's tree, BENCH_RUNS=N its runs per figure (at least 5).
set -euo pipefail
ROOT="$(cd "$(dirname "$0")/.." && pwd)"
cd "$ROOT"
jobs="$(nproc)"
out="$ROOT/build/bench"
mkdir -p "$out"
rm -f "$out"/*.csv
header="metric,value,unit,target,met"

# ---- native half: the commands over the in-memory platform -----------------
native="$ROOT/build/bench-native"
# No Makefile: the last configuration failed, or there was none.
if [ ! -f "$native/Makefile" ]; then
  rm -f "$native/CMakeCache.txt"
  cmake -S "$ROOT" -B "$native" -DCMAKE_BUILD_TYPE=Release -DRENAMORA_BENCH=ON \
    -DRENAMORA_TESTS=OFF -DRENAMORA_SANITIZE=OFF >/dev/null
fi
cmake --build "$native" -j "$jobs" --target native_bench -- --no-print-directory
echo "native benchmark: the commands over the in-memory platform, median of 5 runs each"
status=0
"$native/bench/native_bench" --csv="$out/native.csv" "$@" || status=$?

# ---- Win32 half: the real window under Wine, on real files ------------------
# The program is the release build itself (i686, as users get it, under
# 32-bit Wine; where this machine runs no 32-bit code, the x86_64 build) with
# the headless driver, on a generated tree of BENCH_FILES files (default
# 20,000; the environment reaches the program), and writes "$out/win32.csv".
# shellcheck source=wine-env.sh
source "$ROOT/scripts/wine-env.sh"
wine_pick_build
bash "$ROOT/scripts/build.sh" "$RELEASE_BUILD" win32_bench
wine_prefix_ready
echo
win32_csv="$out/win32.csv"
"$RELEASE_WINE" "$ROOT/build/$RELEASE_BUILD/bench/win32_bench.exe" --csv="Z:${win32_csv//\//\\}" ||
  status=$?

# ---- one table --------------------------------------------------------------
results="$out/results.csv"
echo "$header" >"$results"
for part in "$out/native.csv" "$out/win32.csv"; do
  if [ -f "$part" ]; then tail -n +2 "$part" >>"$results"; fi
done
cpu="$(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2- | sed 's/^ *//')"
echo
echo "machine: $(nproc) cores, ${cpu:-unknown CPU}"
awk -F, '
  NR == 1 { printf "%-52s %12s  %-8s %8s  %s\n", "metric", "value", "unit", "target", "met"; next }
  { printf "%-52s %12s  %-8s %8s  %s\n", $1, $2, $3, $4, $5
    if ($5 == "no") missed++ }
  END { printf "\n%d figures, %d targets missed\n", NR - 1, missed }
' "$results"
echo "(also in $results)"
exit $status
