#!/usr/bin/env bash
# Converts every example drawing into out/, the way a parent application would call the converter.
set -uo pipefail
build=${1:-build}
top=$(cd "$(dirname "$0")/.." && pwd)
out="$top/out"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$out"
cp "$top/$build/torvanesub" "$work/"
# Torvane.dat: 18 lines; line 16 picks the resolution (9 = 300 dpi), lines 17-18 the pixel size.
printf '%s\r\n' 50 50 480 480 1 0 0 0 0 "" "" "$work" 1 Windows 0 2 1600 1200 > "$work/Torvane.dat"
shopt -s nullglob
n=0
for src in "$top"/examples/*.{jww,jws,jwc,jwk,m7}; do
  name=$(basename "$src")
  dst="$out/${name%.*}.png"
  rm -f "$dst"
  if "$work/torvanesub" demo demo "$src" "$dst"; then
    echo "  $name -> out/$(basename "$dst")"
  else
    echo "  $name -> failed (exit $?)"
  fi
  n=$((n + 1))
done
if [ "$n" -eq 0 ]; then
  echo "no example drawings in examples/"
else
  echo "$n drawings converted into $out"
fi
