#!/usr/bin/env bash
# Builds the libFuzzer targets in build-fuzz/ (clang, ASan, UBSan), runs each for SECONDS
# (default 60), all at once, each in one process, then replays the kept regression inputs.
#   scripts/fuzz.sh [SECONDS] [TARGET...]
# New corpus entries go to build-fuzz/corpus/<target>/ (the seeds in fuzz/corpus/ stay as they
# are); a finding is written to build-fuzz/findings/<target>/ and ends the script with status 1.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
seconds=${1:-60}
shift || true
targets=("$@")
((${#targets[@]})) || targets=(card settings report)
build=${KEL_FUZZ_BUILD:-"$root/build-fuzz"}
# Larger seeds are read truncated: an 8 KB card still holds a race or two with long PP lists,
# and runs several times faster than the 40 KB samples.
max_len=${KEL_FUZZ_MAX_LEN:-8192}

# KEL_CMAKE_ARGS: further cmake arguments (the test command adds -DKEL_WERROR=ON).
# shellcheck disable=SC2086
cmake -S "$root" --preset fuzz -B "$build" ${KEL_CMAKE_ARGS:-} >/dev/null
cmake --build "$build" -j"${KEL_JOBS:-2}" --target "${targets[@]/#/fuzz_}"

export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1}
# The targets fuzz at once, each in one process: on two cores three targets take the time of one.
echo "== fuzzing ${targets[*]}: ${seconds} s"
pids=()
for t in "${targets[@]}"; do
  mkdir -p "$build/corpus/$t" "$build/findings/$t"
  # The first directory receives what libFuzzer adds; the seeds are read, never written.
  "$build/fuzz/fuzz_$t" "$build/corpus/$t" "$root/fuzz/corpus/$t" "$root/fuzz/regressions/$t" \
    -max_total_time="$seconds" -rss_limit_mb=2048 -timeout=10 -max_len="$max_len" \
    -artifact_prefix="$build/findings/$t/" -print_final_stats=1 2>"$build/fuzz_$t.log" &
  pids+=($!)
done
status=0
for i in "${!targets[@]}"; do
  t=${targets[$i]}
  if ! wait "${pids[$i]}"; then
    status=1
    echo "fuzz_$t found something: $(ls -t "$build/findings/$t" | head -1) (log: $build/fuzz_$t.log)" >&2
  fi
  echo "== fuzz_$t:"
  grep -E '^stat::(number_of_executed_units|average_exec_per_sec|peak_rss_mb)' "$build/fuzz_$t.log" || true
done

for t in "${targets[@]}"; do
  echo "== replay fuzz/regressions/$t"
  "$build/fuzz/fuzz_$t" -runs=0 "$root/fuzz/regressions/$t" 2>"$build/replay_$t.log" \
    || { status=1; echo "replay of fuzz/regressions/$t failed (log: $build/replay_$t.log)" >&2; }
done
exit $status
