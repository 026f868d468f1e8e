#!/usr/bin/env bash
# Line and branch coverage of the test suite: builds with gcc's counters (preset "coverage") in
# build-coverage/, runs the whole suite there and prints a summary per folder of the program's
# code (tests, benchmarks, fuzz harnesses and tools are not counted). Also written:
# BUILD_DIR/coverage.json (per file) and BUILD_DIR/coverage/index.html (line by line).
#   scripts/coverage.sh [BUILD_DIR]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
dir=${1:-"$root/build-coverage"}
jobs=${KEL_JOBS:-$(nproc)}
"$root/scripts/deps.sh"

cmake -S "$root" --preset coverage -B "$dir" >/dev/null
cmake --build "$dir" -j"$jobs"
# Counts from an earlier run would add to this one's, and the notes of objects the build no
# longer makes (a source moved to another target) would be read as another version of the file.
find "$dir" -name '*.gcda' -delete
ninja -C "$dir" -t targets all | sed -n 's/\.o: .*/.gcno/p' | sort >"$dir/gcno.keep"
(cd "$dir" && find . -name '*.gcno' -printf '%P\n' | sort | comm -23 - gcno.keep | xargs -r rm -f)
# Left out: the three tests that run the report tool under a limit on file size or memory. The
# limit also stops gcov from writing the tool's counts whole, and a cut file of counts spoils
# every later run's (and gcov says so on the standard error the tests read).
(cd "$dir" && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j"$jobs" \
  -E '^(ReportTool\.PdfWriteFailuresAreReportedAndLeaveNoFile|ReportTool\.FailedWritesSayWhyAndKeepTheFileThatWasThere|HostileReport\.OutOfMemoryExitsOneWithTheReason)$')

# Branches that only an exception thrown by the library or the compiler's own bookkeeping can
# take are left out: no test can reach them on purpose.
mkdir -p "$dir/coverage"
cd "$root"
gcovr --root "$root" --object-directory "$dir" -j "$jobs" \
  --filter 'store/' --filter 'engine/' --filter 'settings/' --filter 'views/' --filter 'printing/' \
  --filter 'shell/' --filter 'cli/' \
  --exclude-throw-branches --exclude-unreachable-branches \
  --json-summary-pretty --json-summary "$dir/coverage.json" \
  --html-details "$dir/coverage/index.html"

python3 - "$dir/coverage.json" <<'EOF'
import collections, json, os, sys

totals = collections.defaultdict(lambda: [0, 0, 0, 0])
for f in json.load(open(sys.argv[1]))["files"]:
    t = totals[os.path.dirname(f["filename"]) + "/"]
    for i, key in enumerate(("line_covered", "line_total", "branch_covered", "branch_total")):
        t[i] += f[key]
order = ["store/", "engine/", "settings/", "views/", "printing/", "shell/", "shell/printer/", "cli/"]
rows = sorted(totals, key=lambda d: order.index(d) if d in order else len(order))
all_ = [sum(totals[d][i] for d in rows) for i in range(4)]
pct = lambda a, b: f"{100 * a / b:.1f} %" if b else "-"
print("| Folder | Lines | Covered | Branches | Covered |")
print("|---|---:|---:|---:|---:|")
for d, t in [(d, totals[d]) for d in rows] + [("all", all_)]:
    print(f"| {'`' + d + '`' if d != 'all' else 'all'} | {t[1]} | {pct(t[0], t[1])} | {t[3]} | {pct(t[2], t[3])} |")
EOF
