#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The core's speed as ratios, every figure from one run (this machine's speed varies several times
# over between hours, so only ratios measured side by side compare):
#  - the state file's encoding and its load (read, parse, decode, check) against simdjson alone
#    parsing the same bytes already in memory;
#  - a 1,000-item load against a 10,000-item one, in the benchmark's loop and in a fresh process
#    each (`vantory-load-once`), where first touches of memory and first uses of libraries show;
#  - the dashboard's order by date (the default) against the status line's upcoming selection.
# Each repetition runs every benchmark once, in its own process; medians of the repetitions.
#   bash bench/core_ratios.sh [build folder, default build/release] [repetitions, default 7]
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build/release}
runs=${2:-7}

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
echo "load average: $(cut -d' ' -f1-3 /proc/loadavg)"

# One process per benchmark: the allocator's state after one benchmark (how much memory it keeps
# mapped) would change the page faults of the next.
benchmarks=(stateFileParseOnly/1000 stateFileParseOnly/10000 stateFileEncode/1000 stateFileEncode/10000
    stateFileLoad/1000 stateFileLoad/10000 upcoming/10000 sortedList/items:10000/listSort:0/manual_time)
for count in 1000 10000; do
    "$build/bin/vantory-sample" "$work/data-$count" "$count" >/dev/null
done
for _ in $(seq "$runs"); do
    for count in 1000 10000; do
        "$build/bin/vantory-load-once" "$work/data-$count/state.json" >>"$work/fresh-$count"
    done
    for benchmark in "${benchmarks[@]}"; do
        "$build/bin/vantory-bench" --benchmark_filter="^$benchmark\$" --benchmark_format=json \
            2>/dev/null | /usr/bin/python3 -c 'import json, sys; print(json.dumps(json.load(sys.stdin)["benchmarks"]))' \
            >>"$work/core.json"
    done
done

/usr/bin/python3 - "$work" <<'PYTHON'
import json, statistics, sys

work = sys.argv[1]
scale = {"ms": 1, "us": 1e-3, "ns": 1e-6}
times = {}
for line in open(f"{work}/core.json"):
    for run in json.loads(line):
        name = run["run_name"].split("/manual_time")[0]
        times.setdefault(name, []).append(run["real_time"] * scale[run["time_unit"]])
ms = {name: statistics.median(values) for name, values in times.items()}
for count in (1000, 10000):
    ms[f"fresh/{count}"] = statistics.median(float(line) / 1000 for line in open(f"{work}/fresh-{count}"))


def row(label, values, target="", unit="ms"):
    cells = "".join(f"{value:>10.2f} {unit}" if unit == "ms" else f"{value:>11.2f}×" for value in values)
    print(f"{label:42}{cells:>24}  {target}")


print(f"{'':42}{'1,000':>12}{'10,000':>12}  target")
both = lambda name: [ms[f"{name}/{count}"] for count in (1000, 10000)]
ratio = lambda a, b: [x / y for x, y in zip(both(a), both(b))]
row("simdjson's parse of the state file", both("stateFileParseOnly"))
row("encode (StateFile::encode)", both("stateFileEncode"))
row("  ÷ parse", ratio("stateFileEncode", "stateFileParseOnly"), "≤ 2.5× at 10,000", "")
row("load (StateFile::load)", both("stateFileLoad"))
row("  ÷ parse", ratio("stateFileLoad", "stateFileParseOnly"), "≤ 5.5× at 10,000", "")
row("load in a fresh process", both("fresh"))
print(f"{'1,000-item load ÷ 10,000-item load':42}{'loop':>12}{'fresh':>12}")
row("", [ms["stateFileLoad/1000"] / ms["stateFileLoad/10000"], ms["fresh/1000"] / ms["fresh/10000"]],
    "near 0.1", "")
print(f"{'':42}{'':>12}{'10,000':>12}")
row("upcoming selection (upcomingView)", [ms["upcoming/10000"]])
row("dashboard order by date (sortedList)", [ms["sortedList/items:10000/listSort:0"]])
row("  ÷ selection", [ms["sortedList/items:10000/listSort:0"] / ms["upcoming/10000"]], "≤ 2.4×", "")
PYTHON
