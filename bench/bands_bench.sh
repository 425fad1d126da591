#!/usr/bin/env bash
# Bands against the floor: the real executable converting generated drawings, beside cairo_floor (Cairo on one
# bitmap, libvips pngsave level 6 without filter) drawing the same geometry, measured in the same run.
# Prints tables of wall time, CPU time and peak memory, each figure of ours beside its floor and their ratio.
# Usage: bench/bands_bench.sh [build-folder] [quick]   (quick: no 1M lines, no A0 at 1200 dpi)
set -euo pipefail
build=${1:-build}
quick=${2:-}
top=$(cd "$(dirname "$0")/.." && pwd)
bench="$top/$build/bench/bands_bench"
floor="$top/$build/bench/cairo_floor"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp "$top/$build/torvanesub" "$work/"
runs=3

# settings CB3: Torvane.dat with resolution choice CB3 (9 = 300 dpi; 2 = 72; 13 = 600; 18 = 1200).
settings() { printf '%s\r\n' 50 50 480 480 1 0 0 0 0 "" "" "$work" 1 Windows 0 "$1" 100 100 > "$work/Torvane.dat"; }

# shellcheck source=bench/measure.sh
. "$top/bench/measure.sh"

# row NAME DRAWING EXT [floor]: ours with 2 threads and 1 thread, the old way (one band the size of the image),
# and the floor, for one drawing.
row() {
  local name=$1 drawing=$2 ext=$3 with_floor=${4:-floor}
  local two one whole fl="- - -"
  two=$(VIPS_CONCURRENCY=2 measure "$work/out.$ext" "$work/torvanesub" a b "$work/$drawing" "$work/out.$ext")
  one=$(VIPS_CONCURRENCY=1 measure "$work/out.$ext" "$work/torvanesub" a b "$work/$drawing" "$work/out.$ext")
  whole=$(measure "$work/whole.$ext" "$bench" convert "$work" "$work/$drawing" "$work/whole.$ext" whole)
  if [ "$with_floor" = floor ]; then
    "$bench" geometry "$work" "$work/$drawing" "$work/geometry.txt"
    fl=$(measure "$work/floor.$ext" "$floor" "$work/geometry.txt" "$work/floor.$ext")
  fi
  read -r w2 c2 m2 <<< "$two"
  read -r w1 c1 m1 <<< "$one"
  read -r ww cw mw <<< "$whole"
  read -r wf cf mf <<< "$fl"
  printf '| %s | %s | %s | %s | %s | %s | %s | %s | %s | %s | %s |\n' "$name" "$wf" "$w2" "$(ratio "$w2" "$wf")" \
    "$w1" "$ww" "$cf" "$c2" "$(ratio "$c2" "$cf")" "$mf" "$m2"
}

header() {
  echo
  echo "$1"
  echo
  echo "| case | floor wall s | ours 2 threads wall s | ratio | ours 1 thread wall s | old way (one band) wall s | floor cpu s | ours cpu s | ratio | floor peak MiB | ours peak MiB |"
  echo "|---|---:|---:|---:|---:|---:|---:|---:|---:|---:|---:|"
}

nproc_line="$(nproc) cores, load average $(cut -d' ' -f1-3 /proc/loadavg) at start"
echo "bands_bench: $nproc_line; best of $runs runs each"

settings 9
"$bench" write lines 100000 3 "$work/lines100k.jww"
"$bench" write texts 10000 3 "$work/texts10k.jww"
header "A3 at 300 dpi (4961 x 3508) to PNG"
row "100,000 lines" lines100k.jww png
row "10,000 texts" texts10k.jww png

header "Entity count: lines at A3 300 dpi to PNG"
for n in 1000 10000 100000 1000000; do
  [ "$n" = 1000000 ] && [ -n "$quick" ] && continue
  "$bench" write lines $n 3 "$work/l$n.jww"
  [ "$n" = 1000000 ] && runs=1
  row "$n lines" "l$n.jww" png
  runs=3
done
"$bench" write long-lines 10000 3 "$work/long.jww"
row "10000 lines across the sheet" long.jww png

header "Pixel count: 10,000 lines, paper and resolution"
for size in "4 2 A4-72dpi" "3 9 A3-300dpi" "0 9 A0-300dpi" "0 13 A0-600dpi" "0 18 A0-1200dpi"; do
  read -r paper cb3 name <<< "$size"
  [ "$name" = A0-1200dpi ] && [ -n "$quick" ] && continue
  settings "$cb3"
  case "$name" in A0-600dpi | A0-1200dpi) runs=1 ;; *) runs=3 ;; esac
  "$bench" write lines 10000 "$paper" "$work/p.jww"
  floor_arg=floor
  [ "$name" = A0-1200dpi ] && floor_arg=none # Cairo cannot make a bitmap of 56160 pixels a side
  row "$name png" p.jww png "$floor_arg"
  [ "$name" = A0-300dpi ] || [ "$name" = A0-1200dpi ] && row "$name tif" p.jww tif "$floor_arg"
done
runs=3
settings 9

echo
echo "PNG encoders on the 100,000-line picture (one thread unless said; only encoding timed):"
echo
"$bench" png-options "$work" "$work/lines100k.jww"
echo
echo "PNG encoders on the 10,000-line picture:"
echo
"$bench" write lines 10000 3 "$work/l10k.jww"
"$bench" png-options "$work" "$work/l10k.jww"
echo
echo "load average at the end: $(cut -d' ' -f1-3 /proc/loadavg)"
