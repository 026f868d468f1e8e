#!/usr/bin/env bash
# Configures (preset "dev": everything, optimised with debug info) and builds into build/, or
# into the directory given; further arguments go to cmake.
#   scripts/build.sh [BUILD_DIR] [cmake arguments...]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
dir=${1:-"$root/build"}
shift || true
cmake -S "$root" --preset dev -B "$dir" "$@" >/dev/null
cmake --build "$dir" -j"${KEL_JOBS:-$(nproc)}"
