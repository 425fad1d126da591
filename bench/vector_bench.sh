#!/usr/bin/env bash
# Vector documents against the PNG of the same run: torvanesub converting generated A3 drawings (100,000 lines,
# 10,000 texts) to PDF, SVG and EPS, each beside the PNG of the same drawing and settings, measured in the
# same run. Prints wall time, CPU time, peak memory and file size, and the ratio of each to the PNG's.
# Usage: bench/vector_bench.sh [build-folder] [cb3]   (cb3: Torvane.dat's resolution choice, default 9 = 300 dpi)
set -euo pipefail
build=${1:-build}
cb3=${2:-9}
top=$(cd "$(dirname "$0")/.." && pwd)
bench="$top/$build/bench/bands_bench"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp "$top/$build/torvanesub" "$work/"
runs=3
printf '%s\r\n' 50 50 480 480 1 0 0 0 0 "" "" "$work" 1 Windows 0 "$cb3" 100 100 > "$work/Torvane.dat"

# shellcheck source=bench/measure.sh
. "$top/bench/measure.sh"

# "wall cpu peak_MiB bytes": the fastest of $runs conversions of DRAWING to EXT, dated alike.
convert() {
  local out="$work/out.$2"
  echo "$(SOURCE_DATE_EPOCH=0 measure "$out" "$work/torvanesub" a b "$work/$1" "$out") $(cat "$work/size.txt")"
}

echo "vector_bench: $(nproc) cores, load average $(cut -d' ' -f1-3 /proc/loadavg) at start; best of $runs runs each;" \
  "Torvane.dat resolution choice $cb3"
"$bench" write lines 100000 3 "$work/lines100k.jww"
"$bench" write texts 10000 3 "$work/texts10k.jww"
for drawing in lines100k.jww texts10k.jww; do
  echo
  echo "$drawing (A3)"
  echo
  echo "| output | wall s | ratio to png | cpu s | ratio | peak MiB | ratio | bytes | ratio |"
  echo "|---|---:|---:|---:|---:|---:|---:|---:|---:|"
  read -r pw pc pm ps <<< "$(convert "$drawing" png)"
  printf '| png | %s | 1.00 | %s | 1.00 | %s | 1.00 | %s | 1.00 |\n' "$pw" "$pc" "$pm" "$ps"
  for ext in pdf svg eps; do
    read -r w c m s <<< "$(convert "$drawing" $ext)"
    printf '| %s | %s | %s | %s | %s | %s | %s | %s | %s |\n' "$ext" "$w" "$(ratio "$w" "$pw")" "$c" \
      "$(ratio "$c" "$pc")" "$m" "$(ratio "$m" "$pm")" "$s" "$(ratio "$s" "$ps")"
  done
done
