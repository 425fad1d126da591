#!/usr/bin/env bash
# Whole-process time and peak memory of converting a 100,000-entity JWW drawing at A3 300 dpi to PNG,
# then the in-process steps with the drawing on and off (load, size and encode only).
# Usage: bench/jww_convert_bench.sh [build-folder]
set -euo pipefail
build=${1:-build}
top=$(cd "$(dirname "$0")/.." && pwd)
bin="$top/$build/bench/jww_convert_bench"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp "$top/$build/torvanesub" "$work/"
# Line 16 = 9: 300 dpi on the drawing's A3 paper, 4961 x 3508 pixels.
printf '%s\r\n' 50 50 480 480 1 0 0 0 0 "" "" "$work" 1 Windows 0 9 100 100 > "$work/Torvane.dat"
"$bin" --write-drawing "$work/large.jww"
printf '%-34s %10s %12s %12s\n' run wall_s cpu_s peak_MiB
for i in 1 2; do
  rm -f "$work/out.png"
  if [ -x /usr/bin/time ]; then
    /usr/bin/time -f '%e %U %S %M' -o "$work/time.txt" "$work/torvanesub" a b "$work/large.jww" "$work/out.png"
    read -r secs user sys kib < "$work/time.txt"
    cpu=$(awk "BEGIN { print $user + $sys }")
  else
    start=$(date +%s.%N)
    "$work/torvanesub" a b "$work/large.jww" "$work/out.png"
    secs=$(awk "BEGIN { print $(date +%s.%N) - $start }")
    cpu=-
    kib=0
  fi
  printf '%-34s %10s %12s %12s\n' "torvanesub large.jww -> png ($i)" "$secs" "$cpu" "$((kib / 1024))"
done
"$bin" --benchmark_counters_tabular=true
