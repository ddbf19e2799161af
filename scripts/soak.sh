#!/usr/bin/env bash
# Long property runs: SEQUENCES random command sequences natively (default
# 100000) and, when WINE_SEQUENCES is set, that many on real files under
# Wine. RENAMORA_PROPERTY_BASE moves the first seed. Exits non-zero on any
# failure, after printing the seeds that failed.
set -euo pipefail
ROOT="$(cd "$(dirname "$0")/.." && pwd)"
cd "$ROOT"
bash scripts/build.sh native
RENAMORA_PROPERTY_SEQUENCES="${SEQUENCES:-100000}" \
  build/native/tests/native_tests --gtest_filter='NothingIsLost.*'
if [ -n "${WINE_SEQUENCES:-}" ]; then
  # shellcheck source=wine-env.sh
  source scripts/wine-env.sh
  wine_pick_build
  bash scripts/build.sh "$RELEASE_BUILD"
  wine_prefix_ready
  RENAMORA_WINE_SEQUENCES="$WINE_SEQUENCES" \
    "$RELEASE_WINE" "build/$RELEASE_BUILD/tests/win32_tests.exe" --gtest_filter='NothingIsLostOnRealFiles.*'
fi
