#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Measures the bar mode: `vantory --bar=waybar --once` on a 1,000-item state file, wall time and
# peak resident memory (median of 20 runs), side by side with `khal list` over an iCalendar export of
# the same deadlines (khal's cache warm, and cold); then the follow mode's CPU time while idle.
#   bash bench/measure_bar.sh [build folder, default build/release] [idle seconds, default 300]
# Installs khal and GNU time (package time) when missing.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh khal time
build=${1:-build/release}
idle_seconds=${2:-300}
runs=20

work=$(mktemp -d)
trap 'kill "${follower:-}" 2>/dev/null || true; rm -rf "$work"' EXIT
"$build/bin/vantory-sample" "$work/data" 1000 "$work/deadlines.ics" >/dev/null
echo "deadlines exported: $(grep -c BEGIN:VEVENT "$work/deadlines.ics")"

mkdir -p "$work/calendar"
cat >"$work/khal.conf" <<CONF
[calendars]
[[deadlines]]
path = $work/calendar
type = calendar
[locale]
local_timezone = America/Vancouver
default_timezone = America/Vancouver
timeformat = %H:%M
dateformat = %Y-%m-%d
longdateformat = %Y-%m-%d
datetimeformat = %Y-%m-%d %H:%M
longdatetimeformat = %Y-%m-%d %H:%M
[sqlite]
path = $work/khal.db
CONF
khal -c "$work/khal.conf" import --batch -a deadlines "$work/deadlines.ics"

# Median wall seconds and peak resident KiB of a command over $runs runs; before, if given, runs
# untimed ahead of each run.
median() { sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }
measure() { # label, before, command...
    local label=$1 before=$2
    shift 2
    : >"$work/times"
    for _ in $(seq "$runs"); do
        [[ -z $before ]] || eval "$before"
        /usr/bin/time -f "%e %M" -o "$work/time" "$@" >/dev/null
        cat "$work/time" >>"$work/times"
    done
    printf "%-36s %6.3f s  %7d KiB\n" "$label" "$(cut -d' ' -f1 "$work/times" | median)" \
        "$(cut -d' ' -f2 "$work/times" | median)"
}
echo "median of $runs runs: wall time, peak RSS"
measure "vantory --bar=waybar --once" "" "$build/bin/vantory" --bar=waybar --once --data-dir "$work/data"
measure "khal list now 30d (cache warm)" "" khal -c "$work/khal.conf" list now 30d
measure "khal list now 30d (cache cold)" "rm -f '$work/khal.db'" khal -c "$work/khal.conf" list now 30d

# The follow mode over the same file, idle: only its own boundaries wake it.
"$build/bin/vantory" --bar=waybar --data-dir "$work/data" >"$work/lines" &
follower=$!
sleep 2
ticks() { awk '{ print $14 + $15 }' "/proc/$follower/stat"; }
start=$(ticks)
sleep "$idle_seconds"
end=$(ticks)
hz=$(getconf CLK_TCK)
awk -v s="$start" -v e="$end" -v hz="$hz" -v secs="$idle_seconds" -v lines="$(wc -l <"$work/lines")" \
    -v rss="$(awk '/VmRSS/ { print $2 }' "/proc/$follower/status")" 'BEGIN {
    printf "follow mode idle %d s: %.2f s CPU (%.3f %%), %d lines printed, RSS %d KiB\n",
        secs, (e - s) / hz, 100 * (e - s) / hz / secs, lines, rss }'
