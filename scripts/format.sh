#!/usr/bin/env bash
# Formats the C++ sources with clang-format (.clang-format), or with --check lists the files
# that are not formatted and exits 1.
#   scripts/format.sh [--check]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
mapfile -t files < <(git ls-files '*.cpp' '*.h')
if [[ "${1:-}" == "--check" ]]; then
  clang-format --dry-run --Werror "${files[@]}" 2>/dev/null || {
    echo "Not formatted (run scripts/format.sh):" >&2
    for f in "${files[@]}"; do
      clang-format --dry-run --Werror "$f" >/dev/null 2>&1 || echo "  $f" >&2
    done
    exit 1
  }
else
  clang-format -i "${files[@]}"
fi
