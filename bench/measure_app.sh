#!/usr/bin/env bash
# Measures the running application on a virtual X display: time to the first line drawn (five
# runs, 1,000-item state file), then CPU time, resident memory and the memory (PSS) of the whole
# process tree while idle, once with the default three rotating slots (a transition every few
# seconds) and once with one slot (no transition at all: only the minute countdown). The sites
# point at a closed local port, so the start-up passes fail at once and the web worker has quit
# (10 s after its last page) before idle is measured.
#   bash bench/measure_app.sh [build folder, default build/release] [idle seconds, default 300]
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build/release}
idle_seconds=${2:-300}

work=$(mktemp -d)
export DISPLAY=:77
Xvfb "$DISPLAY" -screen 0 1920x1080x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
trap 'kill $xvfb 2>/dev/null || true; rm -rf "$work"' EXIT
sleep 1

"$build/bin/vantory-sample" "$work/rotating" 1000 >/dev/null
"$build/bin/vantory-sample" "$work/single" 1000 >/dev/null
python3 - "$work/single/state.json" <<'PY'
import json, sys
path = sys.argv[1]
state = json.load(open(path))
state["settings"]["durations"] = [10]
json.dump(state, open(path, "w"), indent=2, sort_keys=True)
PY

echo "start-up, 1,000 items:"
for run in 1 2 3 4 5; do
    "$build/bin/vantory-startup-bench" "$work/rotating" 2>/dev/null
done

export VANTORY_ASSESSMENT_URL=http://127.0.0.1:9 VANTORY_CANVAS_URL=http://127.0.0.1:9

# Proportional set size in KiB of a process and its descendants.
tree_pss() {
    local total
    total=$(awk '/^Pss:/ {print $2}' "/proc/$1/smaps_rollup" 2>/dev/null || echo 0)
    for child in $(cat /proc/"$1"/task/*/children 2>/dev/null); do
        total=$((total + $(tree_pss "$child")))
    done
    echo "$total"
}

measure_idle() { # label, state folder
    "$build/bin/vantory" --data-dir "$2" 2>/dev/null &
    local app=$!
    sleep 25
    local before after
    before=$(awk '{print $14 + $15}' "/proc/$app/stat")
    sleep "$idle_seconds"
    after=$(awk '{print $14 + $15}' "/proc/$app/stat")
    local rss pss
    rss=$(awk '/VmRSS/ {print $2, $3}' "/proc/$app/status")
    pss=$(tree_pss "$app")
    kill "$app"
    wait "$app" 2>/dev/null || true
    awk -v label="$1" -v t=$((after - before)) -v hz="$(getconf CLK_TCK)" -v s="$idle_seconds" -v rss="$rss" -v pss="$pss" \
        'BEGIN { printf "%s: idle CPU over %d s %.2f s = %.3f %% of one core; resident memory %s; PSS of the process tree %d KiB\n", label, s, t / hz, 100 * t / hz / s, rss, pss }'
}
measure_idle "three rotating slots" "$work/rotating"
measure_idle "one slot, no transitions" "$work/single"
