#!/usr/bin/env bash
# Turns res/icon.svg into res/renamora.ico: a 256 x 256 32-bit image stored
# PNG-compressed (what Windows expects for the large size), plus 48, 32 and 16
# pixel 32-bit images so the title bar and the task bar get pixels drawn for
# their size rather than a blurry shrink of the large one.
#
# The .ico is committed; the build never runs this. Run it again after
# editing the SVG:  bash res/make-icon.sh
# Needs rsvg-convert (librsvg2-bin) and ImageMagick, both installed by
# scripts/setup.sh.
set -euo pipefail
RES="$(cd "$(dirname "$0")" && pwd)"
svg="$RES/icon.svg"
ico="$RES/renamora.ico"

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

# At 32 px and below the shadow, the ferrule ridges and the eraser's shading
# are smaller than a pixel and only muddy the picture; the pencil's outline
# is thickened instead so it still separates from the square.
cat >"$work/small.css" <<'CSS'
.detail { display: none; }
.outline { stroke-width: 9px; }
CSS

render() {  # size [stylesheet]
  local size="$1" style=()
  if [ $# -gt 1 ]; then style=(--stylesheet "$2"); fi
  rsvg-convert "${style[@]}" --width "$size" --height "$size" --keep-aspect-ratio \
    --format png --output "$work/raw-$size.png" "$svg"
  # Force 8-bit RGBA so every entry carries a full alpha channel.
  convert "$work/raw-$size.png" -background none -alpha set -depth 8 "PNG32:$work/$size.png"
}

render 256
render 48
render 32 "$work/small.css"
render 16 "$work/small.css"

# ImageMagick stores an ICO entry of 256 x 256 as PNG and smaller ones as
# 32-bit BMP (with an AND mask) when the image has alpha.
convert "$work/256.png" "$work/48.png" "$work/32.png" "$work/16.png" \
  -alpha set "ICO:$work/out.ico"

# Check the result before replacing the committed file.
u8() { od -An -tu1 -j "$2" -N1 "$1" | tr -d ' '; }
u16() { od -An -tu2 --endian=little -j "$2" -N2 "$1" | tr -d ' '; }
u32() { od -An -tu4 --endian=little -j "$2" -N4 "$1" | tr -d ' '; }
out="$work/out.ico"
[ "$(u16 "$out" 0)" = 0 ] && [ "$(u16 "$out" 2)" = 1 ] || { echo "not an icon file" >&2; exit 1; }
count="$(u16 "$out" 4)"
[ "$count" = 4 ] || { echo "expected 4 images, found $count" >&2; exit 1; }
seen=""
for ((i = 0; i < count; i++)); do
  entry=$((6 + 16 * i))
  w="$(u8 "$out" "$entry")"; h="$(u8 "$out" $((entry + 1)))"
  [ "$w" = 0 ] && w=256
  [ "$h" = 0 ] && h=256
  bpp="$(u16 "$out" $((entry + 6)))"
  size="$(u32 "$out" $((entry + 8)))"; offset="$(u32 "$out" $((entry + 12)))"
  magic="$(od -An -tx1 -j "$offset" -N8 "$out" | tr -d ' \n')"
  if [ "$magic" = 89504e470d0a1a0a ]; then
    kind=PNG
    # IHDR: bit depth 8 and colour type 6 (RGBA) make it 32-bit with alpha.
    depth="$(u8 "$out" $((offset + 24)))"; ctype="$(u8 "$out" $((offset + 25)))"
    [ "$depth" = 8 ] && [ "$ctype" = 6 ] || { echo "${w}px PNG is not 8-bit RGBA" >&2; exit 1; }
    bpp=32
  else
    kind=BMP
    bmpbits="$(u16 "$out" $((offset + 14)))"
    [ "$bmpbits" = 32 ] || { echo "${w}px BMP has $bmpbits bits per pixel" >&2; exit 1; }
  fi
  [ "$w" = "$h" ] || { echo "entry $i is not square" >&2; exit 1; }
  [ "$bpp" = 32 ] || { echo "${w}px entry has $bpp bits per pixel" >&2; exit 1; }
  if [ "$w" = 256 ] && [ "$kind" != PNG ]; then
    echo "the 256 px entry is not PNG-compressed" >&2; exit 1
  fi
  echo "  ${w}x${h} ${bpp}-bit $kind, $size bytes"
  seen="$seen $w"
done
[ "$seen" = " 256 48 32 16" ] || { echo "unexpected sizes:$seen" >&2; exit 1; }

mv "$out" "$ico"
echo "wrote $ico"
