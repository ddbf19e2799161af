#!/usr/bin/env bash
# `make run`: builds the release and starts renamora.exe, the file users get,
# under 32-bit Wine on the current display (where this machine runs no 32-bit
# program: the x86_64 build under 64-bit Wine, with a line saying so). Where
# there is no display, or with --screenshot, it runs the program under Xvfb in
# a Wine virtual desktop instead, drops a generated folder on its window,
# saves a picture of the screen as PNG, prints the file's path and ends.
# DPI=N (e.g. `DPI=144 make screenshot`) runs it at that display scale; the
# prefix's own scale is put back afterwards.
set -euo pipefail
ROOT="$(cd "$(dirname "$0")/.." && pwd)"
cd "$ROOT"

screenshot=0
if [ "${1:-}" = --screenshot ] || [ -z "${DISPLAY:-}" ]; then screenshot=1; fi
dpi="${DPI:-}"
if [ -n "$dpi" ] && { ! [[ "$dpi" =~ ^[0-9]+$ ]] || [ "$dpi" -lt 96 ] || [ "$dpi" -gt 480 ]; }; then
  echo "run: DPI must be a number from 96 to 480, not '$dpi'" >&2
  exit 2
fi

# shellcheck source=wine-env.sh
source scripts/wine-env.sh
wine_pick_build
targets=(renamora)
if [ "$screenshot" = 1 ]; then targets+=(drop_on_window); fi
RENAMORA_BUILD_QUIET=1 bash scripts/build.sh "$RELEASE_BUILD" "${targets[@]}"
exe="$ROOT/build/$RELEASE_BUILD/renamora.exe"
export RENAMORA_WINE_DISPLAY=x11
WINESERVER=/usr/lib/wine/wineserver

if [ "$screenshot" = 0 ]; then
  wine_prefix_ready
  if [ -z "$dpi" ]; then exec "$RELEASE_WINE" "$exe"; fi
  trap wine_restore_dpi EXIT
  wine_set_dpi "$dpi"
  "$RELEASE_WINE" "$exe"
  exit
fi

# The desktop grows with the scale, so the window fits on it.
width=$((800 * ${dpi:-96} / 96))
height=$((600 * ${dpi:-96} / 96))
work="$(mktemp -d)"
xvfb_pid=""
cleanup() {
  "$WINESERVER" -k 2>/dev/null || true
  if [ -n "$xvfb_pid" ]; then kill "$xvfb_pid" 2>/dev/null || true; fi
  rm -rf "$work"
  if [ -n "$dpi" ]; then wine_restore_dpi; fi
}
trap cleanup EXIT

# A display of our own; Xvfb picks a free number and tells it.
Xvfb -displayfd 3 -screen 0 "${width}x${height}x24" -nolisten tcp 3>"$work/display" \
  >/dev/null 2>&1 &
xvfb_pid=$!
for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.1; done
[ -s "$work/display" ] || { echo "run: Xvfb did not start" >&2; exit 1; }
export DISPLAY=":$(head -n1 "$work/display")"

# No process of the prefix may keep the headless driver of the tests.
"$WINESERVER" -k 2>/dev/null || true
wine_prefix_ready
if [ -n "$dpi" ]; then wine_set_dpi "$dpi"; fi
"$RELEASE_WINE" explorer "/desktop=Renamora,${width}x${height}" "Z:${exe//\//\\}" >/dev/null 2>&1 &

# The window with a loaded list: a generated folder of photos is dropped on
# it through its real drop path. SCREENSHOT_DROP names another path to
# drop; set empty, nothing is dropped.
sample="$WINEPREFIX/drive_c/照片/海边旅行"
drop="${SCREENSHOT_DROP-$sample}"
dropped="Z:${drop//\//\\}"
if [ "$drop" = "$sample" ]; then
  rm -rf "$sample" && mkdir -p "$sample"
  for name in 海边日出.jpg 沙滩全家福.jpg 椰林小路.jpg 夕阳下的灯塔.jpg IMG_20240712_0931.jpg \
      IMG_20240712_1015.jpg 海鲜大餐.jpg 潜水_01.jpg 潜水_02.jpg 行程单.txt 门票.pdf; do
    echo "$name" >"$sample/$name"
  done
  trap 'rm -rf "${sample%/*}"; cleanup' EXIT
  dropped='C:\照片\海边旅行'
fi
if [ -n "$drop" ]; then
  # Run in the program's desktop, where it finds the program's window.
  "$RELEASE_WINE" explorer "/desktop=Renamora,${width}x${height}" \
    "$ROOT/build/$RELEASE_BUILD/tests/drop_on_window.exe" "$dropped" ||
    echo "run: nothing was dropped on the window" >&2
fi

# Wait until the window is there and drawn: the screen holds more than the
# desktop's few colours and two pictures a moment apart are the same.
shot="$work/shot.png"
previous=""
for _ in $(seq 60); do
  sleep 1
  import -window root "$shot" 2>/dev/null || continue
  colours=$(convert "$shot" -format %k info: 2>/dev/null || echo 0)
  [ "$colours" -gt 16 ] || continue
  sum=$(identify -format %# "$shot" 2>/dev/null || echo none)
  [ "$sum" = "$previous" ] && break
  previous="$sum"
done

mkdir -p "$ROOT/build/screenshots"
out="$ROOT/build/screenshots/renamora-${dpi:-96}dpi-$(date +%Y%m%d-%H%M%S).png"
cp "$shot" "$out"
echo "$out"
