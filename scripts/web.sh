#!/usr/bin/env bash
# Builds the core as WebAssembly with Debian's emscripten (the wasm preset) into build-web/, or
# into the directory given: the browser page's static site (BUILD_DIR/site, served as it is), the
# modules of web/ and the core's GoogleTest suites, which run under node. Installs what it needs first (scripts/deps.sh, web/'s npm packages). Further
# arguments go to cmake. The tests of web/ compare with the native build in build/ (built first).
#   scripts/web.sh [--test] [BUILD_DIR] [cmake arguments...]
#   --test: then runs the web build's tests (ctest in BUILD_DIR)
# KEL_JOBS sets the build's parallel jobs (default: the machine's cores).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
run_tests=false
if [[ "${1:-}" == "--test" ]]; then
  run_tests=true
  shift
fi
dir=${1:-"$root/build-web"}
shift || true
"$root/scripts/deps.sh"

# emcc runs its JavaScript tools with node; a node from outside Debian does not look for
# Debian's node modules (acorn) on its own.
export NODE_PATH=/usr/share/nodejs

# playwright-core, which the browser test drives Debian's chromium with (it downloads no browser),
# and the page's PDF libraries; installed again only when the lock file is not the one installed.
installed="$root/web/node_modules/.kel-package-lock.json"
if ! cmp -s "$root/web/package-lock.json" "$installed"; then
  npm ci --prefix "$root/web" --no-audit --no-fund --loglevel=error >/dev/null
  cp "$root/web/package-lock.json" "$installed"
fi

cmake -S "$root" --preset wasm -B "$dir" "$@" >/dev/null
cmake --build "$dir" -j"${KEL_JOBS:-$(nproc)}"
if $run_tests; then
  ctest --test-dir "$dir" --output-on-failure -j"$(nproc)"
fi
