#!/usr/bin/env bash
# Builds the Debian package kelsoft_VERSION_ARCH.deb and prints its path. Installs what is
# missing first (scripts/deps.sh, as root), then builds the "package" preset (Release, the
# programs alone: no tests, benchmarks or tools) in build-package/, and runs CPack there: stripped
# programs, runtime dependencies from dpkg-shlibdeps. A build folder given keeps its own
# configuration (the test command packages the build it tested).
#   scripts/package.sh [BUILD_DIR]
# Install the result with: apt install ./kelsoft_*.deb
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
dir=$(realpath -m "${1:-"$root/build-package"}")
"$root/scripts/deps.sh"
if [[ $# -eq 0 || ! -f "$dir/CMakeCache.txt" ]]; then
  cmake -S "$root" --preset package -B "$dir" >/dev/null
fi
cmake --build "$dir" -j"${KEL_JOBS:-$(nproc)}"
rm -f "$dir"/kelsoft_*.deb
(cd "$dir" && cpack -G DEB >/dev/null)
ls "$dir"/kelsoft_*.deb
