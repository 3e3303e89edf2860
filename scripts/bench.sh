#!/usr/bin/env bash
# Builds the benchmarks (Release, build-bench/), runs every bench/*_bench program and prints
# one table: benchmark, measured on this machine, target, met.
# scripts/bench.sh [FILTER]   FILTER: a regular expression for --benchmark_filter
set -euo pipefail
cd "$(dirname "$0")/.."

build_dir=${KESSELWERK_BENCH_BUILD_DIR:-build-bench}
filter=${1:-.}

# The targets the issues set: benchmark name pattern (a regular expression matched against
# the start of the name), kind and limit, and what it stands for.
#   ms   real time per iteration at most the limit in milliseconds
#   MB   the benchmark's MB counter at most the limit
#   rate items per second at least the limit
#   core the benchmark's per_core counter (items per second and thread) at least the limit
#   ratio the benchmark's ratio counter at most the limit
#   bpr  the benchmark's bytes_per_row counter at most the limit
targets=$(
  cat <<'TABLE'
EnterCoupMillion                        ms    200   EnterCoup of 1,000,000 coups
MemoryForMillionRows                    MB     64   memory of the main table for 1,000,000 rows
BM_ReadPermanenceFiles                  ms   1000   multi-file reader, 10,000 files x 370 coups
BM_ImportListIntoPermanenceFiles        ms    500   import of 1,089,156 listed coups into files
BM_AnalyseChances/1000000               ms     20   chance engine over 1,000,000 rows
AnalyseClickMillionCoups                ms    300   "Chancen-Analyse" click on 1,000,000 coups
ChartFill                               ms     50   frequency chart fill
ReadAndSearchAllCores/10000/370         ms   1000   series lengths (CLI), 10,000 files x 370
ReadAndSearchAllCores/100/100000        ms   3000   series lengths (CLI), 100 files x 100,000
WindowRunFromClickToGrid/10000/370      ms   1000   series-length window, 10,000 files x 370
WindowRunFromClickToGrid/100/100000     ms   3000   series-length window, 100 files x 100,000
BM_Run10000x370_Summary                 rate 1e8    system-test engine, entries per second
BM_RandomComparison1000x10000x370       ms  10000   random comparison, 1,000 replicas of 10,000 x 370 coups
BM_Long20M_Summary                      rate 1e8    system-test engine, entries per second
SummaryExport                           ms    300   workbook with the summary sheet
ProtocolExport100000Rows                ms   2000   workbook with a 100,000-row protocol
BM_EvaluateThrowDistances/1000000       ms     50   sector evaluation of 1,000,000 coups
BM_EvaluateOverlappingSectors/1000000   ms     50   sector evaluation of 1,000,000 coups
BM_GenerateRandomBlock/1000000          ms   1000   random generator, 1,000,000 numbers
BM_AnalyseSignificanceWithSectors/1000000 ms  50   statistik: all tests, 1,000,000 coups
GenerateMillionLines                    ms   1000   random generator window, 1,000,000 numbers
BM_SystemMartingale10000x370/0          core 5e6    own system (Martingale), coups per second and core
EnterCoupMillionJournalRatio            ratio  2    EnterCoup of 1,000,000 coups, journal on / off
TransferMillionRowsJournal              bpr  1.1    journal bytes per row of a 1,000,000-row transfer
BM_SystemRandomComparison100x10000x370  ms  60000   own system, random comparison of 100 replicas of 10,000 x 370
BM_Search2300x10000x370_AllCores        ms  30000   parameter search, Vorlauf 2..24 x Angriffe 1..100 over 10,000 x 370
TABLE
)

scripts/install-deps.sh
cmake -S . -B "$build_dir" -G Ninja -DCMAKE_BUILD_TYPE=Release -DKESSELWERK_BENCHMARKS=ON >/dev/null
programs=()
for source in bench/*_bench.cpp; do
  programs+=("$(basename "$source" .cpp)")
done
cmake --build "$build_dir" --target "${programs[@]}" -j 2 >&2

results="$build_dir/bench-results"
rm -rf "$results"
mkdir -p "$results"
export QT_QPA_PLATFORM=offscreen
status=0
for program in "${programs[@]}"; do
  echo "== $program" >&2
  if ! "$build_dir/bin/$program" --benchmark_filter="$filter" --benchmark_format=json \
    --benchmark_out="$results/$program.json" --benchmark_out_format=json >/dev/null 2>"$results/$program.log"; then
    echo "$program failed, see $results/$program.log" >&2
    status=1
  fi
done

TARGETS="$targets" python3 - "$results" <<'PY'
import glob, json, os, re, sys

targets = []
for line in os.environ["TARGETS"].splitlines():
    if line.strip():
        pattern, kind, limit, meaning = line.split(None, 3)
        targets.append((pattern, kind, float(limit), meaning))

def to_ms(value, unit):
    return value * {"ns": 1e-6, "us": 1e-3, "ms": 1.0, "s": 1e3}[unit]

rows = []
for path in sorted(glob.glob(os.path.join(sys.argv[1], "*.json"))):
    with open(path) as f:
        try:
            data = json.load(f)
        except json.JSONDecodeError:
            continue
    for b in data.get("benchmarks", []):
        if b.get("run_type") == "aggregate" or "error_message" in b:
            continue
        name = b["name"]
        match = next((t for t in targets if re.match(t[0] + r"(/|$)", name)), None)
        ms = to_ms(b["real_time"], b["time_unit"])
        if match is None:
            rows.append((name, "%.3g ms" % ms, "-", "-", ""))
            continue
        pattern, kind, limit, meaning = match
        if kind == "ms":
            measured, met = "%.1f ms" % ms, ms <= limit
            target = "<= %g ms" % limit
        elif kind == "MB":
            mb = b.get("MB", float("nan"))
            measured, met = "%.1f MB" % mb, mb <= limit
            target = "<= %g MB" % limit
        elif kind in ("ratio", "bpr"):
            value = b.get("ratio" if kind == "ratio" else "bytes_per_row", float("nan"))
            measured, met = "%.2f" % value, value <= limit
            target = "<= %g" % limit
        elif kind == "core":
            rate = b.get("per_core", 0.0)
            measured, met = "%.2f M/s" % (rate / 1e6), rate >= limit
            target = ">= %g M/s" % (limit / 1e6)
        else:
            rate = b.get("items_per_second", 0.0)
            measured, met = "%.0f M/s" % (rate / 1e6), rate >= limit
            target = ">= %g M/s" % (limit / 1e6)
        rows.append((name, measured, target, "yes" if met else "NO", meaning))

header = ("benchmark", "measured", "target", "met", "what")
widths = [max(len(r[i]) for r in rows + [header]) for i in range(len(header))]
def line(cells):
    return "| " + " | ".join(c.ljust(w) for c, w in zip(cells, widths)) + " |"
print(line(header))
print("|" + "|".join("-" * (w + 2) for w in widths) + "|")
for r in rows:
    print(line(r))
PY
exit $status
