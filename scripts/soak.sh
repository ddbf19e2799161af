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
  bash scripts/build.sh win64
  # shellcheck source=wine-env.sh
  source scripts/wine-env.sh
  wine_prefix_ready
  RENAMORA_WINE_SEQUENCES="$WINE_SEQUENCES" \
    "$WINE64" build/win64/tests/win32_tests.exe --gtest_filter='NothingIsLostOnRealFiles.*'
fi
