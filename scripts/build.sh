#!/usr/bin/env bash
# Configures and builds one of the three builds: native, win64 or win32;
# everything, or only the targets named after it.
set -euo pipefail
ROOT="$(cd "$(dirname "$0")/.." && pwd)"
target="$1"
jobs="$(nproc)"
case "$target" in
  native) args=(-DRENAMORA_SANITIZE=ON) ;;
  win64) args=(-DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/mingw-x86_64.cmake") ;;
  # The release; its tests are built from the same sources with the same
  # flags, so that they test the program users get.
  win32) args=(-DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/mingw-i686.cmake" -DCMAKE_BUILD_TYPE=MinSizeRel) ;;
  *) echo "unknown build: $target" >&2; exit 2 ;;
esac
dir="$ROOT/build/$target"
# A configuration that failed (a package missing, say) leaves a cache but no
# Makefile; its cache is dropped, so that the next run configures afresh.
if [ ! -f "$dir/Makefile" ]; then
  rm -f "$dir/CMakeCache.txt"
  cmake -S "$ROOT" -B "$dir" "${args[@]}" >/dev/null
elif [ $# -gt 1 ]; then
  # A target named here may be newer than the build's configuration.
  cmake "$dir" >/dev/null
fi
targets=()
for t in "${@:2}"; do targets+=(--target "$t"); done
cmake --build "$dir" -j "$jobs" "${targets[@]}" -- --no-print-directory ${RENAMORA_BUILD_QUIET:+-s}
