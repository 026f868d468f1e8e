#!/usr/bin/env bash
# Runs clang-tidy (.clang-tidy) over the Qt-free core and the report tool, with the compile
# commands of a configured build; exits 1 on any finding.
#   scripts/tidy.sh [BUILD_DIR]    (default build/)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(realpath -m "${1:-$root/build}")
[[ -f "$build/compile_commands.json" ]] || { echo "tidy.sh: configure $build first (scripts/build.sh)" >&2; exit 2; }
cd "$root"
mapfile -t files < <(git ls-files 'store/*.cpp' 'engine/*.cpp' 'settings/*.cpp' 'views/*.cpp' 'printing/*.cpp' 'cli/*.cpp')
# The commands are gcc's: warning options clang does not know are not findings.
run-clang-tidy -p "$build" -j"$(nproc)" -quiet -extra-arg=-Wno-unknown-warning-option "${files[@]/#/$root/}" >"$build/tidy.log" 2>&1 || {
  grep -E "(warning|error):" "$build/tidy.log" | sort -u >&2
  echo "tidy.sh: clang-tidy found the above (full output: $build/tidy.log)" >&2
  exit 1
}
