#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Vantory beside its peers in one run, with the ratios:
#  - the iCalendar export against Python icalendar (Debian's python3-icalendar) building and
#    writing the same events, each with a 30-minute alarm, from fields read out of Vantory's own
#    export of the same sample deadlines: the peer gets its description texts ready-made, while
#    Vantory's time includes formatting the dates in them;
#  - the state file's load (read, parse, decode and check every record) against simdjson alone
#    parsing the same bytes already in memory.
# Each at 1,000 and 10,000 deadlines, medians of five runs.
#   bash bench/compare_peers.sh [build folder, default build/release]
# Needs Debian's python3-icalendar (Debian's own Python, which has it, not another one on PATH).
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build/release}

python=/usr/bin/python3
if ! "$python" -c 'import icalendar' 2>/dev/null; then
    echo "python3-icalendar is missing: sudo apt-get install python3-icalendar" >&2
    exit 1
fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
echo "load average: $(cut -d' ' -f1-3 /proc/loadavg)"

"$build/bin/vantory-bench" --benchmark_filter='^(calendarFile|stateFileLoad|stateFileParseOnly)/' \
    --benchmark_repetitions=5 --benchmark_report_aggregates_only=true \
    --benchmark_format=json >"$work/vantory.json" 2>/dev/null
for count in 1000 10000; do
    "$build/bin/vantory-sample" "$work/data-$count" "$count" "$work/deadlines-$count.ics" >/dev/null
done

"$python" - "$work" <<'PYTHON'
import json, statistics, sys, time
from datetime import timedelta
from icalendar import Alarm, Calendar, Event

work = sys.argv[1]
medians = {}
for run in json.load(open(f"{work}/vantory.json"))["benchmarks"]:
    if run.get("aggregate_name") == "median":
        medians[run["run_name"]] = run["real_time"] * {"ms": 1, "us": 1e-3, "ns": 1e-6}[run["time_unit"]]


def icalendar_export(events):
    calendar = Calendar()
    calendar.add("version", "2.0")
    calendar.add("prodid", "-//peer//Deadlines//KO")
    calendar.add("x-wr-timezone", "America/Vancouver")
    for fields in events:
        event = Event()
        for name, value in fields:
            event.add(name, value)
        alarm = Alarm()
        alarm.add("trigger", timedelta(minutes=-30))
        alarm.add("action", "DISPLAY")
        alarm.add("description", fields[5][1])
        event.add_component(alarm)
        calendar.add_component(event)
    return calendar.to_ical()


def timed(function, runs=5):
    times = []
    for _ in range(runs):
        start = time.perf_counter()
        function()
        times.append((time.perf_counter() - start) * 1000)
    return statistics.median(times)


print(f"{'':34}{'1,000':>12}{'10,000':>12}")
rows = {"events": [], "export": [], "peer": [], "load": [], "parse": []}
for count in (1000, 10000):
    source = Calendar.from_ical(open(f"{work}/deadlines-{count}.ics", "rb").read())
    events = [
        [(name, event.decoded(name)) for name in ("uid", "dtstamp", "dtstart", "dtend")]
        + [("categories", [str(text) for text in event["categories"].cats])]
        + [(name, event.decoded(name)) for name in ("summary", "description")]
        for event in source.walk("VEVENT")
    ]
    rows["events"].append(len(events))
    rows["export"].append(medians[f"calendarFile/{count}"])
    rows["peer"].append(timed(lambda: icalendar_export(events), 3 if count > 1000 else 5))
    rows["load"].append(medians[f"stateFileLoad/{count}"])
    rows["parse"].append(medians[f"stateFileParseOnly/{count}"])


def line(label, values, unit="ms"):
    print(f"{label:34}" + "".join(f"{value:>10.2f}{unit:>2}" if unit else f"{value:>11.1f}×" for value in values))


print(f"{'events (items with a due date)':34}" + "".join(f"{count:>12,}" for count in rows["events"]))
line("export, Vantory", rows["export"])
line("export, Python icalendar", rows["peer"])
line("  Vantory faster by", [p / v for p, v in zip(rows["peer"], rows["export"])], "")
line("state file load, Vantory", rows["load"])
line("same bytes parsed by simdjson", rows["parse"])
line("  load ÷ simdjson parse", [l / p for l, p in zip(rows["load"], rows["parse"])], "")
PYTHON
