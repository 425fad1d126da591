#!/usr/bin/env bash
# Checks (default) or rewrites (--fix) the C++ sources against .clang-format.
set -euo pipefail
cd "$(dirname "$0")/.."
mapfile -t files < <(find app util graphics platform formats globals tests bench -type f \( -name '*.cpp' -o -name '*.h' \) 2>/dev/null | sort)
if [ "${1:-}" = "--fix" ]; then
  clang-format -i "${files[@]}"
  exit 0
fi
clang-format --dry-run --Werror "${files[@]}"
