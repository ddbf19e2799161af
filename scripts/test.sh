#!/usr/bin/env bash
# Every test: native (sanitizers on), then Win32 under Wine, then the release
# build must compile and link statically and its package pass its checks.
# Ends with "N passed, N failed".
set -uo pipefail
ROOT="$(cd "$(dirname "$0")/.." && pwd)"
cd "$ROOT"
passed=0
failed=0
results="$ROOT/build/test-results"
rm -rf "$results"
mkdir -p "$results"

# Adds the counts of one GoogleTest XML report; a run that left no report
# (a crash) counts as one failure.
count_report() {
  local name="$1" xml="$2" rc="$3"
  if [ ! -s "$xml" ]; then
    echo "FAILED: $name ended (exit $rc) without a report"
    failed=$((failed + 1))
    return
  fi
  local tests fails skipped
  tests=$(grep -o '<testsuites [^>]*' "$xml" | grep -o ' tests="[0-9]*"' | grep -o '[0-9]*')
  fails=$(grep -o '<testsuites [^>]*' "$xml" | grep -o ' failures="[0-9]*"' | grep -o '[0-9]*')
  skipped=$(grep -c 'result="skipped"' "$xml" || true)
  tests=${tests:-0}
  fails=${fails:-0}
  passed=$((passed + tests - fails - skipped))
  failed=$((failed + fails))
  if [ "$rc" != 0 ] && [ "$fails" = 0 ]; then
    echo "FAILED: $name exited $rc"
    failed=$((failed + 1))
  fi
}

step() { printf '\n== %s\n' "$*"; }

step "include layers"
if bash scripts/include-check.sh; then passed=$((passed + 1)); else failed=$((failed + 1)); fi

step "native build"
if bash scripts/build.sh native; then
  step "native tests"
  build/native/tests/native_tests --gtest_brief=1 --gtest_output="xml:$results/native.xml"
  count_report native "$results/native.xml" $?
  # The benchmark is no test (nothing here depends on the machine's speed),
  # but one run at a hundredth of its sizes keeps it working.
  step "native benchmark, one smoke run"
  if BENCH_SMOKE=1 build/native/bench/native_bench --csv="$results/bench-smoke.csv" \
       >"$results/bench-smoke.log" 2>&1; then
    echo "native_bench smoke run: $(($(wc -l <"$results/bench-smoke.csv") - 1)) figures"
    passed=$((passed + 1))
  else
    echo "FAILED: native_bench smoke run (log: $results/bench-smoke.log)"
    tail -20 "$results/bench-smoke.log"
    failed=$((failed + 1))
  fi
else
  echo "FAILED: native build"; failed=$((failed + 1))
fi

# shellcheck source=wine-env.sh
source scripts/wine-env.sh
wine_pick_build
step "$RELEASE_BUILD build"
if bash scripts/build.sh "$RELEASE_BUILD"; then
  wine_prefix_ready
  # Everything at 96 DPI, then the main window's cases at 144 and 192 DPI:
  # Wine takes the scale from the registry when a process starts. The
  # prefix's own scale is put back afterwards.
  trap wine_restore_dpi EXIT
  for dpi in 96 144 192; do
    filter='*'
    [ "$dpi" = 96 ] || filter='MainWindow*'
    step "Win32 tests under Wine ($RELEASE_BUILD build, $dpi DPI, $filter)"
    wine_set_dpi "$dpi"
    xml_win="$results/win32-${dpi}dpi.xml"
    RENAMORA_TEST_DPI=$dpi timeout 1200 "$RELEASE_WINE" \
      "build/$RELEASE_BUILD/tests/win32_tests.exe" --gtest_brief=1 --gtest_filter="$filter" \
      --gtest_output="xml:Z:${xml_win//\//\\}"
    rc=$?
    count_report "win32 at $dpi DPI" "$xml_win" $rc
  done
  wine_restore_dpi
  trap - EXIT
  # The start-up refusal, under a locale whose code page is not 936 (C
  # gives Western 1252), with Wine set to XP, 7 and 10 in turn: each keeps
  # the setting somewhere else. The other runs skip that case.
  trap 'wine_set_windows ""' EXIT
  for windows in winxp win7 win10; do
    step "Win32 start-up under another code page (Wine set to $windows)"
    wine_set_windows "$windows"
    xml_cp="$results/win32-codepage-$windows.xml"
    LC_ALL=C RENAMORA_OTHER_CODE_PAGE=1 RENAMORA_TEST_WINDOWS=$windows timeout 300 \
      "$RELEASE_WINE" "build/$RELEASE_BUILD/tests/win32_tests.exe" --gtest_brief=1 \
      --gtest_filter='StartUp.UnderAnotherCodePage*' --gtest_output="xml:Z:${xml_cp//\//\\}"
    count_report "win32 start-up under another code page on $windows" "$xml_cp" $?
  done
  wine_set_windows ""
  trap - EXIT
  /usr/lib/wine/wineserver -k 2>/dev/null || true
else
  echo "FAILED: $RELEASE_BUILD build"; failed=$((failed + 1))
fi

step "fuzzers, a short run each"
while IFS= read -r line; do
  echo "$line"
  case "$line" in
    "fuzz "*) passed=$((passed + 1)) ;;
    "FAILED: fuzz "*) failed=$((failed + 1)) ;;
  esac
done < <(FUZZ_SECONDS="${FUZZ_SECONDS:-3}" bash scripts/fuzz.sh 2>&1 || true)

step "win32 release build and package"
if bash scripts/build.sh win32; then
  # The second build in another folder is `make release-check`'s, for CI.
  while IFS= read -r line; do
    echo "$line"
    case "$line" in
      "package: "*) passed=$((passed + 1)) ;;
      "FAILED: package: "*) failed=$((failed + 1)) ;;
    esac
  done < <(bash scripts/release-check.sh --package 2>&1)
else
  echo "FAILED: win32 build"; failed=$((failed + 1))
fi

echo
echo "$passed passed, $failed failed"
# Kept with the commit it counted (where the sources were that commit's), for
# `make fresh-check` to compare with.
commit=$(git diff --quiet HEAD 2>/dev/null && git rev-parse HEAD || echo changed)
printf '%s passed, %s failed\n%s\n' "$passed" "$failed" "$commit" >"$results/summary"
[ "$failed" = 0 ]
