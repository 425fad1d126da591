#!/usr/bin/env bash
# Runs every benchmark binary of a build folder.
set -euo pipefail
build=${1:-build}
for b in "$build"/bench/*_bench bench/*_bench.sh; do
  [ -x "$b" ] || continue
  echo "== $(basename "$b")"
  case "$b" in *.sh) "$b" "$build" ;; *) "$b" --benchmark_counters_tabular=true ;; esac
done
