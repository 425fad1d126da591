#!/usr/bin/env bash
# Sourced by the benchmark scripts: the best of several timed runs, and the ratio of two figures. The caller
# sets $work (a scratch folder) and $runs.

# best "wall cpu peak_MiB" of $runs runs of a command writing $out (removed before each run); the size of the
# last $out is left in $work/size.txt.
measure() {
  local out=$1; shift
  local best=""
  for _ in $(seq $runs); do
    rm -f "$out"
    /usr/bin/time -f '%e %U %S %M' -o "$work/time.txt" "$@" > /dev/null 2>&1 || { echo "fail fail fail"; return; }
    stat -c %s "$out" > "$work/size.txt" 2> /dev/null || echo - > "$work/size.txt"
    read -r wall user sys kib < <(tail -n 1 "$work/time.txt")
    local line
    line=$(awk "BEGIN { printf \"%.2f %.2f %.0f\", $wall, $user + $sys, $kib / 1024 }")
    if [ -z "$best" ] || awk "BEGIN { exit !(${line%% *} < ${best%% *}) }"; then best=$line; fi
  done
  rm -f "$out"
  echo "$best"
}

ratio() { case "$1$2" in *[!0-9.]* | "") echo "-" ;; *) awk "BEGIN { if ($2 > 0) printf \"%.2f\", $1 / $2; else print \"-\" }" ;; esac; }
