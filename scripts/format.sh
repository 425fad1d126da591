#!/usr/bin/env bash
# Checks (default) or rewrites (--fix) the C++ sources against .clang-format.
set -euo pipefail
cd "$(dirname "$0")/.."
mapfile -t files < <(find . \( -path './.*' -o -path './build*' -o -path ./out \) -prune -o -type f \
  \( -name '*.cpp' -o -name '*.h' \) -print | sort)
if [ "${1:-}" = "--fix" ]; then
  clang-format -i "${files[@]}"
  exit 0
fi
clang-format --dry-run --Werror "${files[@]}"
