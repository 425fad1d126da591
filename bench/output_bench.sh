#!/usr/bin/env bash
# Time and peak memory of writing a background-only 4961 x 3508 image (A3 at 300 dpi) per format.
# Usage: bench/output_bench.sh [build-folder]
set -euo pipefail
build=${1:-build}
top=$(cd "$(dirname "$0")/.." && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp "$top/$build/torvanesub" "$work/"
printf '%s\r\n' 50 50 480 480 1 0 0 0 0 "" "" "$work" 1 Windows 0 0 4961 3508 > "$work/Torvane.dat"
# Not a drawing: the run sizes the bitmap, clears it and encodes it, which is what we measure here.
echo "not a drawing" > "$work/blank.jww"
printf '%-6s %10s %12s %12s\n' format seconds peak_MiB bytes
for ext in png bmp jpg gif tif webp; do
  rm -f "$work/out.$ext"
  /usr/bin/time -f '%e %M' -o "$work/time.txt" "$work/torvanesub" a b "$work/blank.jww" "$work/out.$ext" 2>/dev/null || true
  read -r secs kib < <(tail -n 1 "$work/time.txt")
  size=$(stat -c %s "$work/out.$ext" 2>/dev/null || echo 0)
  printf '%-6s %10s %12s %12s\n' "$ext" "$secs" "$((kib / 1024))" "$size"
done
