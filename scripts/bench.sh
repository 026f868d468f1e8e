#!/usr/bin/env bash
# Runs the benchmarks on the full card (41 races x 21 horses x 100 PPs) and checks the targets:
#   load and rate a full card     within 3 x the floor (read the file, find its line ends and ";")
#   ComputeRatings 3, 4, 5        under 10 ms over the full card
#   each user action on the largest race (S, a page build, Go! over one race, a race printed),
#   and the status line over the full card's marks
#                                 under 2 ms
#   kelsoft-report's peak memory  at most 2 x the file's size + 24 MB
# and, in the real window (offscreen) on a card whose every race line carries a 1 MB field:
#   the open command to the race list drawn, and printing race 1   each under 1 s
#   the process's peak memory                                       under 200 MB
# Prints a table of medians over the repetitions, each with its ratio to the floor.
#
#   scripts/bench.sh [--reps N] [--filter REGEX] [--build DIR]
# Builds DIR (default build-release/, Release) first when needed. Exit status 1 when a target
# is missed. KEL_JOBS sets the build's parallel jobs (default 2).
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
dir="$root/build-release"
reps=10
filter=""
while (($#)); do
  case "$1" in
    --reps) reps=$2; shift 2 ;;
    --filter) filter=$2; shift 2 ;;
    --build) dir=$(realpath -m "$2"); shift 2 ;;
    -h|--help) sed -n '2,14p' "$0" | sed 's/^# \{0,1\}//'; exit 0 ;;
    *) echo "bench.sh: unknown argument $1" >&2; exit 2 ;;
  esac
done

if [[ ! -f "$dir/build.ninja" ]]; then
  cmake -S "$root" --preset release -B "$dir" >/dev/null
fi
cmake --build "$dir" -j"${KEL_JOBS:-2}" --target kel_bench kel-make-card kelsoft-report kel_window_bench

if [[ ! -x /usr/bin/time ]]; then
  if [[ $(id -u) -eq 0 ]]; then
    DEBIAN_FRONTEND=noninteractive apt-get install -y -qq time >/dev/null
  else
    echo "bench.sh: /usr/bin/time is missing; install the Debian package 'time'" >&2
    exit 1
  fi
fi

# The same card kel_bench would write for itself (seed 20240504, full shape).
card="$dir/bench-full.kel"
"$dir/bench/kel-make-card" --seed 20240504 --races 41 --horses 21 --pps 100 "$card"

out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
load_before=$(cut -d' ' -f1-3 /proc/loadavg)
KEL_BENCH_CARD="$card" "$dir/bench/kel_bench" \
  --benchmark_repetitions="$reps" --benchmark_report_aggregates_only=true \
  --benchmark_out="$out/bench.json" --benchmark_out_format=json \
  ${filter:+--benchmark_filter="$filter"} >"$out/bench.txt" 2>&1 || {
    cat "$out/bench.txt" >&2
    exit 1
  }
load_after=$(cut -d' ' -f1-3 /proc/loadavg)

/usr/bin/time -v "$dir/cli/kelsoft-report" --format csv "$card" >/dev/null 2>"$out/time.txt"
peak_kb=$(sed -n 's/.*Maximum resident set size (kbytes): //p' "$out/time.txt")

window_status=0
QT_QPA_PLATFORM=offscreen "$dir/bench/kel_window_bench" --repeat "$reps" >"$out/window.txt" 2>/dev/null || window_status=$?

status=0
python3 - "$out/bench.json" "$card" "$peak_kb" "$reps" "$load_before" "$load_after" <<'EOF' || status=$?
import json, os, sys

data = json.load(open(sys.argv[1]))
card, peak_kb, reps = sys.argv[2], int(sys.argv[3]), sys.argv[4]
load_before, load_after = sys.argv[5], sys.argv[6]

medians = {}
for b in data["benchmarks"]:
    if b.get("aggregate_name") == "median":
        name = b["run_name"].removeprefix("BM_").removesuffix("/real_time")
        scale = {"ns": 1e-6, "us": 1e-3, "ms": 1.0, "s": 1e3}[b["time_unit"]]
        medians[name] = b["real_time"] * scale  # ms

targets = {
    "LoadAndRate": ("floor", 3.0),
    "ComputeRatings345": ("ms", 10.0),
    "GoLargestRace": ("ms", 2.0),
    "ScratchKey": ("ms", 2.0),
    "StatusLineCard": ("ms", 2.0),
    "ShowRaceList": ("ms", 2.0),
    "ShowRaceHorses": ("ms", 2.0),
    "ShowHorsePPs": ("ms", 2.0),
    "PrintRace": ("ms", 2.0),
}
what = {
    "Floor": "floor: read the file, find every line end and \";\"",
    "LoadAndRate": "open a full card: read, parse, Final KEL, ComputeRatings 3, 4, 5",
    "OpenCommand": "the window's open command (BT_Open_Click) on the same file",
    "ReadCardFile": "(part of the load) ReadCardFile",
    "LoadCardFromMemory": "(part of the load) LoadCard from memory",
    "ScanLines/0": "(part of the load) the line scan alone, a byte a step (the definition)",
    "ScanLines/1": "(part of the load) the line scan alone, 16 bytes a step",
    "ComputeRatings345": "ComputeRatings 3, 4, 5 over the full card",
    "GoFullCardInitial": "Go! over the full card, initial settings",
    "GoFullCardUnticked": "Go! over the full card, every box unticked",
    "GoLargestRace": "Go! on the horses page of a 21 x 100 race (with the status line)",
    "ScratchKey": "S on a 21 x 100 race (marks, 3 runs, page, status line)",
    "StatusLineCard": "the status line of the race list, marks over the full card",
    "ShowRaceList": "ShowRaceList, 41 races",
    "ShowRaceHorses": "ShowRaceHorses, 21 horses",
    "ShowHorsePPs": "ShowHorsePPs, 100 PPs",
    "PrintRace": "Print a 21-horse race with 10 PPs each (recording printer)",
}
floor = medians.get("Floor")
missed = 0

def fmt(ms):
    return "%.3f ms" % ms if ms < 10 else "%.1f ms" % ms

print("Card: %s, %.1f MiB; medians of %s repetitions; load average %s before, %s after"
      % (os.path.basename(card), os.path.getsize(card) / 2**20, reps, load_before, load_after))
print()
print("| Case | Median | x floor | Target | |")
print("|---|---:|---:|---|---|")
for name, ms in medians.items():
    ratio = "%.2f" % (ms / floor) if floor else "-"
    target, verdict = "", ""
    if name in targets:
        kind, limit = targets[name]
        if kind == "floor":
            target = "<= %g x floor" % limit
            ok = floor is not None and ms <= limit * floor
        else:
            target = "< %g ms" % limit
            ok = ms < limit
        verdict = "met" if ok else "MISSED"
        missed += not ok
    print("| %s | %s | %s | %s | %s |" % (what.get(name, name), fmt(ms), ratio, target, verdict))

size = os.path.getsize(card)
limit_kb = (2 * size + 24 * 1024 * 1024) / 1024
ok = peak_kb <= limit_kb
missed += not ok
print("| kelsoft-report --format csv: peak resident memory | %.1f MiB | | <= %.1f MiB (2 x file + 24 MiB) | %s |"
      % (peak_kb / 1024, limit_kb / 1024, "met" if ok else "MISSED"))
sys.exit(1 if missed else 0)
EOF
echo
cat "$out/window.txt"
exit $((status || window_status))
