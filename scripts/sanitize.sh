#!/usr/bin/env bash
# Builds everything with clang, AddressSanitizer and UBSan (preset "asan") in build-asan/ and
# runs the whole test suite there, the window's tests included (offscreen). With the gcc build
# of scripts/build.sh, the suite thus runs under both compilers.
#   scripts/sanitize.sh [BUILD_DIR] [extra cmake arguments...]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
dir=${1:-"$root/build-asan"}
shift || true
jobs=${KEL_JOBS:-2}

# The preset builds without optimisation and with line tables only: enough for the sanitizers'
# reports, a quarter faster to build than -O1, and the suite runs as fast (its time goes into
# starting processes).
cmake -S "$root" --preset asan -B "$dir" "$@" >/dev/null
cmake --build "$dir" -j"$jobs"

# Leaks count as failures too.
export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:strict_string_checks=1:detect_stack_use_after_return=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
export QT_QPA_PLATFORM=offscreen
cd "$dir"
ctest --output-on-failure -j"$jobs"
