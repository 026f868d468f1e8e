#!/usr/bin/env bash
# Builds everything with AddressSanitizer and UBSan in build-asan/ and runs the whole test
# suite there, the window's tests included (offscreen).
#   scripts/sanitize.sh [BUILD_DIR] [extra cmake arguments...]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
dir=${1:-"$root/build-asan"}
shift || true
jobs=${KEL_JOBS:-2}

# No optimisation and line tables only: enough for the sanitizers' reports. It builds a quarter
# faster than -O1 and the suite runs as fast (its time goes into starting processes).
cmake -S "$root" -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKEL_SANITIZE=ON \
  -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O0 -g1" -DKEL_BUILD_BENCH=OFF "$@" >/dev/null
cmake --build "$dir" -j"$jobs"

# Leaks count as failures too.
export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:strict_string_checks=1:detect_stack_use_after_return=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
export QT_QPA_PLATFORM=offscreen
cd "$dir"
ctest --output-on-failure -j"$jobs"
