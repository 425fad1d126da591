#!/usr/bin/env bash
# Converts every example drawing twice: with torvanesub as a parent application calls it (the sample
# Torvane.dat beside it) into out/torvanesub/, and with drawconv's defaults into out/; says each image's size.
set -uo pipefail
build=${1:-build}
top=$(cd "$(dirname "$0")/.." && pwd)
out="$top/out"
mkdir -p "$out/torvanesub"
shopt -s nullglob
sources=("$top"/examples/*.{jww,jws,jwc,jwk,m7})
if [ ${#sources[@]} -eq 0 ]; then
  echo "no example drawings in examples/"
  exit 1
fi

# Width and height of a PNG, from its header.
png_size() {
  local w h
  read -r w h < <(od -An -tu1 -j16 -N8 "$1" | awk '{print $1*16777216+$2*65536+$3*256+$4, $5*16777216+$6*65536+$7*256+$8}')
  echo "${w} x ${h}"
}

dat="$top/$build/Torvane.dat"
line16=$(sed -n '16p' "$dat" | tr -d '\r')
line17=$(sed -n '17p' "$dat" | tr -d '\r')
line18=$(sed -n '18p' "$dat" | tr -d '\r')
echo "torvanesub ARG1 ARG2 SOURCE DEST, with $build/Torvane.dat (a copy of examples/Torvane.dat):"
dpis=(pixels 36 72 100 120 144 160 200 240 300 360 400 480 600 720 800 960 1000 1200)
if [ "$line16" -ge 1 ] 2>/dev/null && [ "$line16" -le 18 ]; then
  choice="${dpis[$line16]} dpi over each drawing's paper"
elif [ "$line16" = 0 ]; then
  choice="$line17 x $line18 pixels"
else
  choice="300 dpi over each drawing's paper"
fi
echo "  line 16 = $line16: $choice; symbols (.jws .jwk) have no paper and take lines 17-18: $line17 x $line18"
failed=0
for src in "${sources[@]}"; do
  name=$(basename "$src")
  dst="$out/torvanesub/${name%.*}.png"
  rm -f "$dst"
  if "$top/$build/torvanesub" demo demo "$src" "$dst"; then
    echo "  examples/$name -> out/torvanesub/$(basename "$dst")  $(png_size "$dst")"
  else
    echo "  examples/$name -> failed (exit $?)"
    failed=1
  fi
done

echo "drawconv examples/* -o out/ (its defaults: the paper at 150 dpi; symbols over their extents at 150 dpi):"
if "$top/$build/drawconv" -q -o "$out/" "${sources[@]}"; then
  for src in "${sources[@]}"; do
    name=$(basename "$src")
    dst="$out/${name%.*}.png"
    echo "  examples/$name -> out/$(basename "$dst")  $(png_size "$dst")"
  done
else
  failed=1
fi
echo "${#sources[@]} drawings converted twice into $out"
exit $failed
