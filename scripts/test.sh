#!/usr/bin/env bash
# Set-up and test: installs what is missing, checks the formatting, builds with warnings as
# errors, runs clang-tidy on the core and the report tool (scripts/tidy.sh), packages that build and checks the package (scripts/check_package.sh), and runs the
# whole test suite: the normal (gcc) build's tests, the same suite built with clang under
# AddressSanitizer and UBSan, a short run of each fuzzer, and the core built as WebAssembly
# (scripts/web.sh) with its tests.
#   KEL_FUZZ_SECONDS (default 20) sets the fuzzing time per target; 0 skips fuzzing.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/deps.sh"
"$root/scripts/format.sh" --check
echo "== format: clean"

start=$SECONDS
"$root/scripts/build.sh" "$root/build" -DKEL_WERROR=ON -DKEL_QUICK_TESTS=ON
echo "== build: $((SECONDS - start)) s"

start=$SECONDS
"$root/scripts/tidy.sh" "$root/build"
echo "== clang-tidy: $((SECONDS - start)) s"

# The package comes from the build above: CPack strips the programs, so nothing is compiled twice.
start=$SECONDS
deb=$("$root/scripts/package.sh" "$root/build" | tail -1)
"$root/scripts/check_package.sh" "$deb"
echo "== package: $((SECONDS - start)) s"

start=$SECONDS
"$root/scripts/sanitize.sh" "$root/build-asan" -DKEL_WERROR=ON
echo "== sanitizer build and tests: $((SECONDS - start)) s"

fuzz_seconds=${KEL_FUZZ_SECONDS:-20}
if ((fuzz_seconds > 0)); then
  start=$SECONDS
  KEL_CMAKE_ARGS=-DKEL_WERROR=ON "$root/scripts/fuzz.sh" "$fuzz_seconds"
  echo "== fuzzing: $((SECONDS - start)) s"
fi

# The core as WebAssembly (build-web/): its suites under node.
start=$SECONDS
"$root/scripts/web.sh" --test "$root/build-web" -DKEL_WERROR=ON
echo "== web build and tests: $((SECONDS - start)) s"

# The normal build's suite last, so its summary closes the output.
cd "$root/build"
ctest --output-on-failure -j"$(nproc)"
